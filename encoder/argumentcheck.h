#pragma once

#include <string>
#include <vector>

// The front-end's own check that a clip reads one file and writes one: whatever the profile said, ffmpeg
// is never started with a second input or output.
namespace EncoderFrontEnd {

struct FileCount {
    int inputs = 0;
    int outputs = 0;
};

// The files that ffmpeg would open from these arguments (without the program name): one input for each
// "-i", and one output for each argument that stands where an option belongs. Every option takes the next
// argument as its value, except ffmpeg's options that take none (-y, -vn, -nostats, ...).
FileCount CountFiles(const std::vector<std::string>& arguments);

// Empty when the arguments name at most one input and one output; otherwise the reason, for one line on
// standard error.
std::string FileCountProblem(const std::vector<std::string>& arguments);

} // namespace EncoderFrontEnd
