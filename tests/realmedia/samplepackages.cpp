#include "samplepackages.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace SamplePackages {

namespace {

// Runs a program in a folder; empty on success, else its last line of output.
QString Run(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        return program + QStringLiteral(" did not finish ") + process.errorString();
    }
    const QStringList lines =
        QString::fromLocal8Bit(process.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return QString();
    return lines.isEmpty() ? program + QStringLiteral(" failed") : lines.last().trimmed();
}

} // namespace

QString Fetch(const QString& cache, const QStringList& packages) {
    const QDir archives(cache + QStringLiteral("/archives"));
    const QString root = cache + QStringLiteral("/root");
    if (!QDir().mkpath(archives.path()) || !QDir().mkpath(root))
        return QStringLiteral("cannot create the cache folder ") + cache;
    for (const QString& package : packages) {
        const QString unpacked = archives.filePath(package + QStringLiteral(".unpacked"));
        if (QFile::exists(unpacked))
            continue;
        if (const QString why =
                Run(QStringLiteral("apt-get"), {QStringLiteral("download"), package}, archives.path());
            !why.isEmpty())
            return QStringLiteral("apt-get download %1: %2").arg(package, why);
        const QStringList found =
            archives.entryList({package + QStringLiteral("_*.deb")}, QDir::Files, QDir::Time);
        if (found.isEmpty())
            return QStringLiteral("apt-get download %1 left no archive").arg(package);
        if (const QString why =
                Run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), found.first(), root}, archives.path());
            !why.isEmpty())
            return QStringLiteral("dpkg-deb -x %1: %2").arg(found.first(), why);
        QFile(archives.filePath(found.first())).remove();
        QFile marker(unpacked);
        if (!marker.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write ") + unpacked;
    }
    return QString();
}

} // namespace SamplePackages
