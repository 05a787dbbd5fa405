// The Czech texts of the desktop program's windows, letter for letter.
#pragma once

namespace kv::uimsg {

inline constexpr const char* kProgramName = "Korvalinth";
inline constexpr const char* kConsoleTab = "Příkazy";
inline constexpr const char* kSceneTab = "Grafika";
inline constexpr const char* kStatusInitial = "Test";

inline constexpr const char* kAskSave = "Chcete uložit aktuální soubor?";
inline constexpr const char* kSaveTitle = "Uložit...";
inline constexpr const char* kOpenTitle = "Otevřít...";
inline constexpr const char* kFileFilter = "Soubory Korvalinthu (*.kvl)";
inline constexpr const char* kDamagedDocument = "Dokument je poškozen. Načteno bylo, co šlo přečíst:";

inline constexpr const char* kSettingsTitle = "Nastavení";
inline constexpr const char* kDigitsLabel = "Počet platných cifer:";
inline constexpr const char* kQuerySaveCheck = "Tázat se na uložení souboru";
inline constexpr const char* kFormatOutputCheck = "Formátovaný výstup";
inline constexpr const char* kShowToolbarCheck = "Zobrazit ToolBar v grafickém okně";

inline constexpr const char* kNoGlContext = "Nepodařilo se zvolit PixelFormat!";
inline constexpr const char* kSnapshotTitle = "Exportovat Statický Snímek...";
inline constexpr const char* kSnapshotFilter = "JPEG Soubory (*.jpg)";
inline constexpr const char* kSnapshotFailed = "Snímek se nepodařilo uložit!";

inline constexpr const char* kInternalError = "Interní chyba programu!";

inline constexpr const char* kNoBrowserForHelp =
    "Aplikace Internet Explorer není dostupná.\nNápovědu naleznete v souboru 'help\\help.htm'";
inline constexpr const char* kAboutTitle = "O Programu Korvalinth";
// The version and the build date (dd/mm/yyyy) go into %1 and %2.
inline constexpr const char* kAboutVersion = "Verze %1 [ Sestaveno %2 ]";

}  // namespace kv::uimsg
