#pragma once

#include "contract/sessionprotocol.h"

#include <QByteArray>
#include <optional>

// The output of a front-end that writes the clips of a whole run: after each clip it writes a clip-end
// record with the exit code that the clip would have had on its own. Output arrives in chunks that may end
// in the middle of a record, so a record's start is held back until the record is complete.
// The next chunk of a clip's output for the read loop, at most maxSize bytes: up to the end of its first line
// (a progress line ends in a carriage return). The front-end writes a burst of lines at once, and of a
// chunk holding two progress lines only the first counts.
QByteArray TakeOutputChunk(QByteArray& output, qint64 maxSize);

class ClipEndMark {
public:
    // Takes the next output; the clip's own output (its text and its other records) goes to clipOutput.
    void Feed(const QByteArray& chunk, QByteArray& clipOutput);
    // The clip's exit code, once its record has come (the output after it is kept for the next clip).
    std::optional<int> TakeEnd();
    // What is held back, for a front-end that ended in the middle of a clip.
    QByteArray TakeHeld();

private:
    Contract::RecordReader reader;
    std::optional<int> end;
};
