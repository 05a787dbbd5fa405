// The Czech texts of the solving calls (lim, solve, nsolve, nintegrate, gcd,
// lcm), letter for letter as the program shows them.
#pragma once

namespace kv::msg {

// lim
inline constexpr const char* kLimitNoVariable = "Není zadána žádná proměnná limity!";
inline constexpr const char* kLimitBadVariable = "Neplatný formát proměnné limity!";

// nsolve
inline constexpr const char* kEpsilonNotConstant = "Hodnota přesnosti musí být konstantní!";
inline constexpr const char* kStepNotConstant = "Hodnota kroku musí být konstantní!";
inline constexpr const char* kEpsilonNotPositive =
    "Hodnota přesnosti musí být kladné konečné číslo!";
inline constexpr const char* kStepNotPositive = "Hodnota kroku musí být kladné konečné číslo!";
inline constexpr const char* kBoundsNotFinite = "Meze intervalu musí být konečná čísla!";
inline constexpr const char* kStepTooSmall = "Hodnota kroku je vůči mezím intervalu příliš malá!";
inline constexpr const char* kTooManyScanSteps =
    "Prohledání intervalu by vyžadovalo více než %d kroků!";

// nintegrate
inline constexpr const char* kTooManyDivisions = "Počet dělení intervalu nesmí přesáhnout %d!";
inline constexpr const char* kDivisionsNotFinite = "Počet dělení intervalu musí být konečné číslo!";

// gcd, lcm
inline constexpr const char* kIntegerNotFinite = "Argument funkce '%s' není konečné číslo!";
inline constexpr const char* kIntegerOutOfRange =
    "Argument funkce '%s' je mimo rozsah 64bitových celých čísel!";
inline constexpr const char* kLcmOverflow =
    "Výsledek funkce 'lcm' je mimo rozsah 64bitových celých čísel!";

}  // namespace kv::msg
