#include "split/clipendmark.h"

namespace {

const QByteArray Mark = QByteArrayLiteral("\nclip-end ");

// Whether text could still grow into the mark line: a start of the mark, or the mark and some digits.
bool CouldBeMark(const QByteArray& text) {
    if (text.size() <= Mark.size())
        return Mark.startsWith(text);
    if (!text.startsWith(Mark))
        return false;
    for (int i = Mark.size(); i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

} // namespace

void ClipEndMark::Feed(const QByteArray& chunk, QByteArray& clipOutput) {
    held += chunk;
    if (end)
        return;
    const int at = held.indexOf(Mark);
    if (at >= 0) {
        const int close = held.indexOf('\n', at + Mark.size());
        if (close >= 0) {
            bool ok = false;
            const int code = held.mid(at + Mark.size(), close - at - Mark.size()).toInt(&ok);
            clipOutput += held.left(at);
            held.remove(0, close + 1);
            end = ok ? code : 1;
            return;
        }
    }
    const int lineStart = held.lastIndexOf('\n');
    const int keep = lineStart >= 0 && CouldBeMark(held.mid(lineStart)) ? held.size() - lineStart : 0;
    clipOutput += held.left(held.size() - keep);
    held.remove(0, held.size() - keep);
}

std::optional<int> ClipEndMark::TakeEnd() {
    const std::optional<int> code = end;
    end.reset();
    return code;
}

QByteArray ClipEndMark::TakeHeld() {
    QByteArray rest;
    rest.swap(held);
    return rest;
}
