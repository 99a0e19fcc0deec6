#include "split/countdownform.h"

#include "widgets/ownerlock.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

TCountDownForm::TCountDownForm(CountdownHandlers handlers, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      owner(owner), handlers(std::move(handlers)) {
    setWindowTitle(QStringLiteral("Countdown"));
    setFixedSize(376, 106);
    QPalette face = palette();
    face.setColor(QPalette::Window, QColor(237, 237, 237));
    setPalette(face);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setGeometry(24, 16, 32, 32);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    labMessage = new QLabel(this);
    labMessage->setGeometry(77, 24, 265, 13);
    btnDoNow = new QPushButton(QStringLiteral("Now"), this);
    btnDoNow->setGeometry(176, 64, 75, 25);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setGeometry(272, 64, 75, 25);
    setTabOrder(btnDoNow, btnCancel);
    tmrCountdown = new QTimer(this);
    tmrCountdown->setInterval(1000);

    connect(btnDoNow, &QPushButton::clicked, this, &TCountDownForm::btnDoNowClick);
    connect(btnCancel, &QPushButton::clicked, this, &TCountDownForm::btnCancelClick);
    connect(tmrCountdown, &QTimer::timeout, this, &TCountDownForm::tmrCountdownTimer);
}

void TCountDownForm::Start(CountdownAction action) {
    Action = action;
    if (action == CountdownAction::TurnOff) {
        btnDoNow->setText(QStringLiteral("Turn off Now"));
        MessagePrefix = QStringLiteral("The computer will be turned off within");
    } else {
        btnDoNow->setText(QStringLiteral("Exit Now"));
        MessagePrefix = QStringLiteral("The program will exit within");
    }
    show();
    activateWindow();
}

void TCountDownForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TCountDownForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TCountDownForm::FormShow() {
    move(owner->geometry().center() - rect().center());
    OwnerLock::DisableOwner(owner);
    SecondsLeft = 10;
    ShowSecondsLeft();
    btnDoNow->setFocus();
    tmrCountdown->start();
}

void TCountDownForm::FormClose() {
    tmrCountdown->stop();
    OwnerLock::EnableOwner(owner);
    // The close box gives up the action as Cancel does.
    if (!closingByCancel)
        handlers.leaveBusyState();
    closingByCancel = false;
}

void TCountDownForm::tmrCountdownTimer() {
    --SecondsLeft;
    ShowSecondsLeft();
    if (SecondsLeft <= 0) {
        tmrCountdown->stop();
        btnDoNow->click();
    }
}

void TCountDownForm::btnDoNowClick() {
    // Acting once is enough: a refused power-off must not be asked for again when the count runs out.
    tmrCountdown->stop();
    if (Action == CountdownAction::Exit)
        owner->close();
    else
        handlers.powerOff();
}

void TCountDownForm::btnCancelClick() {
    handlers.leaveBusyState();
    closingByCancel = true;
    close();
}

void TCountDownForm::ShowSecondsLeft() {
    labMessage->setText(MessagePrefix + QLatin1Char(' ') + QString::number(SecondsLeft) +
                        QStringLiteral(" seconds."));
}
