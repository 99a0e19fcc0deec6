#pragma once

#include <QString>
#include <QStringList>

class TempProgramDir;

// Fake encoders: shell scripts installed as the program folder's encoder. Each call appends its arguments
// to "calls.log" (joined by "|"), writes its process id to "pid" and has the output path in $out. In the
// body, `step 'text'` prints the text (a printf format) as one chunk and waits until the test has made
// the file "go<n>", n counting the steps of all calls; so the order of chunks never depends on speed.
namespace FakeEncoder {
void Install(const TempProgramDir& program, const QString& body);
// The arguments of every call so far.
QList<QStringList> Calls(const TempProgramDir& program);
// Lets the step with this number go on.
void Release(const TempProgramDir& program, int step);
// The id written by the latest call, or 0.
qint64 LastPid(const TempProgramDir& program);
bool ProcessAlive(qint64 pid);
} // namespace FakeEncoder
