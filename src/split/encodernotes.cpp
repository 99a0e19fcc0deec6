#include "split/encodernotes.h"

#include <cmath>

QByteArray EncoderNotes::Feed(const QByteArray& chunk) {
    reader.Feed(std::string_view(chunk.constData(), std::size_t(chunk.size())));
    QByteArray text;
    while (const std::optional<Contract::OutputPiece> piece = reader.Next()) {
        if (!piece->isRecord) {
            text += QByteArray::fromStdString(piece->text);
        } else if (piece->word == Contract::NoteWord) {
            notes << QString::fromUtf8(piece->value).trimmed();
        } else if (piece->word == Contract::ClipStopWord) {
            bool ok = false;
            const double seconds = QByteArray::fromStdString(piece->value).toDouble(&ok);
            if (ok && std::isfinite(seconds))
                stopAt = seconds;
        }
    }
    return text;
}
