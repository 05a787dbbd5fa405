#include "engine/IntervalSet.h"

#include <algorithm>

namespace kv {
namespace {

bool inInterval(const Interval& in, double x) {
    return in.lo - IntervalSet::kWidening <= x && x <= in.hi + IntervalSet::kWidening;
}

}  // namespace

IntervalSet::IntervalSet(const IntervalSet& other) : tolerance(other.tolerance) {
    for (const Interval& in : other.data_) addInterval(in.lo, in.hi);
}

IntervalSet& IntervalSet::operator=(const IntervalSet& other) {
    if (this == &other) return *this;
    data_.clear();
    tolerance = other.tolerance;
    for (const Interval& in : other.data_) addInterval(in.lo, in.hi);
    return *this;
}

void IntervalSet::updateTop() {
    top_ = -std::numeric_limits<double>::infinity();
    for (const Interval& in : data_) top_ = std::max({top_, in.lo, in.hi});
}

void IntervalSet::sort() {
    std::stable_sort(data_.begin(), data_.end(),
                     [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
}

// Union: every interval that contains a, contains b or lies between them is
// merged with [a, b] into one interval spanning all the bounds involved.
//
// Scans add their roots from left to right, and copies add the intervals in
// order: an interval beyond every bound so far is appended at once, so that
// such a set of n intervals is built in linear time, not quadratic.
void IntervalSet::addInterval(double a, double b) {
    if (a <= b && a - kWidening > top_) {
        data_.push_back({a, b});
        top_ = b;
        return;
    }
    sort();
    if (data_.empty()) {
        data_.push_back({a, b});
        updateTop();
        return;
    }
    double lo = a;
    double hi = b;
    std::vector<Interval> kept;
    kept.reserve(data_.size() + 1);
    for (const Interval& in : data_) {
        bool between = a - kWidening <= in.lo && in.hi <= b + kWidening;
        if (inInterval(in, a) || inInterval(in, b) || between) {
            lo = std::min(lo, in.lo);
            hi = std::max(hi, in.hi);
        } else {
            kept.push_back(in);
        }
    }
    kept.push_back({lo, hi});
    data_ = std::move(kept);
    sort();
    updateTop();
}

void IntervalSet::addPoint(double x) { addInterval(x - tolerance / 2, x + tolerance / 2); }

void IntervalSet::addSet(const IntervalSet& other) {
    for (const Interval& in : other.data_) addInterval(in.lo, in.hi);
}

// Difference: an interval containing a ends at a, one containing b starts at
// b (one containing both splits in two), intervals between a and b go. The cut
// points a and b stay in the set.
void IntervalSet::removeInterval(double a, double b) {
    sort();
    std::vector<Interval> kept;
    kept.reserve(data_.size() + 1);
    for (const Interval& in : data_) {
        bool hasA = inInterval(in, a);
        bool hasB = inInterval(in, b);
        if (hasA || hasB) {
            if (hasA) kept.push_back({in.lo, a});
            if (hasB) kept.push_back({b, in.hi});
        } else if (!(a - kWidening <= in.lo && in.hi <= b + kWidening)) {
            kept.push_back(in);
        }
    }
    data_ = std::move(kept);
    sort();
    updateTop();
}

void IntervalSet::removeSet(const IntervalSet& other) {
    for (const Interval& in : other.data_) removeInterval(in.lo, in.hi);
}

bool IntervalSet::contains(double x) const {
    return std::any_of(data_.begin(), data_.end(),
                       [x](const Interval& in) { return inInterval(in, x); });
}

}  // namespace kv
