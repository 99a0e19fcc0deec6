#pragma once

#include "contract/sessionprotocol.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

// The notes that the encoder front-end writes about a clip as records of their own (where a clip really
// starts, or that it was cut at keyframes), taken out of its output. Output arrives in chunks that may end
// in the middle of a record.
class EncoderNotes {
public:
    // Takes the next output and gives back its text, without the records.
    QByteArray Feed(const QByteArray& chunk);
    const QStringList& Notes() const { return notes; }
    // Where a clip of a split by size stops, in seconds of the source, as its last clip-stop record said.
    std::optional<double> StopAt() const { return stopAt; }

private:
    Contract::RecordReader reader;
    QStringList notes;
    std::optional<double> stopAt;
};
