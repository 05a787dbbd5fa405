// The texts of the command line, letter for letter in one place.
#pragma once

namespace kv::climsg {

inline constexpr const char* kUsage =
    "Použití:\n"
    "  korvalinth [DOKUMENT.kvl]\n"
    "      spustí pracovní plochu, volitelně s otevřeným dokumentem\n"
    "  korvalinth --batch SOUBOR|- [--digits N] [--snapshot OBRÁZEK.png|.jpg]\n"
    "             [--avi VIDEO.avi|.mp4|.webm|.gif [--frames N] [--fps F] [--codec KODÉR]]\n"
    "             [--size ŠxV] [--view RX,RY,RZ] [--spin SX,SY,SZ] [--render-mode 0..3]\n"
    "             [--no-box] [--no-axes] [--no-labels]\n"
    "      provede příkazy dokumentu nebo textu a vypíše jejich přepis,\n"
    "      tak jak by je ukázala konzole; nepotřebuje displej\n"
    "\n"
    "Volby:\n"
    "  -h, --help           vypíše tuto nápovědu a skončí\n"
    "  --version            vypíše název a verzi programu a skončí\n"
    "  --batch SOUBOR       dokument .kvl nebo text v UTF-8 s jedním příkazem na řádek\n"
    "                       (nepovinná výzva >>, prázdné řádky se přeskočí); - čte\n"
    "                       standardní vstup\n"
    "  --digits N           počet platných číslic výsledků (0 až 40)\n"
    "  --snapshot SOUBOR    vykreslí konečnou scénu bez displeje a uloží ji jako PNG\n"
    "                       (jméno končí na .png) nebo JPEG\n"
    "  --avi SOUBOR         zaznamená animaci konečné scény jako video; kontejner určí\n"
    "                       přípona: .mp4, .webm, .gif, jinak AVI (také --video)\n"
    "  --frames N           počet kroků animace (1 až 10000, výchozí 12)\n"
    "  --fps F              snímků za sekundu (1 až 100, výchozí 6)\n"
    "  --codec KODÉR        kodér FFmpeg (výchozí první kodér kontejneru: pro AVI\n"
    "                       rawvideo, pro MP4 H.264, pro WebM VP9, pro GIF gif)\n"
    "  --size ŠxV           velikost obrázku nebo videa v pixelech (výchozí 800x600)\n"
    "  --view RX,RY,RZ      natočení scény kolem os x, y, z ve stupních\n"
    "  --spin SX,SY,SZ      pootočení ve stupních za krok videa\n"
    "  --render-mode N      0 plochy, 1 síť, 2 plochy se sítí, 3 skryté čáry\n"
    "  --no-box, --no-axes, --no-labels\n"
    "                       bez kvádru, bez os, bez popisků\n"
    "\n"
    "Návratový kód: 0 dokončený běh (chyby příkazů patří do přepisu), 1 nečitelný\n"
    "soubor nebo nedostupné OpenGL, 2 chybné argumenty, 3 neúspěšný export.\n";
inline constexpr const char* kManualAt = "Příručka: ";
inline constexpr const char* kExamplesAt = "Příklady: ";
inline constexpr const char* kHint = "Nápovědu vypíše: korvalinth --help";
inline constexpr const char* kBatchHint =
    "Použití: korvalinth --batch SOUBOR|- [volby]; nápovědu vypíše korvalinth --help";
inline constexpr const char* kUnknownOption = "Neznámá volba: ";
inline constexpr const char* kMissingValue = "Chybí hodnota volby ";
inline constexpr const char* kMissingBatchFile = "Chybí soubor pro --batch.";
inline constexpr const char* kBatchOnly = "Volba %1 platí jen spolu s --batch.";
inline constexpr const char* kExtraArgument = "Nadbytečný argument: ";
inline constexpr const char* kNoBatchInThisBuild =
    "Tato sestava programu nemá pracovní plochu; použijte korvalinth --batch SOUBOR|-.";

}  // namespace kv::climsg
