// Texts of the picture export, as the program shows them.
#pragma once

namespace kv::exportmsg {

// Caption of the message that shows a fatal error of the JPEG library.
inline constexpr const char* kJpegFatalCaption = "JPEG Fatal Error";
// The file could not be created (kept for the log, not shown).
inline constexpr const char* kJpegCannotOpen = "JpegFile :\nCan't open %s\n";

// The batch runner's --snapshot option.
inline constexpr const char* kSnapshotFailed = "Snímek se nepodařilo uložit";
inline constexpr const char* kNoHeadlessContext = "Nelze vytvořit grafický kontext";
inline constexpr const char* kInvalidSize = "Neplatná velikost snímku: ";
inline constexpr const char* kSizeWithoutSnapshot = "Volba --size vyžaduje --snapshot.";
inline constexpr const char* kMissingSnapshotFile = "Chybí soubor pro --snapshot.";

}  // namespace kv::exportmsg
