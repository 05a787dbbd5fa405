#include "algebra/ExactSeries.h"

#include <cmath>
#include <cstdlib>

namespace kv {

namespace {

using Wide = __int128;
using Series = std::vector<ExactFraction>;

// Numerators and denominators stay below this, so that a product of two
// fits a Wide and the sum of two such products too.
constexpr Wide kLimit = Wide{1} << 62;

Wide gcdOf(Wide a, Wide b) {
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    while (b != 0) {
        const Wide r = a % b;
        a = b;
        b = r;
    }
    return a;
}

bool isWhole(const ExactFraction& q, std::int64_t n) {
    return q.den == 1 && q.num == n;
}

// The exact square root of a non-negative whole number, when it has one.
bool wholeSquareRoot(std::int64_t n, std::int64_t& root) {
    if (n < 0) return false;
    auto r = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(n)));
    while (r > 0 && static_cast<Wide>(r) * r > n) --r;
    while (static_cast<Wide>(r + 1) * (r + 1) <= n) ++r;
    root = r;
    return static_cast<Wide>(r) * r == n;
}

// The series of one tree, term by term; `ok_` turns false for good once a
// numerator or denominator passes the limit or a step cannot be taken.
class SeriesOf {
  public:
    SeriesOf(int variable, int terms) : variable_(variable), terms_(terms) {}

    bool ok() const { return ok_; }
    // Marks the computation failed; the series returned is then meaningless.
    Series fail() {
        ok_ = false;
        return Series(static_cast<std::size_t>(terms_));
    }

    ExactFraction make(Wide num, Wide den) {
        if (!ok_ || den == 0) {
            ok_ = false;
            return {};
        }
        if (den < 0) {
            num = -num;
            den = -den;
        }
        const Wide g = gcdOf(num, den);
        if (g > 1) {
            num /= g;
            den /= g;
        }
        if (num >= kLimit || -num >= kLimit || den >= kLimit) {
            ok_ = false;
            return {};
        }
        return {static_cast<std::int64_t>(num), static_cast<std::int64_t>(den)};
    }
    ExactFraction add(ExactFraction a, ExactFraction b) {
        return make(Wide{a.num} * b.den + Wide{b.num} * a.den, Wide{a.den} * b.den);
    }
    ExactFraction sub(ExactFraction a, ExactFraction b) { return add(a, {-b.num, b.den}); }
    ExactFraction mul(ExactFraction a, ExactFraction b) {
        return make(Wide{a.num} * b.num, Wide{a.den} * b.den);
    }
    ExactFraction div(ExactFraction a, ExactFraction b) {
        return make(Wide{a.num} * b.den, Wide{a.den} * b.num);
    }

    // A double as the fraction it is exactly: whole, or m / 2^s.
    bool fraction(double v, ExactFraction& out) {
        if (!std::isfinite(v)) return false;
        if (v == std::trunc(v)) {
            if (!(std::fabs(v) < 0x1p62)) return false;
            out = {static_cast<std::int64_t>(v), 1};
            return true;
        }
        int e = 0;
        const double m = std::frexp(v, &e);
        const auto mantissa = static_cast<std::int64_t>(std::ldexp(m, 53));
        const int shift = 53 - e;  // positive: v is not whole
        if (shift > 61) return false;
        out = make(mantissa, Wide{1} << shift);
        return ok_;
    }

    Series constant(ExactFraction c) const {
        Series s(static_cast<std::size_t>(terms_));
        s[0] = c;
        return s;
    }

