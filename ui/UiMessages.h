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
// %1: when the recovery file was last written.
inline constexpr const char* kAskRecover =
    "Program nebyl minule řádně ukončen. Chcete obnovit neuložené příkazy (uložené %1)?";
inline constexpr const char* kRecoveryUnreadable = "Neuložené příkazy se nepodařilo obnovit.";
// %1: the reason.
inline constexpr const char* kAutosaveFailed = "Automatické uložení se nezdařilo: %1";
inline constexpr const char* kDamagedDocument =
    "Dokument je poškozen. Načteno bylo, co šlo přečíst:";

inline constexpr const char* kSettingsTitle = "Nastavení";
inline constexpr const char* kDigitsLabel = "Počet platných cifer:";
inline constexpr const char* kQuerySaveCheck = "Tázat se na uložení souboru";
inline constexpr const char* kFormatOutputCheck = "Formátovaný výstup";
inline constexpr const char* kShowToolbarCheck = "Zobrazit ToolBar v grafickém okně";

inline constexpr const char* kNoGlContext = "Nepodařilo se zvolit PixelFormat!";
inline constexpr const char* kSnapshotTitle = "Exportovat Statický Snímek...";
inline constexpr const char* kSnapshotPngFilter = "PNG Soubory (*.png)";
inline constexpr const char* kSnapshotFilter = "JPEG Soubory (*.jpg)";
inline constexpr const char* kSnapshotSizeTitle = "Velikost Snímku";
inline constexpr const char* kSnapshotSizeLabel = "Velikost:";
// %1 x %2: the size in pixels.
inline constexpr const char* kSnapshotSizePane = "Jako okno (%1 × %2 bodů)";
// %1 the factor, %2 x %3 the size.
inline constexpr const char* kSnapshotSizeTimes = "%1× pro tisk (%2 × %3 bodů)";
inline constexpr const char* kSnapshotFailed = "Snímek se nepodařilo uložit!";
inline constexpr const char* kSnapshotTooLarge = "Snímek této velikosti nelze vykreslit.";

inline constexpr const char* kAnimationTitle = "Exportovat Animaci...";
inline constexpr const char* kAnimationFilter = "Soubory AVI (*.avi)";
inline constexpr const char* kAnimationMp4Filter = "Video MP4 (*.mp4)";
inline constexpr const char* kAnimationWebmFilter = "Video WebM (*.webm)";
inline constexpr const char* kAnimationGifFilter = "Animovaný GIF (*.gif)";
inline constexpr const char* kAnimSetTitle = "Nastavení Animace";
inline constexpr const char* kCompressorTitle = "Komprese Videa";
inline constexpr const char* kCompressorLabel = "Kompresor:";
inline constexpr const char* kUncompressed = "rawvideo – nekomprimované snímky";
// %1 the container's extension, e.g. ".mp4".
inline constexpr const char* kNoEncoder =
    "Na tomto počítači není k dispozici žádný kodek videa pro soubory %1.";

inline constexpr const char* kInternalError = "Interní chyba programu!";
// %1 the characters shown, %2 the whole result's length.
inline constexpr const char* kOutputCut = " … (zobrazeno prvních %1 z %2 znaků výsledku)";

// The console's comforts: the history search, the result menu.
inline constexpr const char* kHistorySearchTitle = "Hledat v historii";
inline constexpr const char* kHistorySearchLabel = "Hledaný text:";
inline constexpr const char* kCopyAsText = "Kopírovat jako text";
inline constexpr const char* kCopyAsLatex = "Kopírovat jako LaTeX";

// No browser could show the manual; %1 is where it lives (or should live).
inline constexpr const char* kNoBrowserForHelp =
    "Není k dispozici žádný webový prohlížeč.\nNápovědu naleznete v souboru '%1'.";
inline constexpr const char* kNoHelpFile = "Soubor nápovědy nebyl nalezen.\nPatří do '%1'.";
// No browser could show the project's page, %1.
inline constexpr const char* kNoBrowserForWeb =
    "Není k dispozici žádný webový prohlížeč.\nInternetové stránky Korvalinthu naleznete na adrese "
    "%1";
