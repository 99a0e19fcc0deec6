#include "prefs/preferences.h"

#include "app/appcontext.h"
#include "platform/inifile.h"

namespace {
const QString MainSection = QStringLiteral("Main");
const QString DefaultSection = QStringLiteral("Default");
const QString PreviewKey = QStringLiteral("Preview");
const QString OverwriteKey = QStringLiteral("Overwrite");
const QString AptoticKey = QStringLiteral("Aptotic");
const QString OutputDirKey = QStringLiteral("Output Dir");
const QString AutoOpenDirKey = QStringLiteral("Auto Open Dir");
const QString AutoExitKey = QStringLiteral("Auto Exit");
const QString AutoTurnOffKey = QStringLiteral("Auto Turn Off");
const QString ProfileKey = QStringLiteral("Profile");
} // namespace

Preferences Preferences::Defaults() {
    Preferences defaults;
    defaults.OutputDir = App().DefaultOutputDir;
    return defaults;
}

Preferences Preferences::Load(const IniFile& ini, bool useDefaults) {
    const QString& section = useDefaults ? DefaultSection : MainSection;
    const Preferences builtIn = Defaults();
    Preferences loaded;
    loaded.Preview = ini.ReadBool(section, PreviewKey, builtIn.Preview);
    loaded.Overwrite = ini.ReadBool(section, OverwriteKey, builtIn.Overwrite);
    loaded.Aptotic = ini.ReadBool(section, AptoticKey, builtIn.Aptotic);
    loaded.OutputDir = ini.ReadString(section, OutputDirKey, builtIn.OutputDir);
    // Earlier versions gave an installed program the hidden data folder as its output folder, and the
    // first save stored it: read that as the default.
    if (App().UserDir != App().AppDir && loaded.OutputDir == App().UserDir)
        loaded.OutputDir = builtIn.OutputDir;
    loaded.AutoOpenDir = ini.ReadBool(section, AutoOpenDirKey, builtIn.AutoOpenDir);
    loaded.AutoExit = ini.ReadBool(section, AutoExitKey, builtIn.AutoExit);
    loaded.AutoTurnOff = ini.ReadBool(section, AutoTurnOffKey, builtIn.AutoTurnOff);
    loaded.Profile = ini.ReadInteger(MainSection, ProfileKey, builtIn.Profile);
    return loaded;
}

void Preferences::Save(IniFile& ini) const {
    ini.WriteBool(MainSection, PreviewKey, Preview);
    ini.WriteBool(MainSection, OverwriteKey, Overwrite);
    ini.WriteBool(MainSection, AptoticKey, Aptotic);
    ini.WriteString(MainSection, OutputDirKey, OutputDir);
    ini.WriteBool(MainSection, AutoOpenDirKey, AutoOpenDir);
    ini.WriteBool(MainSection, AutoExitKey, AutoExit);
    ini.WriteBool(MainSection, AutoTurnOffKey, AutoTurnOff);
    ini.WriteInteger(MainSection, ProfileKey, Profile);
}

bool Preferences::StoredAptotic(const IniFile& ini) {
    return ini.ReadBool(MainSection, AptoticKey, true);
}
