// The front-end's output in chunks cut anywhere, read for records; and clip arguments framed, read back
// and parsed.
#include "contract/cliprequest.h"
#include "contract/sessionprotocol.h"
#include "fuzzcheck.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string WithoutNuls(const std::string& text) {
    std::string result;
    for (const char c : text)
        if (c != '\0')
            result += c;
    return result;
}

struct Read {
    std::string all;
    std::vector<std::string> records;
};

// Feeds the output in pieces of the given sizes (cycled) and checks every piece that comes out.
Read ReadOutput(const std::string& output, const std::vector<std::size_t>& cuts) {
    Contract::RecordReader reader;
    Read read;
    std::size_t at = 0;
    for (std::size_t turn = 0; at < output.size(); ++turn) {
        const std::size_t size = cuts.empty() ? output.size() : 1 + cuts[turn % cuts.size()];
        reader.Feed(std::string_view(output).substr(at, size));
        at += size;
        while (const auto piece = reader.Next()) {
            if (!piece->isRecord) {
                FUZZ_CHECK(!piece->text.empty());
                FUZZ_CHECK(piece->text.find('\0') == std::string::npos);
                read.all += piece->text;
                continue;
            }
            const std::string& raw = piece->raw;
            FUZZ_CHECK(raw.size() >= 2 && raw.front() == '\0' && raw.back() == '\n');
            FUZZ_CHECK(raw.size() <= Contract::RecordReader::MaxRecordBytes + 1);
            FUZZ_CHECK(raw.find('\0', 1) == std::string::npos);
            FUZZ_CHECK(raw.find('\n') == raw.size() - 1);
            FUZZ_CHECK(piece->word.find(' ') == std::string::npos);
            const int code = Contract::ClipEndCode(piece->value);
            FUZZ_CHECK(piece->value.empty() ? code == 1 : true);
            // What the writer makes of the record's word and value reads back as the same bytes.
            if ((!piece->value.empty() || raw.find(' ') != std::string::npos) &&
                raw.find('\r') == std::string::npos)
                FUZZ_CHECK(Contract::Record(piece->word, piece->value) == raw);
            read.records.push_back(raw);
            read.all += raw;
        }
    }
    read.all += reader.TakeHeld();
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The first bytes choose where the chunks are cut.
    const std::size_t cutCount = data[0] % 8;
    if (size < 1 + cutCount)
        return 0;
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < cutCount; ++i)
        cuts.push_back(data[1 + i]);
    const std::string output(reinterpret_cast<const char*>(data + 1 + cutCount), size - 1 - cutCount);

    // Nothing is lost or made up but NUL bytes, and where the chunks are cut changes nothing.
    const Read whole = ReadOutput(output, {});
    const Read chunked = ReadOutput(output, cuts);
    FUZZ_CHECK(WithoutNuls(whole.all) == WithoutNuls(output));
    FUZZ_CHECK(chunked.records == whole.records);
    FUZZ_CHECK(WithoutNuls(chunked.all) == WithoutNuls(output));
    // Output without NUL bytes is text only, whatever it says.
    if (output.find('\0') == std::string::npos)
        FUZZ_CHECK(whole.records.empty() && whole.all == output);

    // The same bytes as clip arguments: framed, read back whole, and parsed without harm.
    std::vector<std::string> arguments;
    std::string argument;
    for (const char c : output) {
        if (c != '\0') {
            argument += c;
        } else if (!argument.empty()) {
            arguments.push_back(argument);
            argument.clear();
        }
    }
    if (!argument.empty())
        arguments.push_back(argument);
    const auto framed = Contract::FrameClipArguments(arguments);
    FUZZ_CHECK(framed.has_value());
    std::FILE* input = fmemopen(const_cast<char*>(framed->data()), framed->size(), "r");
    FUZZ_CHECK(input != nullptr);
    const auto readBack = Contract::ReadClipArguments(input);
    std::fclose(input);
    FUZZ_CHECK(readBack && *readBack == arguments);
    const Contract::ClipParse parse = Contract::ParseClipArguments(arguments);
    FUZZ_CHECK(parse.request.has_value() != !parse.problem.empty());
    if (parse.request)
        FUZZ_CHECK(Contract::ParseClipArguments(Contract::ClipArguments(*parse.request)).request.has_value());
    return 0;
}
