#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The session between the runner and the encoder front-end started with ClipsOption alone.
// - Runner to front-end: each clip's arguments, each argument ended by a NUL byte, the clip by an empty
//   argument. A path can hold no NUL byte, so no path can end an argument or a clip early.
// - Front-end to runner: ffmpeg's and the cutter's text, with records among it. A record is a NUL byte, a
//   word, a blank, a value and a line feed. No text printed from C strings holds a NUL byte, so no path
//   or log line can pose as a record. The end of the input ends the front-end.
namespace Contract {

inline constexpr const char* ClipsOption = "--clips";
// Put in front of a clip's arguments: the clip is encoded together with the clip that follows it (a
// section of the same range), and the front-end waits for that one before it starts.
inline constexpr const char* WithNextOption = "--with-next";
// Alone with a source's path, in the place of a clip's arguments: no clip is made, the front-end answers
// with a source-length record.
inline constexpr const char* SourceLengthOption = "--source-length";

// After the last output of a clip: the exit code the clip would have had on its own.
inline constexpr std::string_view ClipEndWord = "clip-end";
// Something the person should learn about a clip that was written (where it really starts).
inline constexpr std::string_view NoteWord = "note";
// For a clip of a chosen size: where it stops, in seconds of the source; the last one before clip-end holds.
inline constexpr std::string_view ClipStopWord = "clip-stop";
// The answer to SourceLengthOption: the source's duration in seconds and its first video stream's average
// frame rate as a fraction ("0/0" without one), as ffprobe prints them; no value when only ffprobe can tell.
inline constexpr std::string_view SourceLengthWord = "source-length";

// The bytes that carry one clip's arguments; nothing when an argument is empty or holds a NUL byte,
// as it could not be told apart from the framing.
std::optional<std::string> FrameClipArguments(const std::vector<std::string>& arguments);

// The next clip's arguments, or nothing at the end of the input, in the middle of a clip, or after more
// than MaxClipBytes of one clip.
inline constexpr std::size_t MaxClipBytes = 1 << 20;
std::optional<std::vector<std::string>> ReadClipArguments(std::FILE* input);

// A record as the front-end writes it. Line breaks and NUL bytes in the value become blanks.
std::string Record(std::string_view word, std::string_view value);
std::string ClipEndRecord(int exitCode);
std::string NoteRecord(std::string_view text);

// One piece of the front-end's output: plain text, or a whole record (raw holds its bytes as they came).
struct OutputPiece {
    std::string text;
    bool isRecord = false;
    std::string word;
    std::string value;
    std::string raw;
};

// Splits the front-end's output, which arrives in chunks cut anywhere, into text and records. Text before
// a record's start is given out at once; a record only once its line feed has come.
class RecordReader {
public:
    void Feed(std::string_view bytes);
    // The next piece, or nothing until more output comes.
    std::optional<OutputPiece> Next();
    // The start of a record that never ended, as text without its NUL bytes (the front-end stopped).
    std::string TakeHeld();

    // A record longer than this is broken output: its bytes are given out as text.
    static constexpr std::size_t MaxRecordBytes = 4096;

private:
    std::string pending;
};

// The exit code of a clip-end record's value; 1 for a value that is not a plain whole number.
int ClipEndCode(std::string_view value);

} // namespace Contract
