#pragma once

#include <QWidget>

class QLabel;
class ValueListModel;
class QLineEdit;
class QPushButton;

// Asks for the width and height of a custom video size and puts them, as typed, into the "Video Size" row
// of the working lists' video list. Its owner, the main window, is disabled while it is open; the profile
// editor stays usable. However it closes, a "Custom Size" left standing falls back to "Original Size".
class TSizeForm : public QWidget {
    Q_OBJECT
public:
    TSizeForm(ValueListModel& videoList, QWidget* owner);

    // Shows the dialog in front, asking for a size.
    void Ask();

    QLabel* Label1 = nullptr;
    QLineEdit* edtWidth = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edtHeight = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    void btnOKClick();
    void btnCancelClick();
    void FormShow();
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ValueListModel& videoList;
    QWidget* owner;
};
