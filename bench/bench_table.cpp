#include "bench_table.h"

#include <algorithm>
#include <cstdio>

namespace ombrix::bench {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Whole(double value) {
    return std::to_string(static_cast<long long>(value + 0.5));
}

void PrintHeader() {
    std::printf("| %-44s | %8s | %-54s | %8s | %5s | %7s |\n", "measure (median of runs)", "Ombrix",
                "baseline", "baseline", "ratio", "goal");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(10, '-').c_str(),
                std::string(56, '-').c_str(), std::string(10, '-').c_str(),
                std::string(7, '-').c_str(), std::string(9, '-').c_str());
}

void PrintRow(const std::string& what, double ombrix, const std::string& baselineName,
              double baseline, const char* unit, double goal) {
    const std::string goalText = goal > 0 ? "<= " + std::to_string(goal).substr(0, 4) : "";
    std::printf("| %-44s | %5.0f %-2s | %-54s | %5.0f %-2s | %5.2f | %7s |\n", what.c_str(), ombrix,
                unit, baselineName.c_str(), baseline, unit, ombrix / baseline, goalText.c_str());
}

}  // namespace ombrix::bench
