// A scene with an interpreter attached, its workspace current: plot commands
// run as the console runs them, and the graphs they add can be inspected.
#pragma once

#include <string>

#include "engine/Workspace.h"
#include "graphics/CurveGraph.h"
#include "graphics/SceneModel.h"
#include "lang/Builtins.h"
#include "lang/CommandInterpreter.h"

namespace kv::test {

struct SceneFixture {
    SceneModel scene;
    CommandInterpreter ci{&scene};
    Workspace::Scope scope{ci.workspace()};

    // Runs a command; the result tree is dropped.
    void run(const std::string& command) { ci.parseCommand(command); }
    // Runs a plot command and returns the graph it added, or null when it
    // failed.
    const GraphObject* plot(const std::string& command) {
        const int before = scene.graphCount();
        run(command);
        if (ci.hasError() || scene.graphCount() != before + 1) return nullptr;
        return &scene.graph(before);
    }
    // What a graph's build reads its texts with, as the plot commands pass it.
    ParseText parser() { return commandParser(ci); }
    std::string error() const { return ci.workspace().error.message; }
    double variable(const std::string& name) const {
        return ci.workspace()
            .variables[static_cast<std::size_t>(ci.workspace().findVariable(name))]
            .value;
    }
};

}  // namespace kv::test
