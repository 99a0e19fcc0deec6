#include "testmedia.h"

#include "app/appcontext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

namespace TestMedia {

bool MakeVideo(const QString& path, double seconds, const QStringList& outputOptions, QString* error,
               const QString& size) {
    const QString length = QString::number(seconds, 'f', 3);
    QStringList arguments{QStringLiteral("-hide_banner"),
                          QStringLiteral("-loglevel"),
                          QStringLiteral("error"),
                          QStringLiteral("-y"),
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          QStringLiteral("testsrc2=size=%1:rate=25:duration=%2").arg(size, length),
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          QStringLiteral("sine=frequency=440:duration=%1").arg(length)};
    arguments << outputOptions << QStringLiteral("-shortest") << path;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("ffmpeg"), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("ffmpeg failed: ") + QString::fromLocal8Bit(process.readAll()) +
                     process.errorString();
        return false;
    }
    return true;
}

QString RunMerged(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        *exitCode = -1;
        return QStringLiteral("did not finish: ") + process.errorString();
    }
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAll());
}

QString RunAndRead(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        if (exitCode)
            *exitCode = -1;
        return QString();
    }
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

double ProbeDuration(const QString& path) {
    int code = 0;
    const QString text =
        RunAndRead(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                    QStringLiteral("format=duration"), QStringLiteral("-of"),
                    QStringLiteral("default=noprint_wrappers=1:nokey=1"), path},
                   &code);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return code == 0 && ok ? value : -1;
}

QString ProbeCodec(const QString& path, const QString& streamKind) {
    const QString text =
        RunAndRead(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                    streamKind + QStringLiteral(":0"), QStringLiteral("-show_entries"),
                    QStringLiteral("stream=codec_name"), QStringLiteral("-of"),
                    QStringLiteral("default=noprint_wrappers=1:nokey=1"), path});
    return text.trimmed();
}

} // namespace TestMedia

TempProgramDir::TempProgramDir() {
    temp = std::make_unique<QTemporaryDir>();
    dir = QDir(temp->path()).absolutePath() + NativeSeparator();
    QDir().mkpath(dir + QStringLiteral("Profiles"));
    previousAppDir = App().AppDir;
    App().SetAppDir(dir);
}

TempProgramDir::~TempProgramDir() {
    temp.reset();
    if (!previousAppDir.isEmpty())
        App().SetAppDir(previousAppDir);
}

QString TempProgramDir::Write(const QString& relativePath, const QByteArray& content) const {
    const QString path = dir + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

void TempProgramDir::CopyShippedProfiles() const {
    // The committed files, not the program folder's copies, which a person's edits may have changed.
    const QString shipped = qEnvironmentVariable("TESSEL_SOURCE_DIR") + QStringLiteral("/data/Profiles");
    const QDir source(shipped);
    for (const QString& name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), dir + QStringLiteral("Profiles/") + name);
}
