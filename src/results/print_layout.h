// Print: the report on paper. Its text, laid out in the printer's grid of fixed-pitch cells.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "results/report_file.h"

namespace ombrix::results {

inline constexpr const char* kPrintHeader = "Ombrix Report. Saved on ";
inline constexpr const char* kPrintDocumentName = "Ombrix Report";

// The six printed items, each followed by CR LF: CR LF itself (so the page opens with two empty
// lines), the dated header, a row of asterisks, the output, a second row and the closing line.
std::string PrintedReport(std::string_view output, std::string_view savedOn);

// The text on pages of `grid`: every line break (CR LF, CR or LF) starts a new line and a final
// one ends the last; tabs become blanks up to the next multiple of 8 columns; a line wider than
// the page wraps after the last blank that fits, else at the page's edge; every `grid.lines`
// lines start a new page.
std::vector<platform::PrintedPage> LayOutPages(std::string_view text, platform::PageGrid grid);

// Print: the report as one job on the default printer. When there is no printer or
// the job fails, the user is told and nothing else changes.
void PrintReport(const std::string& output, platform::Printer& printer,
                 platform::MessageBoxes& messages, const ReportSources& sources);

}  // namespace ombrix::results
