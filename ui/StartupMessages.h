// The Czech texts of the desktop program's start-up, letter for letter.
#pragma once

namespace kv::uimsg {

inline constexpr const char* kNoDisplay =
    "Pracovní plochu nelze spustit: chybí displej (není nastaveno DISPLAY ani WAYLAND_DISPLAY).\n"
    "Výpočty bez displeje nabízí dávkový režim: korvalinth --batch SOUBOR";

// %1: one of the causes below.
inline constexpr const char* kGlMissing =
    "Grafiku nelze zobrazit: %1\n"
    "Korvalinth potřebuje OpenGL 2.1 nebo profil kompatibility s funkcemi pevného "
    "zobrazovacího řetězce (například ovladače Mesa, balíček libgl1-mesa-dri).\n"
    "Výpočty bez pracovní plochy nabízí dávkový režim: korvalinth --batch SOUBOR";
// %1: the Qt platform, e.g. "offscreen" or "xcb".
inline constexpr const char* kGlNoContext = "na platformě „%1“ nelze vytvořit kontext OpenGL.";
inline constexpr const char* kGlNotCurrent = "na platformě „%1“ nelze kontext OpenGL aktivovat.";
// %1: platform, %2: "OpenGL" or "OpenGL ES", %3.%4: its version.
inline constexpr const char* kGlNoFixedFunction =
    "platforma „%1“ nabízí jen %2 %3.%4 bez funkcí pevného zobrazovacího řetězce.";

}  // namespace kv::uimsg
