#include "split/clipendmark.h"

#include <algorithm>

QByteArray TakeOutputChunk(QByteArray& output, qint64 maxSize) {
    qsizetype size = std::min(output.size(), qsizetype(std::max<qint64>(0, maxSize)));
    for (qsizetype i = 0; i < size; ++i) {
        if (output.at(i) == '\r' || output.at(i) == '\n') {
            size = i + 1;
            break;
        }
    }
    const QByteArray chunk = output.left(size);
    output.remove(0, size);
    return chunk;
}

void ClipEndMark::Feed(const QByteArray& chunk, QByteArray& clipOutput) {
    reader.Feed(std::string_view(chunk.constData(), std::size_t(chunk.size())));
    while (!end) {
        const std::optional<Contract::OutputPiece> piece = reader.Next();
        if (!piece)
            return;
        if (piece->isRecord && piece->word == Contract::ClipEndWord)
            end = Contract::ClipEndCode(piece->value);
        else
            clipOutput += QByteArray::fromStdString(piece->isRecord ? piece->raw : piece->text);
    }
}

std::optional<int> ClipEndMark::TakeEnd() {
    const std::optional<int> code = end;
    end.reset();
    return code;
}

QByteArray ClipEndMark::TakeHeld() {
    return QByteArray::fromStdString(reader.TakeHeld());
}
