#include "export/AtomicFile.h"

#include <unistd.h>

#include "doc/TemporaryFile.h"

namespace kv {

AtomicWrite writeAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    std::string tmp;
    const int fd = createTemporaryNextTo(path, tmp);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!file) {
        if (fd >= 0) {
            ::close(fd);
            std::remove(tmp.c_str());
            forgetTemporary(tmp);
        }
        return AtomicWrite::CannotCreate;
    }
    const bool encoded = write(file);
    // A write error the encoder did not see shows up when the file is closed.
    const bool written = std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    if (encoded && written && closed && std::rename(tmp.c_str(), path.c_str()) == 0) {
        forgetTemporary(tmp);
        return AtomicWrite::Done;
    }
    std::remove(tmp.c_str());
    forgetTemporary(tmp);
    return encoded ? AtomicWrite::CannotCreate : AtomicWrite::EncodeFailed;
}

}  // namespace kv
