#pragma once

#include <QString>
#include <QStringList>

// The version that the build gives the program; "Preferences.ini" may name another.
inline QString ProgramVersion() {
    return QStringLiteral(TESSEL_VERSION);
}

// The person's files, found in UserDir.
inline const QString PreferencesFileName = QStringLiteral("Preferences.ini");
inline const QString ProfilesFolderName = QStringLiteral("Profiles");

// The program-wide values set once at start-up and read everywhere. Folder paths end in the native
// separator ("\" on Windows, "/" elsewhere).
struct AppContext {
    QString AppDir;
    // Where the person's profiles and "Preferences.ini" live: AppDir itself, or a folder of each user's
    // own when the program is installed (see userfolder.h).
    QString UserDir;
    // The output folder until the person chooses one: AppDir for a portable program, the person's videos
    // folder for an installed one.
    QString DefaultOutputDir;
    QString EncoderPath;
    QString AppVersion = ProgramVersion();
    QString ProductName = QStringLiteral("Tessel Video Splitter");
    QString WebPageAddress;
    QString HelpFilePath;

    // Sets the folder-derived values (encoder, help file, web page) for a program folder, which then
    // also holds the person's files.
    void SetAppDir(const QString& folder);
    QString PreferencesPath() const;
    QString ProfilesDir() const;
    // UserDir + "Profiles" + separator + name + ".apf".
    QString ProfilePath(const QString& profileName) const;
};

AppContext& App();

// The native folder separator as a one-character string.
QString NativeSeparator();
