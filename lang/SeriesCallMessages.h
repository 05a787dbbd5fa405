// The Czech texts of the series calls (taylor, sum), letter for letter as
// the program shows them.
#pragma once

namespace kv::msg {

// taylor
inline constexpr const char* kTaylorDegree = "Stupeň polynomu musí být celé číslo od 0 do 30!";
inline constexpr const char* kTaylorNotFinite = "Funkce nemá v bodě %s Taylorův polynom!";

// sum
inline constexpr const char* kSumBoundsNotIntegers = "Meze součtu musí být konstantní celá čísla!";
inline constexpr const char* kSumTooManyTerms = "Součet může mít nejvýše %d členů!";

}  // namespace kv::msg
