#include "smalldisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {
bool Run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool done = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
                      process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll()).trimmed() + process.errorString();
    return done;
}
} // namespace

SmallDisk::SmallDisk(const QString& folder, qint64 bytes) : path(folder) {
    if (!QDir().mkpath(folder)) {
        failure = QStringLiteral("cannot make the folder ") + folder;
        return;
    }
    QString output;
    mounted = Run(QStringLiteral("mount"),
                  {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                   QStringLiteral("size=%1").arg(bytes), QStringLiteral("tmpfs"), folder},
                  &output);
    if (!mounted)
        failure = QStringLiteral("this machine does not allow mounting a tmpfs here: ") + output;
}

SmallDisk::~SmallDisk() {
    // Lazily, so that a file still open somewhere cannot keep the disk mounted.
    if (mounted)
        Run(QStringLiteral("umount"), {QStringLiteral("-l"), path});
}

bool SmallDisk::Fill() const {
    QFile filler(path + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray block(64 * 1024, '\0');
    while (filler.write(block) == block.size()) {
    }
    // The last partial page: byte by byte until the disk refuses.
    for (int i = 0; i < 64 * 1024; ++i) {
        if (filler.write("x", 1) != 1)
            return true;
    }
    return false;
}
