#pragma once

#include <optional>
#include <string>

// The options a profile may add to the one output of every clip, shared by the profile reader, which
// refuses a profile that passes any other, and the encoder front-end, which refuses any other on its own.
// They come from a short list of families that never name a file: codecs, bit rate and quality, size,
// frame rate and aspect, channels and sample rate, preset, tune, profile and level, pixel format, the
// source's stream maps and -vn/-an/-sn/-dn, -movflags and -bitexact, a few harmless filters, and
// -cut_points. Each value is one word, except a chain of filters.
namespace Contract {

// Why a profile may not pass this option with this value, or an empty text when it may.
std::string OptionRefusal(const std::string& option, const std::optional<std::string>& value);

// Whether the option is one that takes a value, as the list has it (false for one not on the list).
bool OptionTakesValue(const std::string& option);

} // namespace Contract
