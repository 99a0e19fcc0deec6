#include "contract/sessionprotocol.h"

#include <algorithm>
#include <charconv>

namespace Contract {

namespace {

constexpr char RecordStart = '\0';

} // namespace

std::optional<std::string> FrameClipArguments(const std::vector<std::string>& arguments) {
    std::string bytes;
    for (const std::string& argument : arguments) {
        if (argument.empty() || argument.find(RecordStart) != std::string::npos)
            return std::nullopt;
        bytes += argument;
        bytes += RecordStart;
    }
    bytes += RecordStart;
    return bytes;
}

std::optional<std::vector<std::string>> ReadClipArguments(std::FILE* input) {
    std::vector<std::string> arguments;
    std::string argument;
    std::size_t total = 0;
    for (int character; (character = std::fgetc(input)) != EOF;) {
        if (++total > MaxClipBytes)
            return std::nullopt;
        if (character != RecordStart) {
            argument += char(character);
            continue;
        }
        if (argument.empty())
            return arguments;
        arguments.push_back(std::move(argument));
        argument.clear();
    }
    return std::nullopt;
}

std::string Record(std::string_view word, std::string_view value) {
    std::string record(1, RecordStart);
    record += word;
    record += ' ';
    for (const char c : value)
        record += c == '\n' || c == '\r' || c == RecordStart ? ' ' : c;
    record += '\n';
    return record;
}

std::string ClipEndRecord(int exitCode) {
    return Record(ClipEndWord, std::to_string(exitCode));
}

std::string NoteRecord(std::string_view text) {
    return Record(NoteWord, text);
}

void RecordReader::Feed(std::string_view bytes) {
    pending += bytes;
}

std::optional<OutputPiece> RecordReader::Next() {
    for (;;) {
        if (pending.empty())
            return std::nullopt;
        OutputPiece piece;
        const std::size_t start = pending.find(RecordStart);
        if (start != 0) {
            piece.text = pending.substr(0, start);
            pending.erase(0, start == std::string::npos ? pending.size() : start);
            return piece;
        }
        const std::size_t end = pending.find_first_of(std::string_view("\n\0", 2), 1);
        if (end == std::string::npos && pending.size() <= MaxRecordBytes)
            return std::nullopt;
        if (end == std::string::npos || pending[end] != '\n' || end > MaxRecordBytes) {
            // Broken output, not a record: its NUL byte goes (the last of a run may start a record).
            const std::size_t run = std::min(pending.find_first_not_of(RecordStart), pending.size());
            pending.erase(0, std::max<std::size_t>(run - 1, 1));
            continue;
        }
        piece.raw = pending.substr(0, end + 1);
        pending.erase(0, end + 1);
        const std::string_view body = std::string_view(piece.raw).substr(1, end - 1);
        const std::size_t blank = body.find(' ');
        piece.isRecord = true;
        piece.word = body.substr(0, blank);
        if (blank != std::string_view::npos)
            piece.value = body.substr(blank + 1);
        return piece;
    }
}

std::string RecordReader::TakeHeld() {
    std::string held;
    for (const char c : pending)
        if (c != RecordStart)
            held += c;
    pending.clear();
    return held;
}

int ClipEndCode(std::string_view value) {
    int code = 1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), code);
    if (error != std::errc() || end != value.data() + value.size() || value.empty())
        return 1;
    return code;
}

} // namespace Contract
