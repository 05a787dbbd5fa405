// The user-visible texts of documents: opening, saving and the batch runner's
// input. Placeholders are printf-style.
#pragma once

namespace kv::docmsg {

inline constexpr char kCannotOpen[] = "Soubor nelze otevřít!";
inline constexpr char kBadFormat[] = "Neplatný formát souboru!";
inline constexpr char kCannotSave[] = "Soubor nelze uložit!";
inline constexpr char kNotDocumentOrText[] = "Soubor není dokument ani text!";
// Why an input file was not read; shown after kCannotOpen.
inline constexpr char kReasonFolder[] = "Jde o složku, ne o soubor.";
inline constexpr char kReasonDevice[] = "Jde o zařízení, ne o soubor.";
inline constexpr char kReasonTooLarge[] = "Soubor je větší než 64 MB.";
inline constexpr char kReasonMissing[] = "Soubor neexistuje.";
inline constexpr char kReasonDenied[] = "Přístup odepřen.";
inline constexpr char kReasonUnreadable[] = "Chyba při čtení.";
inline constexpr char kNoCodepage[] =
    "Převod kódové stránky 1250 není v tomto systému k dispozici.";

// Damage found while reading; %d is the record's number, counted from 1.
inline constexpr char kRecordIncomplete[] = "Dokument je poškozen: záznam č. %d je neúplný.";
inline constexpr char kRecordBadLength[] = "Dokument je poškozen: záznam č. %d má neplatnou délku.";
inline constexpr char kRecordUnterminated[] =
    "Dokument je poškozen: záznam č. %d není zakončen nulovým bajtem.";
inline constexpr char kRecordEmpty[] =
    "Dokument je poškozen: záznam č. %d má nulovou délku a byl vynechán.";
inline constexpr char kRecordBadChar[] =
    "Dokument je poškozen: záznam č. %d obsahuje neplatný znak.";

// Lines refused by Save; %d is the console line, counted from 1.
inline constexpr char kLineTooLong[] =
    "Řádek %d je příliš dlouhý pro uložení (nejvýše 9998 znaků).";
inline constexpr char kLineBadChar[] = "Řádek %d obsahuje znak, který nelze uložit: '%s'";

}  // namespace kv::docmsg
