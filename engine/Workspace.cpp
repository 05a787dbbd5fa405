#include "engine/Workspace.h"

#include <chrono>
#include <cmath>

namespace kv {

namespace {
Workspace& fallbackWorkspace() {
    static Workspace ws;
    return ws;
}
}  // namespace

Workspace* Workspace::current_ = nullptr;

Workspace::Workspace() {
    rngState = millisecondClock();
}

Workspace& Workspace::current() {
    return current_ ? *current_ : fallbackWorkspace();
}

Workspace::Scope::Scope(Workspace& ws) : previous_(current_) {
    current_ = &ws;
}
Workspace::Scope::~Scope() {
    current_ = previous_;
}

int Workspace::findVariable(std::string_view name) const {
    for (std::size_t i = 0; i < variables.size(); ++i)
        if (variables[i].name == name) return static_cast<int>(i);
    return -1;
}

int Workspace::findConstant(std::string_view name) const {
    for (std::size_t i = 0; i < constants.size(); ++i)
        if (constants[i].name == name) return static_cast<int>(i);
    return -1;
}

int Workspace::variableIndex(std::string_view name) {
    int row = findVariable(name);
    if (row >= 0) return row;
    variables.push_back({std::string(name), 0.0});
    return static_cast<int>(variables.size()) - 1;
}

void Workspace::addConstant(std::string_view name, double value) {
    if (findConstant(name) < 0) constants.push_back({std::string(name), value});
}

void Workspace::fillConstants() {
    addConstant("pi", 3.141592653589793);
    addConstant("e", std::exp(1.0));
    addConstant("eg", 0.5772156649015329);
    addConstant("deg", 0.017453292519943295);
    addConstant("golden", (std::sqrt(5.0) + 1.0) / 2.0);
    addConstant("g", 9.80665);
    addConstant("hbar", 1.05457266e-34);
    addConstant("na", 6.0221367e+23);
    addConstant("boltzmann", 1.380658e-23);
    addConstant("c_light", 299792458.0);
    addConstant("gn", 6.67259e-11);
    addConstant("true", 1.0);
    addConstant("false", 0.0);
}

void Workspace::setError(ErrorCode code, std::string_view text, std::string message) {
    error.code = static_cast<int>(code);
    error.position = 0;
    error.text = std::string(text);
    error.message = std::move(message);
}

int Workspace::nextRandom() {
    rngState = rngState * 214013u + 2531011u;
    return static_cast<int>((rngState >> 16) & 32767u);
}

void Workspace::reseedRandom() {
    rngState = millisecondClock();
}

std::uint32_t Workspace::steadyMilliseconds() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

}  // namespace kv