    Series of(const ExprNode& node, ExactFraction point) {
        if (!ok_) return fail();
        switch (node.kind()) {
            case Kind::Zero:
                return constant({});
            case Kind::Number: {
                ExactFraction c;
                if (!fraction(as<NumberNode>(node).value, c)) return fail();
                return constant(c);
            }
            case Kind::Variable: {
                if (as<VariableNode>(node).index != variable_) return fail();
                Series s = constant(point);
                if (terms_ > 1) s[1] = {1, 1};
                return s;
            }
            case Kind::Sum:
            case Kind::Difference: {
                const Series a = of(leftOf(node), point);
                const Series b = of(rightOf(node), point);
                Series s(a.size());
                for (std::size_t k = 0; k < s.size(); ++k)
                    s[k] = node.kind() == Kind::Sum ? add(a[k], b[k]) : sub(a[k], b[k]);
                return s;
            }
            case Kind::Negation: {
                Series s = of(operandOf(node), point);
                for (ExactFraction& c : s) c.num = -c.num;
                return s;
            }
            case Kind::Product:
                return product(of(leftOf(node), point), of(rightOf(node), point));
            case Kind::Quotient:
                return quotient(of(leftOf(node), point), of(rightOf(node), point));
            case Kind::Power:
                return power(of(leftOf(node), point), of(rightOf(node), point));
            case Kind::Sqrt:
                return squareRoot(of(operandOf(node), point));
            case Kind::Exp:
                return exponential(of(operandOf(node), point));
            case Kind::Ln:
                return logarithm(of(operandOf(node), point));
            case Kind::Sin:
            case Kind::Cos:
            case Kind::Sinh:
            case Kind::Cosh:
            case Kind::Tan:
            case Kind::Tanh:
                return trigonometric(node.kind(), of(operandOf(node), point));
            case Kind::Atan:
                return arctangent(of(operandOf(node), point));
            default:
                return fail();
        }
    }

  private:
    Series product(const Series& a, const Series& b) {
        Series s(a.size());
        for (std::size_t k = 0; k < s.size() && ok_; ++k)
            for (std::size_t i = 0; i <= k; ++i) s[k] = add(s[k], mul(a[i], b[k - i]));
        return s;
    }

    // a / b, b starting with a number other than 0.
    Series quotient(const Series& a, const Series& b) {
        if (!ok_ || b[0].num == 0) return fail();
        Series s(a.size());
        for (std::size_t k = 0; k < s.size() && ok_; ++k) {
            ExactFraction rest = a[k];
            for (std::size_t i = 1; i <= k; ++i) rest = sub(rest, mul(b[i], s[k - i]));
            s[k] = div(rest, b[0]);
        }
        return s;
    }

    // b^e for a constant e: whole exponents by squaring (negative ones over
    // 1), fractional ones of a series starting with 1.
    Series power(const Series& b, const Series& e) {
        if (!ok_) return fail();
        for (std::size_t k = 1; k < e.size(); ++k)
            if (e[k].num != 0) return fail();
        const ExactFraction r = e[0];
        if (r.den != 1) return fractionalPower(b, r);
        if (std::llabs(r.num) > 4096) return fail();
        Series result = constant({1, 1});
        Series square = b;
        for (std::int64_t m = std::llabs(r.num); m > 0 && ok_; m >>= 1) {
            if (m & 1) result = product(result, square);
            if (m > 1) square = product(square, square);
        }
        return r.num < 0 ? quotient(constant({1, 1}), result) : result;
    }

    // f^r with f_0 = 1, from f g' = r f' g:
    // n g_n = sum over k = 1..n of (r k - (n - k)) f_k g_(n-k).
    Series fractionalPower(const Series& f, ExactFraction r) {
        if (!ok_ || !isWhole(f[0], 1)) return fail();
        Series g = constant({1, 1});
        for (int n = 1; n < terms_ && ok_; ++n) {
            ExactFraction sum;
            for (int k = 1; k <= n; ++k) {
                const ExactFraction weight = sub(mul(r, {k, 1}), {n - k, 1});
                sum = add(sum, mul(weight, mul(f[k], g[n - k])));
            }
            g[n] = div(sum, {n, 1});
        }
        return g;
    }

    // sqrt(f) = s sqrt(f / f_0) with f_0 = s^2 a square fraction.
    Series squareRoot(const Series& f) {
        std::int64_t num = 0;
        std::int64_t den = 0;
        if (!ok_ || !wholeSquareRoot(f[0].num, num) || !wholeSquareRoot(f[0].den, den) || num == 0)
            return fail();
        Series scaled = f;
        for (ExactFraction& c : scaled) c = div(c, f[0]);
        Series g = fractionalPower(scaled, {1, 2});
        for (ExactFraction& c : g) c = mul(c, {num, den});
        return g;
    }

