// The graph and scene commands: curve, surface, icurve, line_width,
// bg_color, remove_graph, clear_graphs.
// Not built yet: each reports that it is not available.
#include "lang/Builtins.h"

namespace kv {

NodePtr callCurve(Call& call) { return notAvailable(call); }
NodePtr callSurface(Call& call) { return notAvailable(call); }
NodePtr callIcurve(Call& call) { return notAvailable(call); }
NodePtr callLineWidth(Call& call) { return notAvailable(call); }
NodePtr callBgColor(Call& call) { return notAvailable(call); }
NodePtr callRemoveGraph(Call& call) { return notAvailable(call); }
NodePtr callClearGraphs(Call& call) { return notAvailable(call); }

}  // namespace kv
