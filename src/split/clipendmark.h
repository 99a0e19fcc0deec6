#pragma once

#include <QByteArray>
#include <optional>

// The output of a front-end that writes the clips of a whole run: after each clip it prints a line
// "clip-end CODE" with the exit code that the clip would have had on its own. Output arrives in chunks
// that may end in the middle of that line, so a possible start of it is held back until it is complete.
class ClipEndMark {
public:
    // Takes the next output; what is certainly the clip's own output goes to clipOutput.
    void Feed(const QByteArray& chunk, QByteArray& clipOutput);
    // The clip's exit code, once its line has come (the output after it, if any, is kept for the next).
    std::optional<int> TakeEnd();
    // What is held back, for a front-end that ended in the middle of a clip.
    QByteArray TakeHeld();

private:
    QByteArray held;
    std::optional<int> end;
};
