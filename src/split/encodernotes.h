#pragma once

#include <QByteArray>
#include <QStringList>

// The notes that the encoder front-end prints about a clip, each on a line of its own that begins with
// "note: " (where a clip really starts, or that it was cut at keyframes). Output arrives in chunks that may
// end in the middle of a line.
class EncoderNotes {
public:
    void Feed(const QByteArray& chunk);
    // The notes of complete lines so far, without the prefix.
    const QStringList& Notes() const { return notes; }

private:
    QByteArray partial;
    QStringList notes;
};
