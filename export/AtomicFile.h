// Writing a file so that it is either complete or not there: the bytes go
// to a temporary file in the target's folder, which is renamed over the
// target only once written and closed without error (an existing file at
// the target stays as it was otherwise).
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace kv {

enum class AtomicWrite {
    Done,
    CannotCreate,  // no temporary file, or a write or close that failed
    EncodeFailed,  // `write` returned false
};

AtomicWrite writeAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write);

}  // namespace kv
