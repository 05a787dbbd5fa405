#include "doc/Document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "doc/Codepage.h"
#include "doc/InputFile.h"
#include "doc/Messages.h"
#include "doc/TemporaryFile.h"

namespace kv {
namespace {

constexpr std::size_t kLengthFieldSize = 5;

template <typename... Args>
std::string formatMessage(const char* fmt, Args... args) {
    int size = std::snprintf(nullptr, 0, fmt, args...);
    if (size <= 0) return fmt;
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), fmt, args...);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

std::string systemReason(int err) {
    return std::generic_category().message(err);
}

std::string_view cutAtZero(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A length field is read as documents have always been read: a decimal
// floating-point number after optional white space, anything after the number
// ignored, the value truncated toward zero. Empty when there is no number.
std::optional<double> parseLengthField(std::string_view field) {
    field = cutAtZero(field);
    std::size_t i = 0;
    while (i < field.size() && isAsciiSpace(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    // from_chars takes its own minus sign; a second sign is no number.
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) return std::nullopt;
    double value = 0.0;
    auto [end, ec] = std::from_chars(field.data() + i, field.data() + field.size(), value,
                                     std::chars_format::general);
    (void)end;
    if (ec == std::errc::invalid_argument) return std::nullopt;
    if (ec == std::errc::result_out_of_range) value = HUGE_VAL;
    return std::trunc(negative ? -value : value);
}

// Appends one stored line, decoded; reports undefined bytes as damage. False
// when the system cannot decode code page 1250 at all.
bool appendStoredLine(DocumentReadResult& doc, std::string_view raw, int record) {
    ConvertResult text = cp1250ToUtf8(raw);
    if (text.status != ConvertStatus::Ok) return false;
    if (text.replaced > 0) {
        doc.damage.push_back(formatMessage(docmsg::kRecordBadChar, record));
    }
    // A line break inside a record splits it into console lines, as the
    // console shows such text: CR LF, a lone CR and a lone LF each end a line.
    std::string_view rest = text.text;
    for (;;) {
        const std::size_t end = rest.find_first_of("\r\n");
        doc.lines.emplace_back(rest.substr(0, end));
        if (end == std::string_view::npos) break;
        const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
        rest.remove_prefix(end + (crlf ? 2 : 1));
    }
    return true;
}

// The character at `offset` as the user should see it in a message: itself,
// or its byte value when it is not well-formed UTF-8.
std::string shownCharacter(std::string_view s, std::size_t offset) {
    std::size_t len = utf8SequenceLength(s, offset);
    if (len > 0) return std::string(s.substr(offset, len));
    unsigned byte = offset < s.size() ? static_cast<unsigned char>(s[offset]) : 0;
    return formatMessage("\\x%02X", byte);
}

// Closes a descriptor on scope exit unless released.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the result (a delayed write error can show here).
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// Where the data must land: the file itself, or the file a symbolic link at
// `path` points to, so that saving through a link keeps the link.
std::string resolveSaveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
        if (real) return real.get();
    }
    return path;
}

DocumentSaveResult saveFailure(std::string detail) {
    DocumentSaveResult r;
    r.error = docmsg::kCannotSave;
    r.detail = std::move(detail);
    return r;
}

DocumentSaveResult writeFileAtomically(const std::string& path, std::string_view data) {
    if (path.empty() || path.back() == '/') return saveFailure(systemReason(EISDIR));
    std::string target = resolveSaveTarget(path);
    // Only a regular file is replaced. The rename would put a file in place of
    // a device or a pipe (for root even of one in /dev), and a folder is
    // refused before any temporary file is made.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return saveFailure(systemReason(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL));
    }
    std::string tempPath;
    FileDescriptor fd(createTemporaryNextTo(target, tempPath));
    if (fd.get() < 0) return saveFailure(systemReason(errno));

    auto failAndRemove = [&](int err) {
        ::unlink(tempPath.c_str());
        forgetTemporary(tempPath);
        return saveFailure(systemReason(err));
    };
    // An existing document keeps its permissions.
    if (exists) ::fchmod(fd.get(), existing.st_mode & 07777);
    for (std::size_t done = 0; done < data.size();) {
        ssize_t n = ::write(fd.get(), data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failAndRemove(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0) return failAndRemove(errno);
    if (!fd.close()) return failAndRemove(errno);
    if (::rename(tempPath.c_str(), target.c_str()) != 0) return failAndRemove(errno);
    forgetTemporary(tempPath);

    // Make the rename itself durable. The new file is already in place, so a
    // failure here is not reported.
    std::size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "." : target.substr(0, slash);
    if (dir.empty()) dir = "/";
    FileDescriptor dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0) ::fsync(dirFd.get());

    DocumentSaveResult ok;
    ok.ok = true;
    return ok;
}

}  // namespace

bool hasDocumentMagic(std::string_view bytes) {
    return bytes.starts_with(kDocumentMagic);
}

