#include "app/filehelpers.h"

#include "app/appcontext.h"
#include "app/apperror.h"

#include <QDir>
#include <QFileInfo>

namespace {

int LastSeparator(const QString& path) {
    int index = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    index = std::max(index, path.lastIndexOf(QLatin1Char('\\')));
#endif
    return index;
}

} // namespace

QString RemoveExtension(const QString& fileName) {
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

bool SourceFileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString EnsureTrailingBackslash(const QString& path) {
    if (path.isEmpty())
        return path;
    const QString separator = NativeSeparator();
    return path.endsWith(separator) ? path : path + separator;
}

QString FileNameOf(const QString& path) {
    return path.mid(LastSeparator(path) + 1);
}

QString FolderOf(const QString& path) {
    const int index = LastSeparator(path);
    if (index < 0)
        return QString();
    return index == 0 ? path.left(1) : path.left(index);
}

QString LowerExtension(const QString& fileName) {
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot).toLower();
}

QStringList ListFilesByExtension(const QString& folder, const QString& extension) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable())
        throw AppError(QStringLiteral("Cannot open the folder %1: it does not exist or cannot be read.")
                           .arg(QDir::toNativeSeparators(folder)));
    const QString wanted = extension.toLower();
    QStringList names = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    QStringList kept;
    for (const QString& name : names) {
        if (LowerExtension(name) == wanted)
            kept << name;
    }
    return kept;
}

bool HasSupportedExtension(const QString& path, const QStringList& extensions) {
    const QString extension = LowerExtension(FileNameOf(path));
    return extensions.contains(extension);
}
