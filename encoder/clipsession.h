#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// One front-end process for all the clips of a run: the runner writes each clip's arguments to standard
// input, each argument ended by a NUL byte and the clip by an empty argument; the front-end writes the clip
// and then a line "clip-end CODE" with the exit code the clip would have had on its own. The end of the
// input ends the process.
namespace EncoderFrontEnd {

// The option that asks for this way of working, as the only argument.
inline constexpr const char* ClipsOption = "--clips";
// What follows the last output of a clip, on a line of its own.
inline constexpr const char* ClipEndMark = "clip-end ";

// The next clip's arguments, or nothing at the end of the input (or in the middle of a clip).
std::optional<std::vector<std::string>> ReadClipArguments(std::FILE* input);

} // namespace EncoderFrontEnd
