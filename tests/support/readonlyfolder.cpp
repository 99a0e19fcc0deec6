#include "readonlyfolder.h"

#include <QFile>
#include <QProcess>
#include <unistd.h>

namespace {
bool Chattr(const QString& flag, const QString& path) {
    QProcess process;
    process.start(QStringLiteral("chattr"), {flag, path});
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}
} // namespace

ReadOnlyFolder::ReadOnlyFolder(const QString& folder) : path(folder) {
    if (geteuid() == 0) {
        immutable = Chattr(QStringLiteral("+i"), path);
        isActive = immutable;
    } else {
        isActive = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (immutable)
        Chattr(QStringLiteral("-i"), path);
    else if (isActive)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
