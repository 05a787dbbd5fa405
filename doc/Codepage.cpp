#include "doc/Codepage.h"

#include <iconv.h>

#include <cerrno>

namespace kv {
namespace {

// One iconv conversion descriptor, closed on scope exit.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Runs `cd` over `in`. With `replaceInvalid`, an input byte the converter
// rejects is written as U+FFFD and skipped; otherwise conversion stops there.
ConvertResult convert(const Converter& cd, std::string_view in, std::size_t outPerIn,
                      bool replaceInvalid) {
    ConvertResult r;
    if (!cd.valid()) {
        r.status = ConvertStatus::Unavailable;
        return r;
    }
    std::string& out = r.text;
    out.resize(in.size() * outPerIn + 8);
    // iconv's prototype takes a non-const input pointer but never writes through it.
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    std::size_t used = 0;
    // Code page 1250 keeps no shift state, so no final flush call is needed.
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        std::size_t rc = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1)) continue;
        int err = errno;
        if (err == E2BIG) {
            out.resize(out.size() * 2 + 16);
            continue;
        }
        // EILSEQ (a byte or character the other side lacks) or EINVAL (an
        // incomplete sequence at the end of the input).
        std::size_t offset = static_cast<std::size_t>(inPtr - in.data());
        if (!replaceInvalid) {
            r.status = ConvertStatus::Unconvertible;
            r.badOffset = offset;
            r.badLength = utf8SequenceLength(in, offset);
            if (r.badLength == 0) r.badLength = 1;
            out.resize(used);
            return r;
        }
        if (out.size() - used < kReplacementChar.size()) out.resize(out.size() * 2 + 16);
        out.replace(used, kReplacementChar.size(), kReplacementChar);
        used += kReplacementChar.size();
        ++inPtr;
        --inLeft;
        ++r.replaced;
    }
    out.resize(used);
    return r;
}

}  // namespace

ConvertResult cp1250ToUtf8(std::string_view cp1250) {
    Converter cd("UTF-8", "CP1250");
    // Every code page 1250 character lies in the Basic Multilingual Plane:
    // at most three UTF-8 bytes each.
    return convert(cd, cp1250, 3, true);
}

ConvertResult utf8ToCp1250(std::string_view utf8) {
    Converter cd("CP1250", "UTF-8");
    return convert(cd, utf8, 1, false);
}

std::size_t utf8SequenceLength(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return 0;
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;  // overlong
        if (b0 == 0xED) hi = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;  // overlong
        if (b0 == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() - pos < len) return 0;
    if (byte(pos + 1) < lo || byte(pos + 1) > hi) return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
    }
    return len;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t pos = 0; pos < s.size();) {
        std::size_t len = utf8SequenceLength(s, pos);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

}  // namespace kv
