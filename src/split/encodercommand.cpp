#include "split/encodercommand.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "app/numbers.h"
#include "profiles/profileoptions.h"

bool IsSourceSettingsProfile(const QString& profileName) {
    return profileName == QLatin1String("Settings of the source file.");
}

QString ClipExtension(const QString& profileName, const QString& sourcePath, const QString& outputExt) {
    if (IsSourceSettingsProfile(profileName)) {
        const QString name = FileNameOf(sourcePath);
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && dot + 1 < name.size())
            return name.mid(dot);
    }
    return outputExt;
}

QString ClipOutputPath(const QString& outputFolder, const QString& sourcePath, int clip,
                       const QString& extension) {
    return outputFolder + RemoveExtension(FileNameOf(sourcePath)) + QStringLiteral("_Clip") +
           QString::number(clip) + extension;
}

QString EncoderCommandLine(const QString& sourcePath, double clipStart, double clipLength,
                           const ProfileOptions& profileOptions, const QString& outputPath) {
    return QStringLiteral(" -y -i \"") + sourcePath + QStringLiteral("\" -ss ") +
           FormatOneDecimal(clipStart) + QStringLiteral(" -t ") + FormatGeneral(clipLength) +
           profileOptions.Text() + QStringLiteral(" \"") + outputPath + QLatin1Char('"');
}

QStringList EncoderArguments(const QString& sourcePath, double clipStart, double clipLength,
                             const ProfileOptions& profileOptions, const QString& outputPath) {
    // The exact start, unlike the displayed tenth: neighbouring sections then neither overlap nor leave a
    // gap between them.
    QStringList arguments{QStringLiteral("-y"),     QStringLiteral("-i"),   sourcePath,
                          QStringLiteral("-ss"),    FormatExact(clipStart), QStringLiteral("-t"),
                          FormatGeneral(clipLength)};
    arguments << profileOptions.Arguments();
    arguments << outputPath;
    return arguments;
}
