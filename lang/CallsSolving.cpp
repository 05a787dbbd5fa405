// The solving calls: lim, solve, nsolve, nintegrate, gcd, lcm.
// Not built yet: each reports that it is not available.
#include "lang/Builtins.h"

namespace kv {

NodePtr callLim(Call& call) { return notAvailable(call); }
NodePtr callSolve(Call& call) { return notAvailable(call); }
NodePtr callNsolve(Call& call) { return notAvailable(call); }
NodePtr callNintegrate(Call& call) { return notAvailable(call); }
NodePtr callGcd(Call& call) { return notAvailable(call); }
NodePtr callLcm(Call& call) { return notAvailable(call); }

}  // namespace kv