inline constexpr const char* kWebMenuEntry = "Korvalinth Web";
inline constexpr const char* kAboutTitle = "O Programu Korvalinth";
// The version and the build date (dd/mm/yyyy) go into %1 and %2.
inline constexpr const char* kAboutVersion = "Verze %1 [ Sestaveno %2 ]";
inline constexpr const char* kAboutWeb = "WWW:";
inline constexpr const char* kAboutMail = "E-Mail:";
inline constexpr const char* kAboutInvitation =
    "Jakékoliv připomínky, nápady, chyby nebo třeba i pochvaly mi posílejte na můj e-mail, děkuji.";

// Command dialogs: what a box left empty says.
inline constexpr const char* kEnterFunction = "Zadejte funkci!";
inline constexpr const char* kEnterSolveVariable =
    "Zadejte proměnnou, pro kterou se má rovnice řešit!";
inline constexpr const char* kEnterSolveLower = "Zadejte spodní hodnotu oboru řešení!";
inline constexpr const char* kEnterSolveUpper = "Zadejte horní hodnotu oboru řešení!";
inline constexpr const char* kEnterLimitPoints = "Zadejte bod(y) limity!";
inline constexpr const char* kEnterDerivativeVariables =
    "Zadejte proměnnou(é), podle které se má derivovat!";
inline constexpr const char* kEnterDerivativeGrade = "Zadejte stupeň derivace!";
inline constexpr const char* kEnterIntegrationVariable =
    "Zadejte proměnnou, podle kterou se má integraovat!";
inline constexpr const char* kEnterIntegrationLower = "Zadejte spodní hodnotu integračního oboru!";
inline constexpr const char* kEnterIntegrationUpper = "Zadejte horní hodnotu integračního oboru!";
inline constexpr const char* kEnterIntegrationDivisions =
    "Zadejte počet dělení integračního oboru!";
inline constexpr const char* kEnterNumbers = "Zadejte čísla!";
inline constexpr const char* kEnterSubstVariable = "Zadejte proměnnou, která se má nahradit!";
inline constexpr const char* kEnterDomainLower = "Zadejte spodní hranici definičního oboru!";
inline constexpr const char* kEnterDomainUpper = "Zadejte horní hranici definičního oboru!";
inline constexpr const char* kEnterXFunction = "Zadejte x-funkci!";
inline constexpr const char* kEnterYFunction = "Zadejte y-funkci!";
inline constexpr const char* kEnterDomainLowerX = "Zadejte spodní hranici definičního oboru pro x!";
inline constexpr const char* kEnterDomainUpperX = "Zadejte horní hranici definičního oboru pro x!";
inline constexpr const char* kEnterDomainLowerY = "Zadejte spodní hranici definičního oboru pro y!";
inline constexpr const char* kEnterDomainUpperY = "Zadejte horní hranici definičního oboru pro y!";
inline constexpr const char* kEnterDivisionsX = "Zadejte počet dělení x intervalu!";
inline constexpr const char* kEnterDivisionsY = "Zadejte počet dělení y intervalu!";
inline constexpr const char* kEnterCurvePrecision = "Zadejte přesnost křivky!";
inline constexpr const char* kEnterDomainLowerZ = "Zadejte spodní hranici definičního oboru pro z!";
inline constexpr const char* kEnterDomainUpperZ = "Zadejte horní hranici definičního oboru pro z!";
inline constexpr const char* kEnterSurfacePrecision = "Zadejte přesnost plochy!";
inline constexpr const char* kEnterTaylorVariable =
    "Zadejte proměnnou, podle které se má funkce rozvinout!";
inline constexpr const char* kEnterTaylorPoint =
    "Zadejte bod, v jehož okolí se má funkce rozvinout!";
inline constexpr const char* kEnterTaylorDegree = "Zadejte stupeň polynomu!";

}  // namespace kv::uimsg
