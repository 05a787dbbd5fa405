// The Czech texts of the graph and scene commands, letter for letter as the
// program shows them.
#pragma once

#include "engine/ErrorCode.h"

namespace kv::gmsg {

inline constexpr const char* kNoGraphId = "Nebylo zadáno ID grafiky!";
inline constexpr const char* kInvalidInput = "Chyba v zadání!";
inline constexpr const char* kLineWidthSet = "Šířka čáry byla úspěšně nastavena!";
inline constexpr const char* kColorSet = "Barva byla úspěšně nastavena!";
inline constexpr const char* kColorPartCount = "Barva není určena %d složkami!";
// "Grafika '" + the argument text + one of the two endings.
inline constexpr const char* kGraphPrefix = "Grafika '";
inline constexpr const char* kGraphRemovedEnd = "' odstraněna!";
inline constexpr const char* kGraphMissingEnd = "' neexistuje!";
inline constexpr const char* kGraphsCleared = "Všechna grafika odstraněna!";

// Requests beyond the limits of GraphLimits.h.
inline constexpr const char* kTooManyFrames = "Animace může mít nejvýše %d snímků!";
inline constexpr const char* kTooManyVertices = "Grafika může mít nejvýše %d bodů!";
inline constexpr const char* kTooManySceneVertices =
    "Všechna grafika scény může mít dohromady nejvýše %d bodů!";

// The error code of every plot command failure.
inline constexpr ErrorCode kGraphErrorCode = ErrorCode::Graph;
// The error code of a colour with the wrong number of parts.
inline constexpr ErrorCode kColorErrorCode = ErrorCode::Arguments;

}  // namespace kv::gmsg
