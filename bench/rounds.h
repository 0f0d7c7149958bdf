// How the benchmark sets one side against another: rounds that time every side back to
// back, the side that goes first moving on by one each round so that none always runs
// first, and medians over the rounds.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "support/stopwatch.h"

namespace quendral::bench {

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One round: each side measured once, side round % N first, then the ones after it around;
// the values come back in the order the sides were given.
template <class Value, class... Side>
std::array<Value, sizeof...(Side)> Round(int round, Side&&... sides) {
    constexpr std::size_t count = sizeof...(Side);
    const std::array<std::function<Value()>, count> measure{std::ref(sides)...};
    std::array<Value, count> values{};
    for (std::size_t turn = 0; turn < count; ++turn) {
        const std::size_t side = (static_cast<std::size_t>(round) + turn) % count;
        values[side] = measure[side]();
    }
    return values;
}

// What one side costs in each round and what the other costs, and their ratio per round.
struct Paired {
    std::vector<double> measured;
    std::vector<double> reference;
    std::vector<double> ratios;

    void Add(double measuredValue, double referenceValue) {
        measured.push_back(measuredValue);
        reference.push_back(referenceValue);
        ratios.push_back(measuredValue / referenceValue);
    }
    double Ratio() const { return Median(ratios); }
};

// Microseconds per step over `steps` steps, after one untimed step that brings the
// windows involved to the state the timed ones run in (focus, activation, caches).
template <class Step>
double TimePerStep(int steps, Step&& step) {
    step(0);
    const Stopwatch watch;
    for (int i = 1; i <= steps; ++i) step(i);
    return watch.Microseconds() / steps;
}

}  // namespace quendral::bench
