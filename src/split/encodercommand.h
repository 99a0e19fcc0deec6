#pragma once

#include <QString>
#include <QStringList>

class ProfileOptions;

// The profile whose clips keep the source's own container and streams.
bool IsSourceSettingsProfile(const QString& profileName);

// Clips that keep the source's own container and streams: the stream-copy profile by its name, or any
// profile whose options copy every stream without encoding, as a copy of it saved under another name.
bool IsStreamCopy(const QString& profileName, const ProfileOptions& profileOptions);

// The extension of clip files: the source's own for a stream copy (outputExt when the source has none),
// otherwise outputExt, the extension of the profile loaded last.
QString ClipExtension(bool streamCopy, const QString& sourcePath, const QString& outputExt);

// Output folder (ending in the separator) + the source's file name without extension + "_Clip" + clip
// number + extension.
QString ClipOutputPath(const QString& outputFolder, const QString& sourcePath, int clip,
                       const QString& extension);

// The command line of one clip as text, for display and the record: the source and output quoted, the start
// with one decimal and the length with up to 15 significant digits, both always with a decimal point, the
// profile's options as ProfileOptions::Text shows them, and "-fs maxBytes" after them when it is above 0.
QString EncoderCommandLine(const QString& sourcePath, double clipStart, double clipLength,
                           const ProfileOptions& profileOptions, const QString& outputPath,
                           qint64 maxBytes = 0);

// The same pieces as the arguments the encoder is started with, but with the start in full: one input,
// one output, and the profile's options and values between them, each one argument. No shell ever sees
// them, so nothing is quoted. maxBytes above 0 limits the clip's size.
QStringList EncoderArguments(const QString& sourcePath, double clipStart, double clipLength,
                             const ProfileOptions& profileOptions, const QString& outputPath,
                             const QString& muxer = QString(), qint64 maxBytes = 0);

// The muxer of clips with this extension (with its dot), from the list this program writes; empty for an
// extension that is not on it.
QString ClipMuxer(const QString& extension);
