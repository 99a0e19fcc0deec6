#pragma once

#include "profiles/profileworkinglists.h"
#include "split/livepreferences.h"
#include "ui/mainformdialogs.h"

// Settings boxes as a test sets them.
class LivePreferencesDouble : public LivePreferences {
public:
    bool overwrite = false;
    CompletionChoice choice;
    bool OverwriteWithoutAsking() const override { return overwrite; }
    CompletionChoice ReadCompletionChoice() const override { return choice; }
};

// The dialogs of a main window made alone: none is shown, the lists and the boxes are the double's own.
class MainFormDialogsDouble : public MainFormDialogs {
public:
    ProfileWorkingLists lists;
    LivePreferencesDouble preferences;

    void ShowSettings() override {}
    void ShowAbout() override {}
    void ShowProfileDetail(int) override {}
    ProfileWorkingLists& ProfileLists() override { return lists; }
    void SavePreferences() override {}
    const LivePreferences& Preferences() override { return preferences; }
    void StartCountdown(CountdownAction) override {}
    QWidget* ShownCountdown() override { return nullptr; }
};
