#pragma once

#include "profiles/profileworkinglists.h"
#include "split/livepreferences.h"
#include "ui/mainformdialogs.h"

#include <QList>
#include <QStringList>

// Settings boxes as a test sets them.
class LivePreferencesDouble : public LivePreferences {
public:
    bool overwrite = false;
    CompletionChoice choice;
    bool OverwriteWithoutAsking() const override { return overwrite; }
    CompletionChoice ReadCompletionChoice() const override { return choice; }
};

// The main window's dialogs for a main window made alone: records what the window asks for.
class MainFormDialogsDouble : public MainFormDialogs {
public:
    ProfileWorkingLists lists;
    LivePreferencesDouble preferences;
    // "settings", "about", "detail:<index>", "save", "countdown:<action>"
    QStringList requests;

    void ShowSettings() override { requests << QStringLiteral("settings"); }
    void ShowAbout() override { requests << QStringLiteral("about"); }
    void ShowProfileDetail(int profileIndex) override {
        requests << QStringLiteral("detail:%1").arg(profileIndex);
    }
    ProfileWorkingLists& ProfileLists() override { return lists; }
    void SavePreferences() override { requests << QStringLiteral("save"); }
    const LivePreferences& Preferences() override { return preferences; }
    void StartCountdown(CountdownAction action) override {
        requests << QStringLiteral("countdown:%1").arg(static_cast<int>(action));
    }
    QWidget* ShownCountdown() override { return nullptr; }
};
