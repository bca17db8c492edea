#include "platform/win32/printer_win32.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/process_files.h"
#include "platform/win32/system_library.h"
#include "platform/win32/window_handles.h"

namespace ombrix::platform::win32 {
namespace {

// Fixedsys where the printer has it, else a fixed-pitch face of about its size.
constexpr const char* kPreferredFace = "Fixedsys";
constexpr const char* kFallbackFace = "Courier New";
constexpr int kPointSize = 9;

// A print job; withdrawn unless it was ended.
class PrintJob {
  public:
    PrintJob(HDC dc, const std::string& name) : dc_(dc) {
        DOCINFOA info{};
        info.cbSize = sizeof(info);
        info.lpszDocName = name.c_str();
        started_ = ::StartDocA(dc, &info) > 0;
    }
    ~PrintJob() {
        if (started_) {
            ::AbortDoc(dc_);
        }
    }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;
    bool Started() const { return started_; }
    bool End() {
        if (::EndDoc(dc_) <= 0) {
            return false;
        }
        started_ = false;
        return true;
    }

  private:
    HDC dc_;
    bool started_ = false;
};

// The default printer's name; nothing when there is none. The spooler's library is loaded the
// first time it is asked for.
base::Result<std::optional<std::string>> DefaultPrinterName() {
    static SystemLibrary spooler("winspool.drv");
    const auto getDefault = spooler.Find<decltype(::GetDefaultPrinterA)>("GetDefaultPrinterA");
    if (!getDefault) {
        return base::Failure{getDefault.Reason()};
    }
    DWORD size = 0;
    (*getDefault)(nullptr, &size);
    if (size == 0) {
        return std::optional<std::string>();
    }
    std::string name(size, '\0');
    if (!(*getDefault)(name.data(), &size)) {
        return std::optional<std::string>();
    }
    name.resize(std::strlen(name.c_str()));
    return std::optional<std::string>(std::move(name));
}

UniqueFont CreatePrinterFont(HDC dc, const char* face) {
    const int height = -::MulDiv(kPointSize, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    return UniqueFont(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, face));
}

// The face the font mapper actually gave the DC.
bool HasFace(HDC dc, const char* face) {
    char name[LF_FACESIZE] = {};
    return ::GetTextFaceA(dc, LF_FACESIZE, name) > 0 && ::lstrcmpiA(name, face) == 0;
}

}  // namespace

base::Result<> Win32Printer::Print(
    const std::string& documentName,
    const std::function<std::vector<PrintedPage>(PageGrid)>& layOut) {
    const base::Result<std::optional<std::string>> found = DefaultPrinterName();
    if (!found) {
        return base::Failure{
            base::WithReason("The printers could not be reached.", found.Reason())};
    }
    const std::optional<std::string>& printer = *found;
    if (!printer) {
        return base::Failure{
            "There is no default printer. Set up a printer in Windows, then print again."};
    }
    // The system's reason is read before anything else can change it.
    const auto fail = [&printer](const char* what) {
        const DWORD error = ::GetLastError();
        return base::Failure{
            "The printer \"" + *printer + "\" " + what +
            (error == ERROR_SUCCESS ? std::string(".") : ": " + SystemErrorText(error))};
    };
    UniqueDc dc(::CreateDCA("WINSPOOL", printer->c_str(), nullptr, nullptr));
    if (!dc) {
        return fail("could not be opened");
    }

    UniqueFont font = CreatePrinterFont(dc.get(), kPreferredFace);
    std::optional<SelectedObject> selected;
    if (font) {
        selected.emplace(dc.get(), font.get());
    }
    if (!font || !selected->Selected() || !HasFace(dc.get(), kPreferredFace)) {
        selected.reset();
        font = CreatePrinterFont(dc.get(), kFallbackFace);
        if (font) {
            selected.emplace(dc.get(), font.get());
        }
        if (!font || !selected->Selected()) {
            return fail("has no font to print with");
        }
    }
    // Lines are drawn on the blank page: no background boxes behind them.
    if (::SetBkMode(dc.get(), TRANSPARENT) == 0) {
        return fail("could not set up its page");
    }
    TEXTMETRICA metrics{};
    if (!::GetTextMetricsA(dc.get(), &metrics)) {
        return fail("could not measure its font");
    }
    const int cellWidth = std::max<int>(metrics.tmAveCharWidth, 1);
    const int lineHeight = std::max<int>(metrics.tmHeight + metrics.tmExternalLeading, 1);
    const PageGrid grid{std::max(::GetDeviceCaps(dc.get(), HORZRES) / cellWidth, 1),
                        std::max(::GetDeviceCaps(dc.get(), VERTRES) / lineHeight, 1)};

    PrintJob job(dc.get(), documentName);
    if (!job.Started()) {
        return fail("did not accept the job");
    }
    constexpr const char* kFailed = "failed while printing; the job was cancelled";
    for (const PrintedPage& page : layOut(grid)) {
        if (::StartPage(dc.get()) <= 0) {
            return fail(kFailed);
        }
        int top = 0;
        for (const std::string& line : page) {
            if (!line.empty() &&
                !::TextOutA(dc.get(), 0, top, line.c_str(), static_cast<int>(line.size()))) {
                return fail(kFailed);
            }
            top += lineHeight;
        }
        if (::EndPage(dc.get()) <= 0) {
            return fail(kFailed);
        }
    }
    if (!job.End()) {
        return fail(kFailed);
    }
    return {};
}

}  // namespace ombrix::platform::win32
