#include "headlessprogram.h"

#include "fakefrontend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString BuiltProgramDir() {
    return qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QLatin1Char('/');
}

void CopyExecutable(const QString& from, const QString& to) {
    QFile::remove(to);
    QFile::copy(from, to);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

HeadlessProgram::HeadlessProgram() : dir(QDir(temp.path()).absolutePath() + QLatin1Char('/')) {
    QDir().mkpath(dir + QStringLiteral("Profiles"));
    CopyExecutable(BuiltProgramDir() + QStringLiteral("tessel-split"), dir + QStringLiteral("tessel-split"));
}

QString HeadlessProgram::Write(const QString& relativePath, const QByteArray& content) const {
    const QString path = dir + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

void HeadlessProgram::Remove(const QString& relativePath) const {
    QFile::remove(dir + relativePath);
}

void HeadlessProgram::CopyShippedProfiles() const {
    const QDir shipped(BuiltProgramDir() + QStringLiteral("Profiles"));
    for (const QString& name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), dir + QStringLiteral("Profiles/") + name);
}

void HeadlessProgram::UseRealEncoder() const {
    CopyExecutable(BuiltProgramDir() + QStringLiteral("wmaspi.dll"), dir + QStringLiteral("wmaspi.dll"));
}

void HeadlessProgram::UseFakeEncoder(const QByteArray& body) const {
    const QString path =
        Write(QStringLiteral("wmaspi.dll"),
              FakeFrontEndScript("dir=$(dirname \"$0\")", "for out; do :; done\n"
                                                          "echo \"$*\" >> \"$dir/calls.log\"\n"
                                                          "echo $$ > \"$dir/pid\"\n" +
                                                              body));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList HeadlessProgram::EncoderCalls() const {
    QFile file(dir + QStringLiteral("calls.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void HeadlessProgram::Start(QProcess& process, const QStringList& arguments) const {
    process.setStandardInputFile(QProcess::nullDevice());
    process.setWorkingDirectory(dir);
    process.start(dir + QStringLiteral("tessel-split"), arguments);
}

HeadlessProgram::Result HeadlessProgram::Run(const QStringList& arguments) const {
    QProcess process;
    Start(process, arguments);
    Result result;
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}
