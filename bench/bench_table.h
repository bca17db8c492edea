// The benchmark's table: each measure's median beside its baseline's, their ratio and the goal.
#pragma once

#include <string>
#include <vector>

namespace ombrix::bench {

double Median(std::vector<double> values);
// Rounded to a whole number, for the notes under the table.
std::string Whole(double value);

void PrintHeader();
// A goal of 0 leaves the goal column empty.
void PrintRow(const std::string& what, double ombrix, const std::string& baselineName,
              double baseline, const char* unit, double goal);

}  // namespace ombrix::bench
