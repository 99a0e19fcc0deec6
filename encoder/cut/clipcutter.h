#pragma once

#include "cuterror.h"
#include "cutrequest.h"
#include "progressprinter.h"

#include <memory>
#include <string>
#include <vector>

namespace Cut {

class JoinCheck;
class SourceReader;

// The source of the clip before, kept open: clips of one source then share the reading of its index.
class SourceCache {
public:
    SourceCache();
    ~SourceCache();
    SourceReader& Open(const std::string& path);
    // The check of joins for the source opened last.
    JoinCheck& Check();
    // Forgets the source, so that the next clip opens it afresh.
    void Close();

private:
    std::unique_ptr<SourceReader> reader;
    std::unique_ptr<JoinCheck> check;
    std::string openPath;
};

// Which of the source's streams, by index, a clip of request copies: the source's video, which the cuts
// fall on, and the sound and subtitles asked for, each only where the clip's container can hold its codec.
// The cut writes exactly these, and a clip of at most a size counts exactly these.
std::vector<bool> CopiedStreams(const CutRequest& request, const SourceReader& reader);

// Writes one clip of a stream copy. In exact mode the clip holds exactly the frames shown from its start
// up to its end: the frames before the first keyframe of the clip are re-encoded with the source's codec,
// and so are the last few where frames in front of the end refer to frames after it; everything else is
// copied. In keyframe mode nothing is re-encoded and both ends move to the nearest keyframe, so that
// clips cut from the same times still tile. Audio is copied from the audio frame nearest the start to the
// one nearest the end. Throws CutError.
void CutClip(const CutRequest& request, ProgressPrinter& printer, SourceCache& sources);

} // namespace Cut
