#include "results/report_file.h"

#include "platform/process_files.h"
#include "platform/system_info.h"
#include "shared/version.h"

namespace ombrix::results {

ReportSources SystemReportSources() {
    return {&platform::ComputerName, &platform::LocalDateTimeText};
}

std::string ReportFileContent(std::string_view output, std::string_view computerName,
                              std::string_view savedOn) {
    const std::string frame(kFrameWidth, '*');
    std::string content;
    content.reserve(output.size() + 300);
    content.append("Ombrix version:- ")
        .append(shared::VersionText())
        .append(" Report file for ")
        .append(computerName)
        .append(".\r\n");
    content.append("Saved on ").append(savedOn).append("\r\n");
    content.append(frame).append("\r\n");
    content.append(output).append("\r\n");
    content.append(frame).append("\r\n");
    content.append(kReportEnd).append("\r\n");
    return content;
}

void SaveReport(const std::string& output, platform::FileDialogs& dialogs,
                platform::MessageBoxes& messages, const ReportSources& sources) {
    // Every setting is given afresh, so nothing carries over from Program Location.
    const platform::FileDialogSettings settings{kSaveReportTitle, kSaveReportFilter, "",
                                                kSaveReportFlags};
    const auto path = dialogs.ShowSave(settings);
    if (!path) {
        return;
    }
    // The header is read after the dialog, so that it tells when the file was written.
    const std::string content =
        ReportFileContent(output, sources.computerName(), sources.dateTimeText());
    if (const base::Result<> saved = platform::ReplaceFileContent(*path, content); !saved) {
        // Silence here would let the user believe the report was saved.
        messages.Show(
            base::WithReason("The report could not be saved as " + *path + ".", saved.Reason()),
            platform::MessageStyle::OkExclamation);
    }
}

}  // namespace ombrix::results
