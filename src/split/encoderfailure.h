#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// How the encoder of a clip ended.
struct ClipExit {
    bool crashed = false;
    int exitCode = 0;
};

// A clip whose encoder exited with an error or crashed.
struct FailedClip {
    QString fileName;
    QString lastErrorLine;
};

// The last line of the encoder's output that is not a progress report; ffmpeg's quiet console carries
// only those and its error messages. Empty when there is none.
QString LastErrorLine(const QByteArray& output);

// The text of the box that ends a run with failed clips: their names, each with the encoder's last error.
QString FailureReport(const QList<FailedClip>& clips);

// Why a clip whose encoder has ended counts as failed, judged by how the encoder ended, the end of its
// output and the clip file; empty when the clip was written.
QString ClipFailure(const ClipExit& exit, const QString& outputPath, const QByteArray& outputTail);
