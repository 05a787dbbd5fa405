#include "doc/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <istream>
#include <system_error>

#include "doc/Messages.h"

namespace kv {
namespace {

InputFileResult refused(std::string reason) {
    InputFileResult r;
    r.reason = std::move(reason);
    return r;
}

std::string reasonOf(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return docmsg::kReasonMissing;
        case EACCES:
        case EPERM:
            return docmsg::kReasonDenied;
        case EISDIR:
            return docmsg::kReasonFolder;
        default:
            return std::generic_category().message(err);
    }
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

InputFileResult readInputFile(const std::string& path, std::size_t limit) {
    // Non-blocking so that a pipe nobody writes to cannot hold the open; the
    // flag is cleared again before reading.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return refused(reasonOf(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return refused(reasonOf(errno));
    if (S_ISDIR(st.st_mode)) return refused(docmsg::kReasonFolder);
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return refused(docmsg::kReasonDevice);
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) return refused(docmsg::kReasonDevice);
    if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > limit)
        return refused(docmsg::kReasonTooLarge);
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return refused(reasonOf(errno));

    InputFileResult r;
    if (S_ISREG(st.st_mode)) r.bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return refused(reasonOf(errno));
        }
        if (n == 0) break;
        if (static_cast<std::size_t>(n) > limit - r.bytes.size())
            return refused(docmsg::kReasonTooLarge);
        r.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    r.ok = true;
    return r;
}

InputFileResult readInputStream(std::istream& in, std::size_t limit) {
    InputFileResult r;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        const auto n = static_cast<std::size_t>(in.gcount());
        if (n > limit - r.bytes.size()) return refused(docmsg::kReasonTooLarge);
        r.bytes.append(buffer, n);
    }
    if (in.bad()) return refused(docmsg::kReasonUnreadable);
    r.ok = true;
    return r;
}

}  // namespace kv
