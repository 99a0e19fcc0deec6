#pragma once

#include <QString>

// The main window as the settings dialog sees it: the profile chosen there, and the fields that the
// settings fill in.
class SettingsTarget {
public:
    virtual ~SettingsTarget() = default;

    // The selected entry of the profile list; -1 when none is.
    virtual int ProfileIndex() const = 0;
    // Selects a stored choice, or nothing when it is out of range, without loading that profile.
    virtual void RestoreProfileIndex(int index) = 0;
    // Loads the selected profile, as the person's own pick does.
    virtual void LoadSelectedProfile() = 0;
    virtual void SetOutputDir(const QString& folder) = 0;
    virtual void SetPreview(bool preview) = 0;
};
