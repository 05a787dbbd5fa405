// Fills graph definitions from the argument texts of the plot commands
// curve(F, R, options), surface(F, RX, RY, options) and
// icurve(E, RX, RY, options).
//
// Expressions and bounds are stored as text; a malformed fixed argument
// leaves its texts empty, so building the graph fails on them later. Options
// are name=value items after the fixed arguments, processed left to right:
// a later one overwrites an earlier one, except anim, which appends. Unknown
// option names are ignored.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "graphics/GraphDefinition.h"

namespace kv {

class Workspace;

// A number as option values are read: an optional sign and the longest
// decimal prefix, with a decimal point whatever the locale; 0 when there is
// none. Malformed values are not reported.
double readOptionNumber(std::string_view text);
// The same, truncated to an integer (limited to the range of int).
int readOptionInteger(std::string_view text);

// Variable names become rows of the workspace's variable table (added when
// absent). `shade` is the scene's current shading choice.
std::unique_ptr<CurveDefinition> readCurveDefinition(const std::vector<std::string_view>& args,
                                                     Workspace& ws, ShadeModel shade);
std::unique_ptr<SurfaceDefinition> readSurfaceDefinition(const std::vector<std::string_view>& args,
                                                         Workspace& ws, ShadeModel shade);
std::unique_ptr<ImplicitCurveDefinition> readImplicitCurveDefinition(
    const std::vector<std::string_view>& args, Workspace& ws, ShadeModel shade);

// isurface(F, RX, RY, RZ, options): F an expression or an equation lhs=rhs
// (stored as "(lhs)-(rhs)"); default variables x, y, z.
std::unique_ptr<ImplicitSurfaceDefinition> readImplicitSurfaceDefinition(
    const std::vector<std::string_view>& args, Workspace& ws, ShadeModel shade);

// rotsurface(f, R, options): the surface swept by y = f(x) turning about the
// x axis (axis=y: x = f(y) about the y axis), as the parametric surface of
// the curve's variable and the angle kRotationAngle over 0..2*pi. nlines
// lines along the curve (default as many as a curve samples), nlines_rot
// around it (default kRotationLines). The angle's name holds a blank, which
// no command line keeps: no user's variable or function can be it.
inline constexpr const char* kRotationAngle = "rotation angle";
inline constexpr int kRotationLines = 36;
std::unique_ptr<SurfaceDefinition> readRotationSurfaceDefinition(
    const std::vector<std::string_view>& args, Workspace& ws, ShadeModel shade);

}  // namespace kv
