// Save Report: the output written to a file the user names, framed by a dated header and a
// closing line.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/dialogs.h"

namespace ombrix::results {

inline constexpr const char* kSaveReportTitle = "Save Report";
inline constexpr const char* kSaveReportFilter = "Text (.TXT)|*.txt";
// OFN_HIDEREADONLY only: no question before a file is replaced, no extension added.
inline constexpr unsigned kSaveReportFlags = 4;

// The row of asterisks that frames the output in the file and on paper.
inline constexpr std::size_t kFrameWidth = 70;
inline constexpr const char* kReportEnd = "Report complete.";

// Where a report's header comes from; both are read when the report is written.
struct ReportSources {
    std::function<std::string()> computerName;
    std::function<std::string()> dateTimeText;
};
// The local computer's name and the current local date-and-time text.
ReportSources SystemReportSources();

// The whole file: the version and computer line, "Saved on" and the date, a row of asterisks,
// the output followed by CR LF, a second row and the closing line; every line ends with CR LF.
std::string ReportFileContent(std::string_view output, std::string_view computerName,
                              std::string_view savedOn);

// Save Report: asks for a file name and writes the report there, replacing any file of that
// name. Cancel does nothing; a file that cannot be written is told to the user.
void SaveReport(const std::string& output, platform::FileDialogs& dialogs,
                platform::MessageBoxes& messages, const ReportSources& sources);

}  // namespace ombrix::results
