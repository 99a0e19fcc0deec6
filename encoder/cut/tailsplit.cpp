#include "tailsplit.h"

#include <algorithm>
#include <limits>

namespace Cut {

TailSplit SplitTail(const std::vector<std::int64_t>& frames, std::int64_t clipEnd) {
    TailSplit split{0, clipEnd};
    std::int64_t maxBefore = std::numeric_limits<std::int64_t>::min();
    std::vector<std::int64_t> minAfter(frames.size() + 1, clipEnd);
    for (std::size_t i = frames.size(); i-- > 0;)
        minAfter[i] = std::min(minAfter[i + 1], frames[i]);
    for (std::size_t j = 0; j <= frames.size(); ++j) {
        if (j > 0)
            maxBefore = std::max(maxBefore, frames[j - 1]);
        if (j == 0 || maxBefore < minAfter[j])
            split = {j, minAfter[j]};
    }
    return split;
}

} // namespace Cut
