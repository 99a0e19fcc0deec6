#include "split/encodernotes.h"

namespace {

// Progress lines end in a carriage return and never hold a note; a long run of them is not kept.
constexpr int LongestLine = 4096;
const QByteArray NotePrefix = QByteArrayLiteral("note: ");

} // namespace

void EncoderNotes::Feed(const QByteArray& chunk) {
    for (const char character : chunk) {
        if (character != '\n' && character != '\r') {
            if (partial.size() < LongestLine)
                partial += character;
            continue;
        }
        if (partial.startsWith(NotePrefix))
            notes << QString::fromUtf8(partial.mid(NotePrefix.size())).trimmed();
        partial.clear();
    }
}
