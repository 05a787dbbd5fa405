// The Czech texts of the algebra calls (simpl, together, expandall,
// derivate, subst, eval), letter for letter as the program shows them.
#pragma once

namespace kv::msg {

inline constexpr const char* kDerivateArgumentCount = "Funkce 'derivate' nebere %d parametrů!";
inline constexpr const char* kDerivativeGrade = "Stupeň derivace musí být celé číslo od 1 do %d!";
inline constexpr const char* kSubstArgumentCount = "Funkce 'subst' nebere %d parametrů!";
inline constexpr const char* kEvalArgumentCount = "Funkce 'eval' nebere %d parametrů!";
inline constexpr const char* kInvalidEvaluationPoint = "Neplatný formát bodu vyhodnocení!";

}  // namespace kv::msg
