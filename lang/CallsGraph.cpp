// The graph and scene commands: curve, surface, icurve, isurface, rotsurface,
// line_width, bg_color, remove_graph, clear_graphs.
//
// A plot command fills a definition from its argument texts, lets a new graph
// object build its geometry from it and hands the object to the scene; the
// result refers to the graph and prints its id.
#include <memory>
#include <string>

#include "graphics/CurveGraph.h"
#include "graphics/GraphDefinitionReader.h"
#include "graphics/GraphLimits.h"
#include "graphics/GraphMessages.h"
#include "graphics/ImplicitCurveGraph.h"
#include "graphics/ImplicitSurfaceGraph.h"
#include "graphics/SceneModel.h"
#include "graphics/SurfaceGraph.h"
#include "lang/Builtins.h"
#include "lang/CommandInterpreter.h"
#include "lang/Messages.h"

namespace kv {

namespace {

NodePtr graphError(Call& call, const std::string& message) {
    return call.ci.fail(gmsg::kGraphErrorCode, call.text, message);
}

// The graph object that builds a definition of this kind.
std::unique_ptr<GraphObject> createGraph(GraphKind kind) {
    switch (kind) {
        case GraphKind::Curve:
            return std::make_unique<CurveGraph>();
        case GraphKind::Surface:
            return std::make_unique<SurfaceGraph>();
        case GraphKind::ImplicitCurve:
            return std::make_unique<ImplicitCurveGraph>();
        case GraphKind::ImplicitSurface:
            return std::make_unique<ImplicitSurfaceGraph>();
    }
    return nullptr;
}

// Steps shared by the plot commands once the definition is filled. curve and
// surface need an id before building; icurve checks it only after a
// successful build.
NodePtr buildAndAdd(Call& call, SceneModel& scene, std::unique_ptr<GraphDefinition> def) {
    const bool idBeforeBuild = def->kind != GraphKind::ImplicitCurve;
    if (idBeforeBuild && def->id == -1) return graphError(call, gmsg::kNoGraphId);

    std::unique_ptr<GraphObject> graph = createGraph(def->kind);
    if (!graph) return graphError(call, gmsg::kInvalidInput);
    if (!graph->build(std::move(def), commandParser(call.ci)))
        return graphError(call, graph->failureMessage());
    if (!idBeforeBuild && graph->graphId() == -1) return graphError(call, gmsg::kNoGraphId);
    // Each graph is bounded by itself; so is the scene as a whole.
    long long total = graph->vertexCount();
    for (int i = 0; i < scene.graphCount(); ++i) total += scene.graph(i).vertexCount();
    if (total > kMaxSceneVertices)
        return graphError(
            call, msg::format(gmsg::kTooManySceneVertices, static_cast<int>(kMaxSceneVertices)));

    GraphObject* added = scene.addGraph(std::move(graph));
    return std::make_unique<GraphRefNode>(added);
}

// Evaluates an argument text; false (with the error recorded) when it does
// not parse.
bool evaluateArgument(Call& call, std::string_view text, double& value) {
    NodePtr tree = call.ci.parseCommand(text);
    if (call.ci.hasError()) return false;
    value = tree->evaluate();
    return true;
}

}  // namespace

ParseText commandParser(CommandInterpreter& ci) {
    return [&ci](std::string_view text) -> NodePtr {
        NodePtr tree = ci.parseCommand(text);
        return ci.hasError() ? nullptr : std::move(tree);
    };
}

NodePtr callCurve(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    return buildAndAdd(call, *scene,
                       readCurveDefinition(call.args, call.ci.workspace(), scene->shadeModel()));
}

NodePtr callSurface(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    return buildAndAdd(call, *scene,
                       readSurfaceDefinition(call.args, call.ci.workspace(), scene->shadeModel()));
}

NodePtr callIcurve(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    return buildAndAdd(
        call, *scene,
        readImplicitCurveDefinition(call.args, call.ci.workspace(), scene->shadeModel()));
}

NodePtr callIsurface(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    return buildAndAdd(
        call, *scene,
        readImplicitSurfaceDefinition(call.args, call.ci.workspace(), scene->shadeModel()));
}

NodePtr callRotsurface(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    return buildAndAdd(
        call, *scene,
        readRotationSurfaceDefinition(call.args, call.ci.workspace(), scene->shadeModel()));
}

// The width is passed on unchecked: what a renderer can draw is its business.
NodePtr callLineWidth(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    double width = 0.0;
    if (!evaluateArgument(call, call.argText, width)) return zero();
    scene->setLineWidth(static_cast<float>(width));
    return std::make_unique<TextNode>(gmsg::kLineWidthSet);
}

// bg_color(r, g, b): three parts, each evaluated; unchecked like the width.
NodePtr callBgColor(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    const int parts = static_cast<int>(call.args.size());
    if (parts != 3)
        return call.ci.fail(gmsg::kColorErrorCode, call.text,
                            msg::format(gmsg::kColorPartCount, parts));
    float c[3];
    for (int i = 0; i < 3; ++i) {
        double v = 0.0;
        if (!evaluateArgument(call, call.args[static_cast<std::size_t>(i)], v)) return zero();
        c[i] = static_cast<float>(v);
    }
    scene->setBackground({c[0], c[1], c[2]});
    return std::make_unique<TextNode>(gmsg::kColorSet);
}

// remove_graph(id): the raw argument text read as a number; a missing graph
// is told in the result, not as an error.
NodePtr callRemoveGraph(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    const bool removed = scene->removeGraph(readOptionInteger(call.argText));
    return std::make_unique<TextNode>(std::string(gmsg::kGraphPrefix) + std::string(call.argText) +
                                      (removed ? gmsg::kGraphRemovedEnd : gmsg::kGraphMissingEnd));
}

NodePtr callClearGraphs(Call& call) {
    SceneModel* scene = call.ci.scene();
    if (!scene) return notAvailable(call);
    scene->clearGraphs();
    return std::make_unique<TextNode>(gmsg::kGraphsCleared);
}

}  // namespace kv
