#pragma once

#include "split/splitview.h"

#include <QString>
#include <QWidget>
#include <functional>

class QCloseEvent;
class QLabel;
class QPushButton;
class QShowEvent;
class QTimer;

// What the countdown does to the main window, its owner: give up the run's busy state, or turn the
// computer off. Exiting closes the owner.
struct CountdownHandlers {
    std::function<void()> leaveBusyState;
    std::function<void()> powerOff;
};

// The countdown before the program exits or the computer turns off at the end of a run. It counts ten
// seconds down and then acts; Now acts at once and Cancel returns the main window to idle. The main window
// stays disabled while it is shown.
class TCountDownForm : public QWidget {
    Q_OBJECT
public:
    TCountDownForm(CountdownHandlers handlers, QWidget* owner);

    // Shows the countdown for the action, with its button caption and message.
    void Start(CountdownAction action);

    QLabel* Image1 = nullptr;
    QLabel* labMessage = nullptr;
    QPushButton* btnDoNow = nullptr;
    QPushButton* btnCancel = nullptr;
    QTimer* tmrCountdown = nullptr;

    CountdownAction Action = CountdownAction::Exit;
    QString MessagePrefix;
    int SecondsLeft = 10;

    void FormShow();
    void FormClose();
    void tmrCountdownTimer();
    void btnDoNowClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowSecondsLeft();

    QWidget* owner;
    CountdownHandlers handlers;
    bool closingByCancel = false;
};
