#include "profiles/sizeform.h"

#include "platform/platform.h"
#include "profiles/customsize.h"
#include "profiles/valuelistmodel.h"
#include "profiles/videosize.h"
#include "widgets/ownerlock.h"

#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

QPushButton* MakeButton(QWidget* parent, int left, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(left, 64, 75, 25);
    // Enter in a text box and Esc press neither button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, int left, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->move(left, 24);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, int left, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(left, 20, width, 21);
    return edit;
}

} // namespace

TSizeForm::TSizeForm(ValueListModel& videoList, QWidget* owner)
    : QWidget(owner, Qt::Dialog), videoList(videoList), owner(owner) {
    setWindowTitle(QStringLiteral("Video Size of output files"));
    setFixedSize(336, 106);

    Label1 = MakeLabel(this, 19, QStringLiteral("Width:"));
    edtWidth = MakeEdit(this, 56, 81);
    Label2 = MakeLabel(this, 176, QStringLiteral("Height:"));
    edtHeight = MakeEdit(this, 216, 97);
    btnOK = MakeButton(this, 160, QStringLiteral("&OK"));
    btnCancel = MakeButton(this, 248, QStringLiteral("&Cancel"));

    setTabOrder(edtWidth, edtHeight);
    setTabOrder(edtHeight, btnOK);
    setTabOrder(btnOK, btnCancel);

    connect(btnOK, &QPushButton::clicked, this, &TSizeForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TSizeForm::btnCancelClick);
}

void TSizeForm::btnOKClick() {
    const QString width = edtWidth->text();
    const QString height = edtHeight->text();
    switch (CustomSize::Check(width, height)) {
    case CustomSize::Verdict::BadWidth:
        Platform::MessageBox().Show(this, QStringLiteral("Please specify a proper width for output videos."),
                                    QStringLiteral("Incorrect Width"), MsgIcon::Information, MsgButtons::Ok);
        edtWidth->setFocus();
        return;
    case CustomSize::Verdict::BadHeight:
        Platform::MessageBox().Show(this, QStringLiteral("Please specify a proper height for output videos."),
                                    QStringLiteral("Incorrect Height"), MsgIcon::Information, MsgButtons::Ok);
        edtHeight->setFocus();
        return;
    case CustomSize::Verdict::Accepted:
        break;
    }
    videoList.SetValueOf(VideoSize::Key, VideoSize::SizeText(width, height));
    close();
}

void TSizeForm::Ask() {
    show();
    raise();
    activateWindow();
}

void TSizeForm::btnCancelClick() {
    close();
}

void TSizeForm::FormShow() {
    move(owner->geometry().center() - rect().center());
    // Keeps the profile editor, also a window of the main window, usable.
    OwnerLock::DisableOwner(owner);
}

void TSizeForm::FormClose() {
    VideoSize::DropStandingCustomSize(videoList);
    OwnerLock::EnableOwner(owner);
}

void TSizeForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Spontaneous show and hide events come from minimising and restoring.
    if (!event->spontaneous())
        FormShow();
}

void TSizeForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}
