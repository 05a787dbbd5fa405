// The algebra calls: simpl, together, expandall, derivate, subst, eval.
// Not built yet: each reports that it is not available.
#include "lang/Builtins.h"

namespace kv {

NodePtr callSimpl(Call& call) { return notAvailable(call); }
NodePtr callTogether(Call& call) { return notAvailable(call); }
NodePtr callExpandall(Call& call) { return notAvailable(call); }
NodePtr callDerivate(Call& call) { return notAvailable(call); }
NodePtr callSubst(Call& call) { return notAvailable(call); }
NodePtr callEval(Call& call) { return notAvailable(call); }

}  // namespace kv
