#include "split/partialclip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Attempts = 20;

QString RandomTag() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof(letters)) - 1)]);
    return tag;
}

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

PartialClip::PartialClip(const QString& clipPath) : clipPath(clipPath) {
    const QFileInfo clip(clipPath);
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const QString candidate =
            clip.dir().filePath(QStringLiteral(".part-") + RandomTag() + QLatin1Char('-') + clip.fileName());
        // Exclusive and without following a link: the name is ours alone; the usual permissions apply.
        const int fd = ::open(QFile::encodeName(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            path = candidate;
            return;
        }
        if (errno != EEXIST) {
            problem = QStringLiteral("the clip cannot be written in its folder: ") + SystemError(errno);
            return;
        }
    }
    problem = QStringLiteral("the clip cannot be written in its folder: no free temporary name");
}

PartialClip::~PartialClip() {
    Discard();
}

bool PartialClip::Commit() {
    if (path.isEmpty())
        return false;
    // One step that replaces a file or link of that name (never what a link points to).
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(clipPath).constData()) != 0) {
        problem = QStringLiteral("the finished clip cannot take its name: ") + SystemError(errno);
        return false;
    }
    path.clear();
    return true;
}

void PartialClip::Discard() {
    if (path.isEmpty())
        return;
    ::unlink(QFile::encodeName(path).constData());
    path.clear();
}
