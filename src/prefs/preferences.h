#pragma once

#include <QString>

class IniFile;

// The person's preferences as "Preferences.ini" keeps them. [Main] holds the current values; [Default]
// holds the values that Load Default restores and is only ever read.
struct Preferences {
    bool Preview = true;
    bool Overwrite = true;
    // Use the fixed OutputDir instead of each source's own folder.
    bool Aptotic = true;
    QString OutputDir;
    bool AutoOpenDir = true;
    bool AutoExit = true;
    bool AutoTurnOff = true;
    // The selected index of the profile list; -1 when nothing is selected.
    int Profile = 0;

    // The built-in values, used for every key that a file or section lacks.
    static Preferences Defaults();

    // Reads [Default] when useDefaults is true, else [Main]; "Profile" always comes from [Main].
    static Preferences Load(const IniFile& ini, bool useDefaults);
    // Writes every key to [Main]; throws AppError "Unable to write to %s" when the file cannot be written.
    void Save(IniFile& ini) const;

    // The stored aptotic choice that opening a source looks at.
    static bool StoredAptotic(const IniFile& ini);
};
