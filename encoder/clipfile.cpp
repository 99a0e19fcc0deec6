#include "clipfile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace EncoderFrontEnd {

std::string ClearClipName(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0)
        return errno == ENOENT ? std::string() : path + ": " + std::strerror(errno);
    if (S_ISREG(status.st_mode))
        return std::string();
    if (S_ISDIR(status.st_mode))
        return path + ": a folder has the clip's name";
    if (unlink(path.c_str()) != 0)
        return path + ": " + std::strerror(errno);
    return std::string();
}

} // namespace EncoderFrontEnd
