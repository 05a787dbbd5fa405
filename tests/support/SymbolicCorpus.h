// A fixed corpus of symbolic tasks and a fingerprint of what each gives:
// derivatives under budgets that run out part way, simpl, expandall and
// together. Kept with the fingerprints of the results in a file, so that a
// change of the algorithms' speed can be checked to change no result, no
// work spent and no point where the work runs out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "algebra/Algebra.h"
#include "algebra/RewriteBudget.h"
#include "lang/CommandInterpreter.h"
#include "support/RandomExpression.h"

namespace kv::test {

// Random trees, sums of repeated terms and polynomials with like terms.
inline std::vector<std::string> symbolicCorpus(int count) {
    const ExpressionGrammar grammar{{"x", "y", "2", "3", "0.5", "1", "pi", "x"},
                                    {"sin", "cos", "exp", "ln", "sqrt", "abs", "-"},
                                    {"2", "3", "(-1)", "0.5", "x", "(-0.5)", "4", "(-2)"}};
    Random r(20261210);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        std::string e;
        if (i % 3 == 0) {
            const int n = 3 + r.below(38);
            for (int k = 0; k < n; ++k) {
                if (k) e += r.below(4) ? "+" : "-";
                e += std::to_string(1 + r.below(9)) + "*x^" + std::to_string(r.below(10));
                const char* y[] = {"", "*y", "*y^2"};
                e += y[r.below(3)];
            }
        } else if (i % 3 == 1) {
            std::string pool[3];
            for (std::string& p : pool) p = randomExpression(r, 1 + r.below(2), grammar);
            const int n = 2 + r.below(8);
            for (int k = 0; k < n; ++k) {
                if (k) e += r.below(3) ? "+" : "-";
                e += std::to_string(1 + r.below(4)) + "*(" + pool[r.below(3)] + ")";
            }
        } else {
            e = randomExpression(r, 2 + r.below(4), grammar);
        }
        texts.push_back(e);
    }
    return texts;
}

// FNV-1a of the outcomes of one task, each outcome a line of text.
inline std::uint64_t outcomeFingerprint(CommandInterpreter& ci, const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    auto add = [&h](const std::string& s) {
        for (unsigned char c : s + "\n") h = (h ^ c) * 0x100000001b3ULL;
    };
    NodePtr t = ci.parseCommand(text);
    if (ci.hasError() || !t) {
        add("error");
        return h;
    }
    const int x = ci.workspace().variableIndex("x");
    for (std::size_t limit : {0, 50, 300, 2000, 20000})
        for (int order = 1; order <= 2; ++order) {
            RewriteBudget::Scope scope(*t, RewriteBudget::Scope::Mode::Derivative);
            RewriteBudget& budget = *RewriteBudget::current();
            if (limit) budget.limitWork(limit);
            NodePtr d = nthDerivative(order, *t, IdList{x});
            add(d->toText() + " " + std::to_string(budget.work()) + " " +
                std::to_string(budget.overflowed()));
        }
    add(simpl(*t)->toText());
    add(t->expandall()->toText());
    add(t->together()->toText());
    return h;
}

}  // namespace kv::test
