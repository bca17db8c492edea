// Save Report through the real Save dialog, and Print for real on a PostScript printer that
// prints into a file, installed in the Wine prefix for the test.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>

#include "platform/system_info.h"
#include "platform/win32/printer_win32.h"
#include "results/print_layout.h"
#include "results/win32/report_actions.h"
#include "support/test_support.h"

namespace ombrix::results::win32 {
namespace {

using Lines = std::vector<std::string>;

constexpr int kFileTypeCombo = 0x470;           // cmb1
constexpr int kFileNameIds[] = {0x47C, 0x480};  // cmb13, or edt1

std::string TodaysDate() {
    const shared::LocalMoment now = platform::LocalNow();
    return platform::DateTimeText({now.year, now.month, now.day});
}

struct SeenDialog {
    std::string title;
    std::string fileType;  // the Save dialog's selected file type
};
thread_local std::vector<SeenDialog> seenDialogs;
thread_local std::vector<HWND> answered;
thread_local std::optional<std::string> typedName;
constexpr UINT_PTR kAnswerTimer = 0x0B1E;

// The first dialog gets `typedName` and OK (Cancel without a name); any later one is closed.
void CALLBACK AnswerDialog(HWND dialog, UINT, UINT_PTR, DWORD) {
    ::KillTimer(dialog, kAnswerTimer);
    char text[256] = {};
    ::GetWindowTextA(dialog, text, sizeof text);
    seenDialogs.push_back({text, {}});
    HWND types = ::GetDlgItem(dialog, kFileTypeCombo);
    const auto index = static_cast<WPARAM>(::SendMessageA(types, CB_GETCURSEL, 0, 0));
    if (types != nullptr && ::SendMessageA(types, CB_GETLBTEXTLEN, index, 0) < 256) {
        ::SendMessageA(types, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        seenDialogs.back().fileType = text;
    }
    if (seenDialogs.size() == 1 && typedName) {
        for (const int id : kFileNameIds) {
            ::SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0,
                                  reinterpret_cast<LPARAM>(typedName->c_str()));
        }
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    } else {
        // Cancel, or No for a question, or OK for a notice: whichever the dialog has.
        for (const int button : {IDCANCEL, IDNO, IDOK}) {
            ::PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(button), 0);
        }
    }
}

// Each dialog of this thread is answered once it has settled after it first shows.
LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
    HWND dialog = reinterpret_cast<HWND>(wParam);
    char name[16] = {};
    if (code == HCBT_ACTIVATE && ::GetClassNameA(dialog, name, sizeof name) > 0 &&
        std::string(name) == "#32770" &&
        std::find(answered.begin(), answered.end(), dialog) == answered.end()) {
        answered.push_back(dialog);
        ::SetTimer(dialog, kAnswerTimer, 20, &AnswerDialog);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Saves `text` through SaveReportFromWindow with the Save dialog answered by `fileName`.
std::vector<SeenDialog> SaveThroughTheDialog(const std::string& text,
                                             std::optional<std::string> fileName,
                                             test::RecordingMessages& messages) {
    seenDialogs.clear();
    answered.clear();
    typedName = std::move(fileName);
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &WatchDialogs, nullptr, ::GetCurrentThreadId());
    EXPECT_NE(hook, nullptr);
    SaveReportFromWindow(text, nullptr, messages);
    ::UnhookWindowsHookEx(hook);
    return seenDialogs;
}

TEST(SaveReportDialog, ReplacesTheTypedFileWithoutAskingOrAddingAnExtension) {
    test::ScratchDir scratch;
    test::RecordingMessages messages;
    const std::string path = scratch.File("report");
    test::WriteFile(path, std::string(50'000, 'o'));
    const auto seen = SaveThroughTheDialog("\\\\WORKST7 up\r\n", path, messages);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.size(), 1u) << "a second dialog: " << seen.back().title;
    EXPECT_EQ(seen[0].title, "Save Report");
    EXPECT_EQ(seen[0].fileType, "Text (.TXT)");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(path + ".txt"));

    // The computer's name, and today's date in the locale's short form with the time.
    const std::string content = test::ReadFile(path);
    ASSERT_FALSE(platform::ComputerName().empty());
    const auto savedOn = content.find("Saved on ") + 9;
    const std::string dateTime = content.substr(savedOn, content.find('\r', savedOn) - savedOn);
    EXPECT_EQ(dateTime.rfind(TodaysDate(), 0), 0u) << dateTime;
    EXPECT_EQ(content, ReportFileContent("\\\\WORKST7 up\r\n", platform::ComputerName(), dateTime));
}

TEST(SaveReportDialog, CancelWritesNothingAndSaysNothing) {
    test::ScratchDir scratch;
    test::RecordingMessages messages;
    EXPECT_EQ(SaveThroughTheDialog("text", std::nullopt, messages).size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
}

TEST(SaveReportDialog, AFileThatCannotBeReplacedIsTold) {
    test::ScratchDir scratch;
    test::RecordingMessages messages;
    const std::string path = scratch.File("in use.txt");
    test::WriteFile(path, "keep");
    // Another program holds the file open and shares it with nobody.
    HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveThroughTheDialog("text", path, messages).size(), 1u);
    ::CloseHandle(held);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_NE(messages.shown[0].text.find(path), std::string::npos) << messages.shown[0].text;
    EXPECT_EQ(test::ReadFile(path), "keep");
}

constexpr const char* kTestPrinter = "Ombrix Test PostScript";
constexpr const char* kTestDriver = "Ombrix Test PostScript Driver";
constexpr const char* kOutput = "C:\\ombrix_print_out.ps";

void RemoveTestPrinter() {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (::OpenPrinterA(const_cast<char*>(kTestPrinter), &printer, &access)) {
        ::DeletePrinter(printer);
        ::ClosePrinter(printer);
    }
}

void Check(bool done, const std::string& what) {
    if (!done) {
        throw std::runtime_error(what + " failed: " + std::to_string(::GetLastError()));
    }
}

// A PostScript printer whose jobs land in kOutput, the default printer while it lives: Wine's
// own driver (wineps.drv) with the generic PPD that winspool.drv carries.
class FilePrinter {
  public:
    FilePrinter() {
        RemoveTestPrinter();
        ::DeleteFileA(kOutput);
        HMODULE spooler = ::LoadLibraryExA("winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HRSRC found =
            spooler != nullptr ? ::FindResourceA(spooler, MAKEINTRESOURCEA(1), "PPDFILE") : nullptr;
        HGLOBAL loaded = found != nullptr ? ::LoadResource(spooler, found) : nullptr;
        const void* ppd = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        Check(ppd != nullptr, "the PPD of winspool.drv");
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        const std::string ppdPath = std::string(system) + "\\ombrix_test.ppd";
        test::WriteFile(
            ppdPath, std::string(static_cast<const char*>(ppd), ::SizeofResource(spooler, found)));
        ::FreeLibrary(spooler);

        DRIVER_INFO_3A driver{};
        driver.cVersion = 3;
        driver.pName = const_cast<char*>(kTestDriver);
        driver.pDriverPath = const_cast<char*>("wineps.drv");
        driver.pConfigFile = const_cast<char*>("wineps.drv");
        driver.pDataFile = const_cast<char*>(ppdPath.c_str());
        Check(::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                                    APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY),
              "AddPrinterDriverExA");
        PRINTER_INFO_2A info{};
        info.pPrinterName = const_cast<char*>(kTestPrinter);
        info.pPortName = const_cast<char*>(kOutput);
        info.pDriverName = const_cast<char*>(kTestDriver);
        info.pPrintProcessor = const_cast<char*>("WinPrint");
        info.pDatatype = const_cast<char*>("RAW");
        info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        HANDLE added = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        Check(added != nullptr, "AddPrinterA");
        ::ClosePrinter(added);
        Check(::SetDefaultPrinterA(kTestPrinter), "SetDefaultPrinterA");
    }
    ~FilePrinter() {
        RemoveTestPrinter();
        ::DeleteFileA(kOutput);
    }
    FilePrinter(const FilePrinter&) = delete;
    FilePrinter& operator=(const FilePrinter&) = delete;

