#pragma once

#include <string>

namespace Cut {

// What goes wrong during a cut; the message is the one line the run shows.
struct CutError {
    std::string message;
};

} // namespace Cut