DocumentReadResult readDocument(std::string_view bytes) {
    DocumentReadResult doc;
    // The header is compared as a zero-terminated string: all 24 characters and
    // the zero byte after them must be there.
    if (!hasDocumentMagic(bytes)) {
        doc.error = docmsg::kBadFormat;
        return doc;
    }
    doc.ok = true;
    auto failNoCodepage = [&doc] {
        doc = DocumentReadResult{};
        doc.error = docmsg::kNoCodepage;
        return doc;
    };

    std::string_view rest = bytes.substr(kDocumentMagic.size());
    for (int record = 1; !rest.empty(); ++record) {
        if (rest.size() < kLengthFieldSize) {
            doc.damage.push_back(formatMessage(docmsg::kRecordIncomplete, record));
            break;
        }
        std::optional<double> length = parseLengthField(rest.substr(0, kLengthFieldSize));
        rest.remove_prefix(kLengthFieldSize);
        // Only lengths the writer can produce are trusted; anything else means
        // the record boundaries are lost, so reading stops here.
        // A record of length 0 has no body: the next record follows at once.
        if (length && *length == 0) {
            doc.damage.push_back(formatMessage(docmsg::kRecordEmpty, record));
            continue;
        }
        if (!length || !(*length >= 1 && *length <= kMaxRecordLength)) {
            doc.damage.push_back(formatMessage(docmsg::kRecordBadLength, record));
            break;
        }
        std::size_t n = static_cast<std::size_t>(*length);
        if (n > rest.size()) {
            // Cut short by the end of the file: keep what is there.
            std::string_view partial = cutAtZero(rest);
            if (!partial.empty() && !appendStoredLine(doc, partial, record)) {
                return failNoCodepage();
            }
            doc.damage.push_back(formatMessage(docmsg::kRecordIncomplete, record));
            break;
        }
        std::string_view body = rest.substr(0, n);
        rest.remove_prefix(n);
        // The body's last byte is its terminator; without one the length field
        // does not match the data, and the last byte is not part of the line.
        if (body.back() != '\0') {
            doc.damage.push_back(formatMessage(docmsg::kRecordUnterminated, record));
        }
        if (!appendStoredLine(doc, cutAtZero(body.substr(0, n - 1)), record)) {
            return failNoCodepage();
        }
    }
    return doc;
}

std::optional<std::string> storedCommandLine(std::string_view consoleLine) {
    std::string_view line = cutAtZero(consoleLine);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return std::nullopt;
    line.remove_prefix(start);
    if (!line.starts_with(">>")) return std::nullopt;
    return std::string(line);
}

DocumentWriteResult writeDocument(const std::vector<std::string>& consoleLines) {
    DocumentWriteResult result;
    std::string out(kDocumentMagic);
    for (std::size_t i = 0; i < consoleLines.size(); ++i) {
        std::optional<std::string> line = storedCommandLine(consoleLines[i]);
        if (!line) continue;
        const int lineNumber = static_cast<int>(i + 1);
        ConvertResult encoded = utf8ToCp1250(*line);
        if (encoded.status == ConvertStatus::Unavailable) {
            result.error = docmsg::kNoCodepage;
            return result;
        }
        if (encoded.status == ConvertStatus::Unconvertible) {
            result.error = formatMessage(docmsg::kLineBadChar, lineNumber,
                                         shownCharacter(*line, encoded.badOffset).c_str());
            return result;
        }
        // Long lines are kept whole as far as the four-character field reaches.
        if (encoded.text.size() + 1 > static_cast<std::size_t>(kMaxRecordLength)) {
            result.error = formatMessage(docmsg::kLineTooLong, lineNumber);
            return result;
        }
        char field[16];
        std::snprintf(field, sizeof field, "%4d", static_cast<int>(encoded.text.size() + 1));
        out.append(field, 4);
        out.push_back('\0');
        out += encoded.text;
        out.push_back('\0');
    }
    result.ok = true;
    result.bytes = std::move(out);
    return result;
}

DocumentReadResult loadDocumentFile(const std::string& path) {
    InputFileResult file = readInputFile(path);
    if (!file.ok) {
        DocumentReadResult doc;
        doc.error = docmsg::kCannotOpen;
        doc.detail = std::move(file.reason);
        return doc;
    }
    return readDocument(file.bytes);
}

DocumentSaveResult saveDocumentFile(const std::string& path,
                                    const std::vector<std::string>& consoleLines) {
    DocumentWriteResult doc = writeDocument(consoleLines);
    if (!doc.ok) return saveFailure(doc.error);
    return writeFileAtomically(path, doc.bytes);
}

std::string withDocumentExtension(std::string path) {
    if (!path.ends_with(".kvl")) path += ".kvl";
    return path;
}

BatchInput readBatchInput(std::string_view bytes) {
    BatchInput input;
    // Anything that starts like a document is one, possibly with a wrong header.
    if (hasDocumentMagic(bytes) || bytes.starts_with("#KORVALINTH")) {
        DocumentReadResult doc = readDocument(bytes);
        input.ok = doc.ok;
        input.isDocument = true;
        input.error = std::move(doc.error);
        input.lines = std::move(doc.lines);
        input.damage = std::move(doc.damage);
        return input;
    }
    if (bytes.find('\0') != std::string_view::npos || !isValidUtf8(bytes)) {
        input.error = docmsg::kNotDocumentOrText;
        return input;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    input.ok = true;
    while (!bytes.empty()) {
        std::size_t newline = bytes.find('\n');
        std::string_view line = bytes.substr(0, newline);
        bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) continue;
        line.remove_prefix(start);
        if (!line.starts_with(">>")) {
            input.lines.push_back(">> " + std::string(line));
        } else if (line.find_first_not_of(" \t", 2) != std::string_view::npos) {
            input.lines.emplace_back(line);
        }
    }
    return input;
}

BatchInput loadBatchInputFile(const std::string& path) {
    InputFileResult file = readInputFile(path);
    if (!file.ok) {
        BatchInput input;
        input.error = docmsg::kCannotOpen;
        input.detail = std::move(file.reason);
        return input;
    }
    // An empty file named as a document is a document without its header.
    if (file.bytes.empty() && path.ends_with(".kvl")) {
        BatchInput input;
        input.isDocument = true;
        input.error = docmsg::kBadFormat;
        return input;
    }
    return readBatchInput(file.bytes);
}

}  // namespace kv
