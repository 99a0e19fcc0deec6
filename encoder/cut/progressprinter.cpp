#include "progressprinter.h"

#include "contract/sessionprotocol.h"

#include <algorithm>
#include <cmath>

namespace Cut {

void ProgressPrinter::Reach(double seconds) {
    best = std::max(best, seconds);
}

void ProgressPrinter::Progress(double seconds, bool force) {
    Reach(seconds);
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last < std::chrono::milliseconds(500))
        return;
    last = now;
    const double value = std::max(0.0, best);
    const long long whole = (long long)value;
    std::fprintf(console, "size=N/A time=%02lld:%02lld:%05.2f bitrate=N/A speed=N/A\r", whole / 3600,
                 (whole / 60) % 60, value - double(whole - whole % 60));
    std::fflush(console);
}

void ProgressPrinter::Note(const std::string& text) {
    // A record of its own, so that no text of ffmpeg's or of a path can pose as a note.
    const std::string record = Contract::NoteRecord(text);
    std::fwrite(record.data(), 1, record.size(), console);
    std::fflush(console);
}

void ProgressPrinter::Error(const std::string& text) {
    std::fprintf(console, "\n%s\n", text.c_str());
    std::fflush(console);
}

std::string ProgressPrinter::TimeText(double seconds) {
    const long long millis = std::llround(std::max(0.0, seconds) * 1000);
    char text[32];
    std::snprintf(text, sizeof(text), "%02lld:%02lld:%02lld.%03lld", millis / 3600000, (millis / 60000) % 60,
                  (millis / 1000) % 60, millis % 1000);
    return text;
}

} // namespace Cut
