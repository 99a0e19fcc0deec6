#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Cut {

// Where the last GOP of an exact clip stops being copied: the packets before copied (in file order)
// hold exactly the frames shown before encodeFrom, and frames from there to the clip's end are
// re-encoded, since frames in front of the end may refer to frames after it. encodeFrom is the clip's
// end where nothing needs re-encoding.
struct TailSplit {
    std::size_t copied = 0;
    std::int64_t encodeFrom = 0;
};
TailSplit SplitTail(const std::vector<std::int64_t>& framesInFileOrder, std::int64_t clipEnd);

} // namespace Cut
