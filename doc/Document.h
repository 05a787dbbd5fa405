// The .kvl document: the command lines of the console, kept as a header
// followed by length-prefixed records in code page 1250.
//
//   "#KORVALINTH15FILEFORMAT#" and a zero byte          (25 bytes)
//   per line: printf("%4d", N) and a zero byte          (5 bytes)
//             the line's bytes and a zero byte          (N bytes)
//
// There is no count, trailer or checksum: records run to the end of the file.
// Inside the program every line is UTF-8; conversion happens here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The header, zero byte included.
inline constexpr std::string_view kDocumentMagic{"#KORVALINTH15FILEFORMAT#\0", 25};
// The largest record body (line plus its zero byte) that the four-character
// length field can describe.
inline constexpr int kMaxRecordLength = 9999;

struct DocumentReadResult {
    bool ok = false;                  // false: nothing was read, `error` says why
    std::string error;                // Czech message for the user
    std::string detail;               // why a file could not be read, or empty
    std::vector<std::string> lines;   // the stored lines, UTF-8, normally ">> command"
    std::vector<std::string> damage;  // Czech reports of damage; lines before it are kept
};

struct DocumentWriteResult {
    bool ok = false;
    std::string bytes;  // the whole file when ok, empty otherwise
    std::string error;  // Czech message naming the refused line
};

struct DocumentSaveResult {
    bool ok = false;
    std::string error;   // kCannotSave on failure
    std::string detail;  // the refused line or the system's reason
};

// True when `bytes` begin with the header.
bool hasDocumentMagic(std::string_view bytes);

// Parses a whole document. A wrong header fails with "Neplatný formát
// souboru!". A damaged body never fails: the records before the damage are
// returned, and so is the readable part of a record cut short by the end of the
// file, with the damage reported. A record of length 0 is reported and
// skipped. A record holding line breaks gives one line per piece, as the
// console shows it.
DocumentReadResult readDocument(std::string_view bytes);

// The form in which a console line is stored: trailing CR/LF and leading
// blanks and tabs removed, text after a zero byte dropped. Lines that do not
// then begin with ">>" (results, errors, empty lines) are not stored.
std::optional<std::string> storedCommandLine(std::string_view consoleLine);

// Serialises the command lines among `consoleLines`. Refuses, producing
// nothing, a line that code page 1250 cannot hold or that is too long for the
// length field; the message names the line by its 1-based console number.
DocumentWriteResult writeDocument(const std::vector<std::string>& consoleLines);

// Reads a document file (see readInputFile); "Soubor nelze otevřít!" with the
// reason in `detail` when it cannot be read.
DocumentReadResult loadDocumentFile(const std::string& path);

// Writes a document file atomically: a temporary file in the same folder is
// written, flushed to disk and renamed over `path`, so an existing file stays
// whole if anything fails. A symbolic link at `path` is followed.
DocumentSaveResult saveDocumentFile(const std::string& path,
                                    const std::vector<std::string>& consoleLines);

// Appends ".kvl" unless the name already ends in it (compared case-sensitively,
// so "A.KVL" becomes "A.KVL.kvl").
std::string withDocumentExtension(std::string path);

// ---- input of the batch runner ----

struct BatchInput {
    bool ok = false;
    bool isDocument = false;
    std::string error;                // Czech message when !ok
    std::string detail;               // why a file could not be read, or empty
    std::vector<std::string> lines;   // command lines in stored form (">> command")
    std::vector<std::string> damage;  // damage reports of a document
};

// Decides what `bytes` are. Starting with the header: a document, read as
// readDocument does; starting with "#KORVALINTH" otherwise: a document with a
// wrong header. Else well-formed UTF-8 without zero bytes is text with one
// command per line (LF or CRLF, an optional leading UTF-8 byte order mark):
// blank lines are skipped, a line that lacks the ">>" prompt gets ">> " in
// front. Anything else is "Soubor není dokument ani text!".
BatchInput readBatchInput(std::string_view bytes);

// The same for a file; "Soubor nelze otevřít!" with the reason in `detail`
// when it cannot be read. An empty file named "*.kvl" is "Neplatný formát
// souboru!".
BatchInput loadBatchInputFile(const std::string& path);

}  // namespace kv
