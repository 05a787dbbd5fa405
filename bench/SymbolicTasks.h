// The command texts of the symbolic benchmarks, shared by bench_symbolic and
// the GiNaC comparison so that both parse the very same expressions.
#pragma once

#include <cstdlib>
#include <string>

#include "algebra/SimplifyMemo.h"

namespace kv::bench {

// KV_BENCH_NO_MEMO=1 runs the derivatives without the memo of simplified
// sums (algebra/SimplifyMemo.h), the way they ran before it.
inline void memoFromEnvironment() {
    if (const char* off = std::getenv("KV_BENCH_NO_MEMO"); off && *off == '1')
        kv::rw::SimplifyMemo::setEnabled(false);
}

// 1*x^1 + 2*x^2 + ... + n*x^n
inline std::string polynomial(int n) {
    std::string e;
    for (int k = 1; k <= n; ++k) {
        if (k > 1) e += "+";
        e += std::to_string(k) + "*x^" + std::to_string(k);
    }
    return e;
}

// 1*x*y + 2*x*y + ... + n*x*y: n like terms
inline std::string likeTerms(int n) {
    std::string e;
    for (int k = 1; k <= n; ++k) {
        if (k > 1) e += "+";
        e += std::to_string(k) + "*x*y";
    }
    return e;
}

// (x+1)*(x+2)*...*(x+n)
inline std::string linearFactors(int n) {
    std::string e;
    for (int k = 1; k <= n; ++k) {
        if (k > 1) e += "*";
        e += "(x+" + std::to_string(k) + ")";
    }
    return e;
}

// 1/(x+1) + 1/(x+2) + ... + 1/(x+n)
inline std::string fractions(int n) {
    std::string e;
    for (int k = 1; k <= n; ++k) {
        if (k > 1) e += "+";
        e += "1/(x+" + std::to_string(k) + ")";
    }
    return e;
}

// sin(cos(exp(x^2)*ln(x))/x)^3: a nested derivative, every rule once
inline std::string nested() {
    return "sin(cos(exp(x^2)*ln(x))/x)^3";
}

}  // namespace kv::bench
