#include "results/print_layout.h"

#include <algorithm>

#include "results/text_layout.h"

namespace ombrix::results {

std::string PrintedReport(std::string_view output, std::string_view savedOn) {
    const std::string frame(kFrameWidth, '*');
    std::string report;
    report.reserve(output.size() + 200);
    report.append("\r\n\r\n");
    report.append(kPrintHeader).append(savedOn).append("\r\n");
    report.append(frame).append("\r\n");
    report.append(output).append("\r\n");
    report.append(frame).append("\r\n");
    report.append(kReportEnd).append("\r\n");
    return report;
}

std::vector<platform::PrintedPage> LayOutPages(std::string_view text, platform::PageGrid grid) {
    if (text.empty()) {
        return {};
    }
    // A final line break ends the last line rather than starting an empty one.
    if (text.ends_with("\r\n")) {
        text.remove_suffix(2);
    } else if (text.back() == '\r' || text.back() == '\n') {
        text.remove_suffix(1);
    }
    const TextLayout layout(std::string(text), std::max(grid.columns, 1));
    const std::size_t linesPerPage = static_cast<std::size_t>(std::max(grid.lines, 1));

    std::vector<platform::PrintedPage> pages;
    for (std::size_t row = 0; row < layout.RowCount(); ++row) {
        if (row % linesPerPage == 0) {
            pages.emplace_back();
            pages.back().reserve(std::min(linesPerPage, layout.RowCount() - row));
        }
        pages.back().push_back(layout.ExpandedRow(row));
    }
    return pages;
}

void PrintReport(const std::string& output, platform::Printer& printer,
                 platform::MessageBoxes& messages, const ReportSources& sources) {
    // The time is read once the job has begun, as the header is printed.
    const auto layOut = [&output, &sources](platform::PageGrid grid) {
        return LayOutPages(PrintedReport(output, sources.dateTimeText()), grid);
    };
    if (const base::Result<> printed = printer.Print(kPrintDocumentName, layOut); !printed) {
        messages.Show(base::WithReason("The report could not be printed.", printed.Reason()),
                      platform::MessageStyle::OkExclamation);
    }
}

}  // namespace ombrix::results
