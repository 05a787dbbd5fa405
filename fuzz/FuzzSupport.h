// Shared by the fuzz targets: the input as text, and a check that turns a
// broken promise into a crash the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kv::fuzz {

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Aborts with a message; libFuzzer keeps the input that got here.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void check(bool ok, const char* what) {
    if (!ok) broken(what);
}

}  // namespace kv::fuzz
