#pragma once

// What the benchmark programs share: timing, medians, and the table rows bench/run lays out.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

inline std::string Duration(double seconds) {
    if (seconds >= 1) return Format("%.2f s", seconds);
    if (seconds >= 1e-3) return Format("%.3g ms", seconds * 1e3);
    if (seconds >= 1e-6) return Format("%.3g µs", seconds * 1e6);
    return Format("%.3g ns", seconds * 1e9);
}

// A ratio far below 1 reads better as a fraction.
inline std::string Ratio(double ratio) {
    if (ratio > 0 && ratio < 0.1) return "1/" + Format("%.0f", 1 / ratio);
    return Format("%.2f", ratio);
}

// One line of the table, tab-separated; bench/run aligns the columns. A row without a target
// leaves target and verdict empty.
inline void Row(const std::string& measure, const std::string& figure, const std::string& baseline,
                const std::string& ratio, const std::string& target = {}, const char* verdict = "") {
    std::printf("row\t%s\t%s\t%s\t%s\t%s\t%s\n", measure.c_str(), figure.c_str(), baseline.c_str(),
                ratio.c_str(), target.c_str(), verdict);
    std::fflush(stdout);
}

// A line printed under the table.
inline void Note(const std::string& text) {
    std::printf("note\t%s\n", text.c_str());
    std::fflush(stdout);
}

inline const char* Verdict(bool met) {
    return met ? "met" : "missed";
}

} // namespace bench
