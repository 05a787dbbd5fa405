// Texts of the picture export, as the program shows them.
#pragma once

namespace kv::exportmsg {

// Caption of the message that shows a fatal error of the JPEG library.
inline constexpr const char* kJpegFatalCaption = "JPEG Fatal Error";
// The file could not be created (kept for the log, not shown).
inline constexpr const char* kJpegCannotOpen = "JpegFile :\nCan't open %s\n";

// A PNG picture that could not be written.
inline constexpr const char* kPictureCannotCreate = "Obrázek nelze uložit: ";

// The batch runner's --snapshot option.
inline constexpr const char* kSnapshotFailed = "Snímek se nepodařilo uložit";
inline constexpr const char* kNoHeadlessContext = "Nelze vytvořit grafický kontext";
inline constexpr const char* kInvalidSize = "Neplatná velikost snímku: ";
inline constexpr const char* kSizeWithoutSnapshot = "Volba --size vyžaduje --snapshot nebo --avi.";
inline constexpr const char* kMissingSnapshotFile = "Chybí soubor pro --snapshot.";

// The animation export. The English texts are the messages users of the
// program's video export have always seen.
inline constexpr const char* kAviCannotCreate =
    "AVI Engine failed to initialize. Check filename %s.";
inline constexpr const char* kAviStreamFailed = "AVI Stream creation failed. Check Bitmap info.";
inline constexpr const char* kAviCompressedStreamFailed = "AVI Compressed Stream creation failed.";
inline constexpr const char* kAviNoCompressor = " A suitable compressor cannot be found.";
inline constexpr const char* kAviMemory = " There is not enough memory to complete the operation.";
inline constexpr const char* kAviWriteFailed = "Unable to write data to stream.";
inline constexpr const char* kAviFinishFailed = "Soubor AVI se nepodařilo dokončit.";
inline constexpr const char* kAviTooSmall = "Obraz je pro video příliš malý (nejméně 4 × 4 body).";
inline constexpr const char* kAviDone = "Animace vygenerována!";
inline constexpr const char* kAviFailed = "Animaci se nepodařilo uložit";
inline constexpr const char* kAviFrameCount = "Počet snímků musí být celé číslo od 1 do %d!";
inline constexpr const char* kAviRate = "FPS musí být celé číslo od 1 do %d!";
inline constexpr const char* kAviUnknownCodec = "Neznámý nebo nepoužitelný kodek: ";
inline constexpr const char* kAviOptionWithoutAvi =
    "Volby --frames, --fps a --codec vyžadují --avi.";
inline constexpr const char* kMissingAviFile = "Chybí soubor pro --avi.";

// The same failures of an MP4, WebM or GIF video.
inline constexpr const char* kVideoCannotCreate = "Video %s se nepodařilo vytvořit.";
inline constexpr const char* kVideoStreamFailed = "Proud videa se nepodařilo vytvořit.";
inline constexpr const char* kVideoNoEncoder =
    "Zvolený kodek nelze pro tento formát videa použít nebo na tomto počítači nefunguje.";
inline constexpr const char* kVideoMemory = "Na video není dost paměti.";
inline constexpr const char* kVideoWriteFailed = "Snímek videa se nepodařilo zapsat.";
inline constexpr const char* kVideoFinishFailed = "Soubor videa se nepodařilo dokončit.";

// The batch runner's view options.
inline constexpr const char* kViewMissingValue = "Chybí hodnota pro ";
inline constexpr const char* kInvalidRenderMode = "Neplatný režim zobrazení (0 až 3): ";
inline constexpr const char* kInvalidAngles = "Neplatné úhly (očekáváno X,Y,Z ve stupních): ";
inline constexpr const char* kViewWithoutPicture = "Volby pohledu vyžadují --snapshot nebo --avi.";

}  // namespace kv::exportmsg