    // What the last job wrote, or nothing.
    static std::string Output() {
        return std::filesystem::exists(kOutput) ? test::ReadFile(kOutput) : std::string();
    }
};

// The text a job printed, page by page, read back from the PostScript: Wine's driver moves to
// the start of each line drawn (at the height noted in `tops`) and shows its glyphs by name.
std::vector<platform::PrintedPage> PrintedText(const std::string& postScript,
                                               std::vector<int>* tops = nullptr) {
    static const std::map<std::string, char> kNamed = {
        {"space", ' '},  {"uni00A0", ' '},   {"period", '.'},     {"comma", ','},
        {"colon", ':'},  {"slash", '/'},     {"backslash", '\\'}, {"asterisk", '*'},
        {"hyphen", '-'}, {"parenleft", '('}, {"parenright", ')'}, {"underscore", '_'},
        {"zero", '0'},   {"one", '1'},       {"two", '2'},        {"three", '3'},
        {"four", '4'},   {"five", '5'},      {"six", '6'},        {"seven", '7'},
        {"eight", '8'},  {"nine", '9'},
    };
    std::vector<platform::PrintedPage> pages;
    std::optional<std::string> line;  // since the last move, when glyphs were shown
    const auto endLine = [&] {
        if (line && !pages.empty()) {
            pages.back().push_back(*line);
        }
        line.reset();
    };
    std::istringstream in(postScript);
    for (std::string row; std::getline(in, row);) {
        if (row.rfind("%%Page:", 0) == 0) {
            endLine();
            pages.emplace_back();
        } else if (row == "showpage") {
            endLine();
        } else if (row.ends_with(" moveto") && !row.ends_with(" rmoveto")) {
            endLine();
            int x = 0;
            int y = 0;
            if (tops != nullptr && std::istringstream(row) >> x >> y) {
                tops->push_back(y);
            }
        } else if (row.size() > 1 && row[0] == '/' && row.ends_with(" glyphshow")) {
            const std::string name = row.substr(1, row.size() - 1 - 10);
            const auto named = kNamed.find(name);
            const char shown = named != kNamed.end() ? named->second
                               : name.size() == 1    ? name[0]
                                                     : '?';
            line = line.value_or("") + shown;
        }
    }
    return pages;
}

TEST(PrintOnPrinter, WithoutAPrinterTheUserIsToldAndNothingElseHappens) {
    RemoveTestPrinter();
    char name[256] = {};
    DWORD size = sizeof name;
    if (::GetDefaultPrinterA(name, &size)) {
        GTEST_SKIP() << "this system has a default printer: " << name;
    }
    test::RecordingMessages messages;
    PrintReportFromWindow("output", messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_EQ(messages.shown[0].text,
              "The report could not be printed.\r\n\r\nThere is no default printer. Set up a "
              "printer in Windows, then print again.");
}

TEST(PrintOnPrinter, EveryLineComesOutOnItsPageInAFixedPitchFont) {
    FilePrinter printer;
    std::string output;
    for (int i = 1; i <= 150; ++i) {
        output += "Line " + std::to_string(i) + " of the output\r\n";
    }
    output += std::string(250, 'w') + "\r\n" + "last\tline";
    platform::PageGrid grid;
    std::vector<platform::PrintedPage> laidOut;
    std::string reason;
    ASSERT_TRUE(platform::win32::Win32Printer().Print(
        "Ombrix Report",
        [&](platform::PageGrid given) {
            grid = given;
            return laidOut = LayOutPages(PrintedReport(output, "12/6/2025 9:36:24 AM"), given);
        },
        reason))
        << reason;
    // About 9 points: a row of 70 asterisks fits, and a page takes dozens of lines.
    EXPECT_TRUE(grid.columns >= 70 && grid.columns <= 140 && grid.lines >= 40 && grid.lines <= 100)
        << grid.columns << " columns, " << grid.lines << " lines";
    ASSERT_GT(laidOut.size(), 2u);

    const std::string postScript = printer.Output();
    EXPECT_NE(postScript.find("%%Title: Ombrix Report"), std::string::npos);
    // Lines without characters draw nothing.
    for (auto& page : laidOut) {
        std::erase_if(page, [](const std::string& line) {
            return line.find_first_not_of(' ') == std::string::npos;
        });
    }
    EXPECT_EQ(PrintedText(postScript), laidOut);
    const auto font = postScript.find("/FontName /");
    ASSERT_NE(font, std::string::npos);
    const std::string fontName =
        postScript.substr(font + 11, postScript.find(' ', font + 11) - font - 11);
    EXPECT_TRUE(fontName.find("Mono") != std::string::npos ||
                fontName.find("Courier") != std::string::npos ||
                fontName.find("Fixedsys") != std::string::npos)
        << fontName;
}

TEST(PrintOnPrinter, EachPrintIsAJobOfItsOwnOpeningWithTwoEmptyLines) {
    FilePrinter printer;
    test::RecordingMessages messages;
    const std::string uptime = "\\\\WORKST7 has been up for: 2 day(s)";
    for (int job = 0; job < 2; ++job) {
        ::DeleteFileA(kOutput);
        PrintReportFromWindow(uptime + "\r\n", messages);
        EXPECT_TRUE(messages.shown.empty());
        const std::string postScript = printer.Output();
        EXPECT_NE(postScript.find("%%EOF"), std::string::npos) << "job " << job;
        EXPECT_EQ(postScript.find("%%EOF"), postScript.rfind("%%EOF")) << "job " << job;
        std::vector<int> tops;
        const auto pages = PrintedText(postScript, &tops);
        ASSERT_EQ(pages.size(), 1u);
        ASSERT_EQ(pages[0].size(), 5u);
        EXPECT_EQ(pages[0][0].rfind("Ombrix Report. Saved on " + TodaysDate(), 0), 0u)
            << pages[0][0];
        const std::string stars(70, '*');
        EXPECT_EQ(Lines(pages[0].begin() + 1, pages[0].end()),
                  (Lines{stars, uptime, stars, "Report complete."}));

        // The lines' heights: the header is the page's third line.
        ASSERT_EQ(tops.size(), 5u);
        const int pitch = tops[1] - tops[0];
        ASSERT_GT(pitch, 0);
        EXPECT_EQ(tops[4] - tops[3], pitch);
        EXPECT_EQ(tops[0] / pitch, 2) << tops[0] << " with lines " << pitch << " apart";
    }
}

}  // namespace
}  // namespace ombrix::results::win32
