#pragma once

#include "ui/mainformdialogs.h"

#include <QStringList>

class TMainForm;
class TSettingForm;
class TCountDownForm;
class TAboutForm;
class TopSettingForm;
class TSizeForm;

// The program's six windows under their names.
struct FormWindows {
    TMainForm* MainForm = nullptr;
    TSettingForm* SettingForm = nullptr;
    TCountDownForm* CountDownForm = nullptr;
    TAboutForm* AboutForm = nullptr;
    TopSettingForm* opSettingForm = nullptr;
    TSizeForm* SizeForm = nullptr;
};

// The program's six windows, made once in this order and kept until the program ends. Each dialog is
// given what it needs of the main window when it is made; the main window, made first, reaches the
// dialogs through this object.
class Forms : public MainFormDialogs, public FormWindows {
public:
    explicit Forms(const QStringList& arguments);
    // The dialogs are children of the main window and go with it.
    ~Forms() override;
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    void ShowSettings() override;
    void ShowAbout() override;
    void ShowProfileDetail(int profileIndex) override;
    ProfileWorkingLists& ProfileLists() override;
    void SavePreferences() override;
    const LivePreferences& Preferences() override;
    void StartCountdown(CountdownAction action) override;
    QWidget* ShownCountdown() override;
};
