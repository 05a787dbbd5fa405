#include "doc/TemporaryFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>

namespace kv {
namespace {

// The registry is read by a signal handler, so it is a fixed table of
// fixed buffers whose slots change state atomically: free, being written,
// holding a path. A path that does not fit, or a full table, is simply not
// registered (the file is still removed on every ordinary path).
constexpr int kSlots = 16;
constexpr std::size_t kPathCapacity = 4096;
enum SlotState : int { kFree = 0, kWriting = 1, kHeld = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathCapacity];
};
Slot slots[kSlots];

extern "C" void removeTemporariesAndDie(int sig) {
    const int saved = errno;
    for (Slot& slot : slots)
        if (slot.state.load() == kHeld) ::unlink(slot.path);
    errno = saved;
    // The handler was installed with SA_RESETHAND: the signal raised again
    // after it returns ends the process the default way.
    ::raise(sig);
}

// Installed for a signal only while it still has its default action: an
// ignored SIGHUP (nohup) stays ignored and another handler stays in charge.
void installHandlers() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL ||
            (old.sa_flags & SA_SIGINFO))
            continue;
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(sig, &action, nullptr);
    }
}

void remember(const std::string& path) {
    if (path.size() >= kPathCapacity) return;
    static std::once_flag installed;
    std::call_once(installed, installHandlers);
    for (Slot& slot : slots) {
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kWriting)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(kHeld);
        return;
    }
}

}  // namespace

int createTemporaryNextTo(const std::string& target, std::string& tempPath) {
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
        tempPath = dir + "." + base + "." + suffix + ".tmp";
        // Registered before it is created: a signal between the creation
        // and a later registration would leave the file behind, and another
        // thread may take the signal whatever this one blocks. If the name
        // is taken already (by a hidden temporary file some earlier run left,
        // the only kind with such a name) a signal in this moment removes
        // that one, which is harmless; the slot is freed when creation fails.
        remember(tempPath);
        // Mode 0666 lets the umask decide, as for any newly created file.
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        const int error = errno;
        forgetTemporary(tempPath);
        errno = error;
        if (error != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void forgetTemporary(const std::string& tempPath) {
    for (Slot& slot : slots) {
        if (slot.state.load() != kHeld || tempPath != slot.path) continue;
        int expected = kHeld;
        slot.state.compare_exchange_strong(expected, kFree);
        return;
    }
}

}  // namespace kv
