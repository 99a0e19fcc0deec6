#include "app/userfolder.h"

#include "app/appcontext.h"
#include "app/apperror.h"
#include "app/filehelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace UserFolder {

namespace {

[[noreturn]] void Unwritable(const QString& path) {
    throw AppError(QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
}

void MakeFolder(const QString& path) {
    if (!QDir().mkpath(path))
        Unwritable(path);
}

// Written whole beside the target and renamed into place, so that a full disk leaves no half file that
// would count as present from then on.
void CopyIfMissing(const QString& from, const QString& to) {
    if (QFileInfo::exists(to))
        return;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return;
    const QByteArray content = source.readAll();
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly) || target.write(content) != content.size() || !target.flush() ||
        !target.commit())
        Unwritable(to);
}

} // namespace

bool IsPortable(const QString& appDir) {
    const QString folder = EnsureTrailingBackslash(appDir);
    return !QFileInfo::exists(folder + InstalledMark) && QFileInfo(folder).isWritable();
}

QString PerUserDir() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return EnsureTrailingBackslash(QDir::toNativeSeparators(QDir::cleanPath(dataHome)) + NativeSeparator() +
                                   QStringLiteral("tessel-video-splitter"));
}

QString VideosDir() {
    QString folder;
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir"));
    if (!tool.isEmpty()) {
        QProcess process;
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(tool, {QStringLiteral("VIDEOS")});
        if (process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0)
            folder = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        else
            process.kill();
    }
    if (!QDir::isAbsolutePath(folder) || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return EnsureTrailingBackslash(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}

void LayDown(const QString& appDir, const QString& userDir) {
    const QString from = EnsureTrailingBackslash(appDir);
    const QString to = EnsureTrailingBackslash(userDir);
    MakeFolder(to + ProfilesFolderName);
    const QDir shipped(from + ProfilesFolderName);
    for (const QString& name : shipped.entryList({QStringLiteral("*.apf")}, QDir::Files, QDir::Name))
        CopyIfMissing(shipped.filePath(name), to + ProfilesFolderName + NativeSeparator() + name);
    CopyIfMissing(from + PreferencesFileName, to + PreferencesFileName);
}

void UseProgramFolder(const QString& appDir) {
    App().SetAppDir(appDir);
    if (IsPortable(App().AppDir))
        return;
    App().UserDir = PerUserDir();
    App().DefaultOutputDir = VideosDir();
    LayDown(App().AppDir, App().UserDir);
}

} // namespace UserFolder
