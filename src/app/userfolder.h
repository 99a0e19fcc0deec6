#pragma once

#include <QString>

// Where the person's profiles and "Preferences.ini" live. A portable program folder keeps them beside the
// program. An installed one (marked by the package, or not writable) leaves its own copies untouched and
// each user gets a folder of their own, laid down from the installed copies.
namespace UserFolder {

// The file that the package puts into the program folder to mark it as installed. Root may write
// anywhere, so writability alone would make an installed folder look portable.
inline const QString InstalledMark = QStringLiteral("installed");

bool IsPortable(const QString& appDir);

// $XDG_DATA_HOME/tessel-video-splitter/, or ~/.local/share/tessel-video-splitter/ when that variable is
// unset or not an absolute path.
QString PerUserDir();

// The person's videos folder as "xdg-user-dir VIDEOS" names it, else the home folder; ends in the
// separator.
QString VideosDir();

// Copies the program folder's profiles and preferences into the user folder, each only where the user
// folder has none, so that a person's edits survive reinstalls. Throws AppError ("Unable to write to %s")
// at the first file or folder that cannot be written.
void LayDown(const QString& appDir, const QString& userDir);

// Sets App()'s program folder and the user folder for it, laid down when it is per-user; an installed
// program's clips go to the videos folder until the person chooses another. When the
// lay-down fails the folders are still set (the program goes on with what is there) and the AppError is
// rethrown for the caller to show.
void UseProgramFolder(const QString& appDir);

} // namespace UserFolder
