#include "app/supportedfiles.h"

QStringList DefaultSupportedExtensions() {
    return {QStringLiteral(".avi"), QStringLiteral(".mpg"), QStringLiteral(".mpeg"), QStringLiteral(".mp4"),
            QStringLiteral(".wmv"), QStringLiteral(".mov"), QStringLiteral(".vob"), QStringLiteral(".asf"),
            // The containers of today's camcorders, phones, TV recorders and downloads.
            QStringLiteral(".mkv"), QStringLiteral(".webm"), QStringLiteral(".m4v"), QStringLiteral(".ts"),
            QStringLiteral(".m2ts"), QStringLiteral(".mts"), QStringLiteral(".flv"), QStringLiteral(".3gp"),
            QStringLiteral(".ogv")};
}

QString BuildOpenDialogFilter(const QStringList& extensions) {
    QString pairs;
    QString patterns;
    for (const QString& extension : extensions) {
        const QString description =
            extension.mid(1).toUpper() + QStringLiteral(" Files (*") + extension + QLatin1Char(')');
        pairs += description + QStringLiteral("|*") + extension + QLatin1Char('|');
        patterns += QLatin1Char('*') + extension + QLatin1Char(';');
    }
    return QStringLiteral("All Support Files(") + patterns + QStringLiteral(")|") + patterns +
           QLatin1Char('|') + pairs + QStringLiteral("All Files (*.*)|*.*");
}
