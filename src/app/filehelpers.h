#pragma once

#include <QString>
#include <QStringList>

// The text before the last "."; a name without a dot is returned whole. Callers pass a bare file name.
QString RemoveExtension(const QString& fileName);

// True when a file (not a folder) exists at the path.
bool SourceFileExists(const QString& path);

// Appends the native folder separator unless the path already ends in one. The name is the program's
// own; an empty path stays empty (the folder part of a bare file name), meaning the current folder.
QString EnsureTrailingBackslash(const QString& path);

// Ordinary files directly in the folder whose extension equals the wanted one without regard to case,
// sorted by name without regard to case. Throws AppError when the folder cannot be read.
QStringList ListFilesByExtension(const QString& folder, const QString& extension);

// The extension of the path's file name (dot included, empty when none), lower-cased, found in the list.
bool HasSupportedExtension(const QString& path, const QStringList& extensions);

// The extension of a file name, from its last "." (dot included), lower-cased; empty when there is none.
QString LowerExtension(const QString& fileName);

// The file name part of a path, after the last folder separator ("/" or the native one).
QString FileNameOf(const QString& path);

// The folder part of a path, without its trailing separator; empty when the path has no folder.
QString FolderOf(const QString& path);
