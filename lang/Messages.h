// The Czech texts of the command language, letter for letter as the program
// shows them (odd spellings included: users and documents know them so).
#pragma once

#include "engine/MessageFormat.h"

namespace kv::msg {

// Parser
inline constexpr const char* kEmptyOperand = "'' není funkce!";
inline constexpr const char* kExpectedClose = "Očekáváno %d ')'";
inline constexpr const char* kUnexpectedClose = "Neočekáváno %d ')'";
inline constexpr const char* kInvalidSyntax = "Neplatlná syntax!";
inline constexpr const char* kInvalidExpression = "'%s' není platný výraz!";
inline constexpr const char* kDivisionByZero = "Dělení nulou!";
inline constexpr const char* kWrongArgumentCount = "Funkce '%s' nebere %d parametrů!";
inline constexpr const char* kLnDomain = "Funckce 'ln(x)' není definována v bodě %s!";
inline constexpr const char* kLogDomain = "Funckce 'log(x)' není definována v bodě %s!";
inline constexpr const char* kLog2Domain = "Funckce 'log2(x)' není definována v bodě %s!";
inline constexpr const char* kSqrtDomain = "Funckce 'sqrt(x)' není definována v bodě %s!";
inline constexpr const char* kTooDeep = "Výraz je příliš hluboko vnořený!";
inline constexpr const char* kTooLarge = "Výraz je příliš velký!";
inline constexpr const char* kTooLong = "Příkaz je příliš dlouhý!";
inline constexpr const char* kNotAvailable = "Příkaz '%s' v této verzi ještě není k dispozici!";

// Interpreter
inline constexpr const char* kFunctionAdded = "Funkce přidána";
inline constexpr const char* kIndexNotConstant = "Index pole musí být konstantní!";
inline constexpr const char* kInvalidIndex = "Neplatný index pole!";
inline constexpr const char* kUserFunctionRemoved = "Uživatelská funkce '%s' odstraněna!";
inline constexpr const char* kUserFunctionMissing = "Uživatelská funkce '%s' neexistuje!";
inline constexpr const char* kUserFunctionsCleared = "Uživatelské funkce odstraněny!";
inline constexpr const char* kTooManyStoredNodes =
    "Uživatelské funkce a hodnoty jsou dohromady příliš velké! Odstraňte některé.";

// Console
inline constexpr const char* kErrorPrefix = "Chyba: ";
inline constexpr const char* kInternalError = "Interní chyba programu!";
inline constexpr const char* kOutOfMemory = "Nedostatek paměti.";

// Built-in call arguments
inline constexpr const char* kInvalidInterval = "'%s' není platný formát intervalu!";

}  // namespace kv::msg
