// A set of closed intervals with a point tolerance, used by the numeric zero
// search, the definition domains, the numeric integral and the graph builders.
// Every comparison of a value with a bound is widened by the tolerance of
// Tolerance.h; the intervals
// are kept sorted by their lower bound and, after any addInterval, disjoint.
#pragma once

#include <limits>
#include <vector>

#include "engine/Tolerance.h"

namespace kv {

struct Interval {
    double lo;
    double hi;
};

class IntervalSet {
  public:
    static constexpr double kWidening = tol::kEpsilon;
    static constexpr double kDefaultTolerance = 2.220446049250313e-16;  // 2^-52

    IntervalSet() = default;
    IntervalSet(double lo, double hi) { addInterval(lo, hi); }
    // Copies go interval by interval through addInterval.
    IntervalSet(const IntervalSet& other);
    IntervalSet& operator=(const IntervalSet& other);
    IntervalSet(IntervalSet&&) noexcept = default;
    IntervalSet& operator=(IntervalSet&&) noexcept = default;

    void addInterval(double a, double b);
    void addPoint(double x);
    void addSet(const IntervalSet& other);
    void removeInterval(double a, double b);
    void removeSet(const IntervalSet& other);

    // True when x lies in some interval, widened by tol::kEpsilon.
    bool contains(double x) const;

    const std::vector<Interval>& intervals() const { return data_; }
    int count() const { return static_cast<int>(data_.size()); }
    bool empty() const { return data_.empty(); }

    // The width given to a single point by addPoint.
    double tolerance = kDefaultTolerance;

  private:
    void sort();
    void updateTop();
    std::vector<Interval> data_;
    // No bound of any interval lies above this (it may lie above them all);
    // an interval that starts beyond it is appended without a merge.
    double top_ = -std::numeric_limits<double>::infinity();
    // Every interval ends before the next one begins (lo <= hi in each): the
    // intervals an addition merges are then one run, found by binary search.
    // Built up by additions alone; a removal or a reversed interval clears it.
    bool ordered_ = true;
};

}  // namespace kv
