#include "fakeencoder.h"

#include "app/appcontext.h"
#include "fakefrontend.h"
#include "testmedia.h"

#include <QFile>
#include <QFileInfo>

namespace FakeEncoder {

void Install(const TempProgramDir& program, const QString& body) {
    const QByteArray script = FakeFrontEndScript(
        "dir=$(dirname \"$0\")\n"
        "step() {\n"
        "  n=$(( $(cat \"$dir/steps\" 2>/dev/null || echo 0) + 1 )); echo $n > \"$dir/steps\"\n"
        "  printf \"$1\"\n"
        "  while [ ! -e \"$dir/go$n\" ]; do sleep 0.02; done\n"
        "}",
        "for out; do :; done\n"
        "{ for a; do printf '%s|' \"$a\"; done; echo; } >> \"$dir/calls.log\"\n"
        "echo $$ > \"$dir/pid\"\n" +
            body.toUtf8());
    const QString path = program.Write(QStringLiteral("wmaspi.dll"), script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    App().EncoderPath = path;
}

QList<QStringList> Calls(const TempProgramDir& program) {
    QFile file(program.path() + QStringLiteral("calls.log"));
    QList<QStringList> calls;
    if (!file.open(QIODevice::ReadOnly))
        return calls;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        QStringList arguments = QString::fromUtf8(line).split(QLatin1Char('|'));
        arguments.removeLast();
        calls << arguments;
    }
    return calls;
}

void Release(const TempProgramDir& program, int step) {
    program.Write(QStringLiteral("go%1").arg(step), QByteArray());
}

qint64 LastPid(const TempProgramDir& program) {
    QFile file(program.path() + QStringLiteral("pid"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().trimmed().toLongLong();
}

bool ProcessAlive(qint64 pid) {
    if (pid <= 0)
        return false;
    // A zombie no longer runs; QProcess reaps its children.
    QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = status.readAll();
    const int close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) != "Z";
}

} // namespace FakeEncoder
