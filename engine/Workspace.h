// The process-wide state of one session of the command language: the
// variable and constant tables, the error record, the digit count, the random
// generator and the flags the algorithms share. Node operations reach it
// through Workspace::current(); a Workspace::Scope makes a workspace current for
// its lifetime, so every test and every batch run works on its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ErrorCode.h"

namespace kv {

struct NamedValue {
    std::string name;
    double value = 0.0;
};

// The one error record: code 0 means no error, others are ErrorCode values.
struct ParseError {
    int code = 0;
    int position = 0;
    std::string text;
    std::string message;
};

class Workspace {
  public:
    Workspace();

    // ---- tables (rows are never removed) ----
    std::vector<NamedValue> variables;
    std::vector<NamedValue> constants;

    int findVariable(std::string_view name) const;
    int findConstant(std::string_view name) const;
    // The row of `name`, appended with value 0 when there is none.
    int variableIndex(std::string_view name);
    // Appends a constant unless the name is present.
    void addConstant(std::string_view name, double value);
    // The named constants the interpreter starts with, in their fixed order.
    void fillConstants();

    // ---- the error record ----
    ParseError error;
    void clearError() { error = ParseError{}; }
    bool hasError() const { return error.code != 0; }
    void setError(ErrorCode code, std::string_view text, std::string message);

    // ---- number formatting ----
    int ndigits = 12;

    // ---- the 15-bit random generator ----
    // state <- state * 214013 + 2531011; result = (state >> 16) & 32767.
    std::uint32_t rngState = 0;
    int nextRandom();
    // Reseeds from the millisecond clock (done whenever an RndNode is made).
    void reseedRandom();
    // The millisecond clock; replaceable so tests can pin it.
    std::uint32_t (*millisecondClock)() = &steadyMilliseconds;
    static std::uint32_t steadyMilliseconds();

    // ---- flags shared by the algorithms ----
    bool autoVariables = false;  // unknown names become variables
    bool graphBuildInProgress = false;
    bool rootRecursion = false;  // the zero search is looking at a derivative
    int lhospitalSteps = 0;      // shared by one limit computation
    int lhospitalTotal = 0;      // every step of it, retries included
    // The graph builders sample through the compiled form of their trees
    // (same values, faster); off, they call evaluate point by point. Tests
    // and benchmarks compare the two.
    bool compiledSampling = true;

    static Workspace& current();

    // Makes a workspace current until the scope ends, then restores the previous one.
    class Scope {
      public:
        explicit Scope(Workspace& ws);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        Workspace* previous_;
    };

  private:
    static Workspace* current_;
};

}  // namespace kv
