#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace Cut {

// The cutter's console, in the form the runner reads from ffmpeg: a progress line with "time=" now and
// then, notes on lines of their own, and errors as the last line.
class ProgressPrinter {
public:
    explicit ProgressPrinter(std::FILE* console) : console(console) {}

    // How far the clip is written, in seconds of the clip; printed at most twice a second unless forced.
    void Progress(double seconds, bool force = false);
    // Notes how far the clip is written without printing it, for a clip whose turn to be shown has not
    // come; its next progress line shows at least this.
    void Reach(double seconds);
    void Note(const std::string& text);
    void Error(const std::string& text);

    // Hours, minutes and seconds with milliseconds, as the notes show times.
    static std::string TimeText(double seconds);

private:
    std::FILE* console;
    std::chrono::steady_clock::time_point last{};
    double best = 0;
};

} // namespace Cut
