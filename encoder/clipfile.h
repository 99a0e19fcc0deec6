#pragma once

#include <string>

// The clip's name before anything writes to it: whatever is planted there that is not a regular file (a
// symbolic link, a FIFO, a device) is removed, so that the clip replaces it and nothing is written through
// it or blocks on it.
namespace EncoderFrontEnd {

// Empty when the name is free or holds a regular file; otherwise why the clip cannot be written there.
std::string ClearClipName(const std::string& path);

} // namespace EncoderFrontEnd
