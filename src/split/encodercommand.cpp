#include "split/encodercommand.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "app/numbers.h"
#include "contract/cliprequest.h"
#include "contract/mediaformats.h"
#include "contract/streamcopyoptions.h"
#include "profiles/profileoptions.h"

bool IsSourceSettingsProfile(const QString& profileName) {
    return profileName == QLatin1String("Settings of the source file.");
}

bool IsStreamCopy(const QString& profileName, const ProfileOptions& profileOptions) {
    if (IsSourceSettingsProfile(profileName))
        return true;
    std::vector<std::string> options;
    for (const QString& option : profileOptions.Arguments())
        options.push_back(option.toStdString());
    return Contract::ReadStreamCopyOptions(options).has_value();
}

QString ClipExtension(bool streamCopy, const QString& sourcePath, const QString& outputExt) {
    if (streamCopy) {
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
                           const ProfileOptions& profileOptions, const QString& outputPath, qint64 maxBytes) {
    const QString limit = maxBytes > 0 ? QStringLiteral(" -fs ") + QString::number(maxBytes) : QString();
    return QStringLiteral(" -y -i \"") + sourcePath + QStringLiteral("\" -ss ") +
           FormatOneDecimal(clipStart) + QStringLiteral(" -t ") + FormatGeneral(clipLength) +
           profileOptions.Text() + limit + QStringLiteral(" \"") + outputPath + QLatin1Char('"');
}

QStringList EncoderArguments(const QString& sourcePath, double clipStart, double clipLength,
                             const ProfileOptions& profileOptions, const QString& outputPath,
                             const QString& muxer, qint64 maxBytes) {
    // The exact start and length, unlike the displayed ones: neighbouring sections then neither overlap
    // nor leave a gap between them.
    Contract::ClipRequest request;
    request.source = sourcePath.toStdString();
    request.start = clipStart;
    request.length = clipLength;
    for (const QString& argument : profileOptions.Arguments())
        request.options.push_back(argument.toStdString());
    request.maxBytes = maxBytes;
    request.muxer = muxer.toStdString();
    request.output = outputPath.toStdString();
    QStringList arguments;
    for (const std::string& argument : Contract::ClipArguments(request))
        arguments << QString::fromStdString(argument);
    return arguments;
}

QString ClipMuxer(const QString& extension) {
    if (!extension.startsWith(QLatin1Char('.')))
        return QString();
    const auto format = Contract::OutputFormatOf(extension.mid(1).toStdString());
    return format ? QString::fromLatin1(format->muxer.data(), qsizetype(format->muxer.size())) : QString();
}
