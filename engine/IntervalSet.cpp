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
    top_ = -std::numeric_limits<double>::infinity();
    ordered_ = true;
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
    if (a <= b && ordered_) {
        // For a <= b, an interval contains a or b or lies between them
        // exactly when it reaches from below b + w to above a - w. In an
        // ordered set those form one run: the first that ends at or after
        // a - w, up to the last that starts at or before b + w.
        auto first = std::partition_point(data_.begin(), data_.end(), [&](const Interval& in) {
            return !(a <= in.hi + kWidening);
        });
        auto last = std::partition_point(
            first, data_.end(), [&](const Interval& in) { return in.lo - kWidening <= b; });
        double lo = a;
        double hi = b;
        for (auto it = first; it != last; ++it) {
            lo = std::min(lo, it->lo);
            hi = std::max(hi, it->hi);
        }
        // The merged interval keeps the run's place: it ends before the
        // next one begins and begins after the one before ends.
        if (first == last) {
            data_.insert(first, {lo, hi});
        } else {
            *first = {lo, hi};
            data_.erase(first + 1, last);
        }
        top_ = std::max(top_, hi);
        return;
    }
    ordered_ = false;
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

void IntervalSet::addPoint(double x) {
    addInterval(x - tolerance / 2, x + tolerance / 2);
}

// Two ordered sets merge in one pass, with the result of adding the other's
// intervals one by one in their order: each interval of `other` takes in the
// run of intervals it touches, which is the end of what is merged so far
// and the start of what is left of this set.
void IntervalSet::addSet(const IntervalSet& other) {
    if (this == &other) return;
    if (!ordered_ || !other.ordered_) {
        for (const Interval& in : other.data_) addInterval(in.lo, in.hi);
        return;
    }
    std::vector<Interval> out;
    out.reserve(data_.size() + other.data_.size());
    std::size_t next = 0;  // the first interval of this set not yet placed
    for (const Interval& add : other.data_) {
        const double a = add.lo;
        const double b = add.hi;
        while (next < data_.size() && data_[next].hi + kWidening < a) out.push_back(data_[next++]);
        double lo = a;
        double hi = b;
        while (!out.empty() && a <= out.back().hi + kWidening) {
            lo = std::min(lo, out.back().lo);
            hi = std::max(hi, out.back().hi);
            out.pop_back();
        }
        while (next < data_.size() && data_[next].lo - kWidening <= b) {
            lo = std::min(lo, data_[next].lo);
            hi = std::max(hi, data_[next].hi);
            ++next;
        }
        out.push_back({lo, hi});
    }
    out.insert(out.end(), data_.begin() + static_cast<std::ptrdiff_t>(next), data_.end());
    data_ = std::move(out);
    top_ = data_.empty() ? top_ : std::max(top_, data_.back().hi);
}

// Difference: an interval containing a ends at a, one containing b starts at
// b (one containing both splits in two), intervals between a and b go. The cut
// points a and b stay in the set.
void IntervalSet::removeInterval(double a, double b) {
    ordered_ = false;
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