    // exp(f) with f_0 = 0: n g_n = sum over k = 1..n of k f_k g_(n-k).
    Series exponential(const Series& f) {
        if (!ok_ || f[0].num != 0) return fail();
        Series g = constant({1, 1});
        for (int n = 1; n < terms_ && ok_; ++n) {
            ExactFraction sum;
            for (int k = 1; k <= n; ++k) sum = add(sum, mul({k, 1}, mul(f[k], g[n - k])));
            g[n] = div(sum, {n, 1});
        }
        return g;
    }

    // ln(f) with f_0 = 1: g_n = f_n - (sum over k = 1..n-1 of k g_k f_(n-k)) / n.
    Series logarithm(const Series& f) {
        if (!ok_ || !isWhole(f[0], 1)) return fail();
        Series g(f.size());
        for (int n = 1; n < terms_ && ok_; ++n) {
            ExactFraction sum;
            for (int k = 1; k < n; ++k) sum = add(sum, mul({k, 1}, mul(g[k], f[n - k])));
            g[n] = sub(f[n], div(sum, {n, 1}));
        }
        return g;
    }

    // sin, cos, sinh, cosh of f with f_0 = 0 together, from s' = f' c and
    // c' = -+ f' s; tan and tanh as their quotients.
    Series trigonometric(Kind kind, const Series& f) {
        if (!ok_ || f[0].num != 0) return fail();
        const bool hyperbolic = kind == Kind::Sinh || kind == Kind::Cosh || kind == Kind::Tanh;
        Series s(f.size());
        Series c = constant({1, 1});
        for (int n = 1; n < terms_ && ok_; ++n) {
            ExactFraction sumS;
            ExactFraction sumC;
            for (int k = 1; k <= n; ++k) {
                sumS = add(sumS, mul({k, 1}, mul(f[k], c[n - k])));
                sumC = add(sumC, mul({k, 1}, mul(f[k], s[n - k])));
            }
            s[n] = div(sumS, {n, 1});
            c[n] = div(sumC, {hyperbolic ? n : -n, 1});
        }
        switch (kind) {
            case Kind::Sin:
            case Kind::Sinh:
                return s;
            case Kind::Cos:
            case Kind::Cosh:
                return c;
            default:
                return quotient(s, c);
        }
    }

    // atan(f) with f_0 = 0: g' = f' / (1 + f^2).
    Series arctangent(const Series& f) {
        if (!ok_ || f[0].num != 0) return fail();
        Series derivative(f.size());
        for (std::size_t k = 0; k + 1 < f.size(); ++k)
            derivative[k] = mul({static_cast<std::int64_t>(k + 1), 1}, f[k + 1]);
        Series onePlusSquare = product(f, f);
        onePlusSquare[0] = add(onePlusSquare[0], {1, 1});
        const Series h = quotient(derivative, onePlusSquare);
        Series g(f.size());
        for (int n = 1; n < terms_ && ok_; ++n) g[n] = div(h[n - 1], {n, 1});
        return g;
    }

    int variable_;
    int terms_;
    bool ok_ = true;
};

}  // namespace

std::optional<std::vector<ExactFraction>> exactTaylorCoefficients(const ExprNode& f, int variable,
                                                                  const ExprNode& point,
                                                                  int degree) {
    if (degree < 0 || !point.isConstant()) return std::nullopt;
    // The point as the constant series of its own tree: 1/3 is exactly 1/3.
    SeriesOf constant(-1, 1);
    const ExactFraction a = constant.of(point, {})[0];
    if (!constant.ok()) return std::nullopt;
    SeriesOf series(variable, degree + 1);
    Series s = series.of(f, a);
    if (!series.ok()) return std::nullopt;
    return s;
}

}  // namespace kv
