#include "doc/TemporaryFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace kv {

int createTemporaryNextTo(const std::string& target, std::string& tempPath) {
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        tempPath = dir + "." + base + "." + suffix + ".tmp";
        // Mode 0666 lets the umask decide, as for any newly created file.
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace kv
