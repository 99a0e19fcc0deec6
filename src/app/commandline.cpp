#include "app/commandline.h"

#include "app/apperror.h"
#include "app/filehelpers.h"

#include <QDir>
#include <QFile>

namespace {

QString FirstLineOfListFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot read the list file %1: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("Cannot read the list file %1: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    if (content.isEmpty())
        throw AppError(QStringLiteral("The list file %1 is empty: it names no video.")
                           .arg(QDir::toNativeSeparators(path)));
    // A line ends at CR, LF or CR LF, as text files from any system have it.
    qsizetype end = 0;
    while (end < content.size() && content.at(end) != '\r' && content.at(end) != '\n')
        ++end;
    return QString::fromLocal8Bit(content.left(end));
}

// Every later step (the output folder taken from the source's folder among them) needs a whole path; a
// relative one means the folder the program was started from.
QString Absolute(const QString& path) {
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

} // namespace

QString CommandLineSource(const QStringList& arguments, const QStringList& extensions) {
    const QString argument = Absolute(arguments.isEmpty() ? QString() : arguments.constFirst());
    const QString candidate = LowerExtension(FileNameOf(argument)) == QLatin1String(".tmp")
                                  ? Absolute(FirstLineOfListFile(argument))
                                  : argument;
    if (SourceFileExists(candidate) && HasSupportedExtension(candidate, extensions))
        return candidate;
    return QString();
}
