#pragma once

#include <QString>
#include <QStringList>

// The profile whose clips keep the source's own container and streams.
bool IsSourceSettingsProfile(const QString& profileName);

// The extension of clip files: the source's own for the stream-copy profile (OutputExt when the source has
// none), otherwise OutputExt as it stands now, since a profile loaded during a run changes later clips.
QString ClipExtension(const QString& profileName, const QString& sourcePath);

// Output folder (ending in the separator) + the source's file name without extension + "_Clip" + clip
// number + extension.
QString ClipOutputPath(const QString& outputFolder, const QString& sourcePath, int clip,
                       const QString& extension);

// The command line of one clip as text, for display and the record: the source and output quoted, the start
// with one decimal and the length with up to 15 significant digits, both always with a decimal point.
QString EncoderCommandLine(const QString& sourcePath, double clipStart, double clipLength,
                           const QString& profileArguments, const QString& outputPath);

// The same pieces as the arguments the encoder is started with, but with the start in full; no shell ever
// sees them, so paths need no quoting and the profile's options are split at blanks.
QStringList EncoderArguments(const QString& sourcePath, double clipStart, double clipLength,
                             const QString& profileArguments, const QString& outputPath);
