#pragma once

namespace Cut::DecoderErrors {

// Counts the errors that FFmpeg's decoders report, from any of their threads, and still lets them reach
// the console as before. Installed once, before the first cut.
void Install();
long Count();

// While a Hush lives, decoders' errors are counted but not printed: a join that does not decode is
// expected while it is checked, and it is redone.
class Hush {
public:
    Hush();
    ~Hush();
    Hush(const Hush&) = delete;
    Hush& operator=(const Hush&) = delete;
};

} // namespace Cut::DecoderErrors
