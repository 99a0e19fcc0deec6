#pragma once

#include "split/splitview.h"

class LivePreferences;
class ProfileWorkingLists;
class QWidget;

// What the main window asks of the windows made after it: the program's forms answer, tests use a double.
class MainFormDialogs {
public:
    virtual ~MainFormDialogs() = default;

    virtual void ShowSettings() = 0;
    virtual void ShowAbout() = 0;
    // "Detail": the profile editor, its choice lined up with the main window's.
    virtual void ShowProfileDetail(int profileIndex) = 0;
    // The profile editor's working lists: the profile that Start uses.
    virtual ProfileWorkingLists& ProfileLists() = 0;
    // Throws AppError when the preferences cannot be written.
    virtual void SavePreferences() = 0;
    // The settings dialog's boxes, read by a run at the moment of use.
    virtual const LivePreferences& Preferences() = 0;
    virtual void StartCountdown(CountdownAction action) = 0;
    // The countdown while it is shown, else nullptr: a power-off refused meanwhile is told over it.
    virtual QWidget* ShownCountdown() = 0;
};
