// Save Report through the real Save dialog, and Print for real on a PostScript printer that
// prints into a file, installed in the Wine prefix for the test.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "platform/system_info.h"
#include "platform/win32/printer_win32.h"
#include "results/print_layout.h"
#include "results/win32/report_actions.h"
#include "support/test_support.h"

namespace ombrix::results::win32 {
namespace {

using namespace std::chrono_literals;

// The Save dialog's controls, as the system's templates number them.
constexpr int kFileTypeCombo = 0x470;   // cmb1
constexpr int kFileNameCombo = 0x47C;   // cmb13
constexpr int kFileNameEdit = 0x480;    // edt1
constexpr int kMessageTextId = 0xFFFF;  // a message box's text

std::string TextOf(HWND window) {
    char text[1024] = {};
    const int length = ::GetWindowTextA(window, text, static_cast<int>(sizeof text));
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

// Answers the dialogs of one thread from a second thread: the first gets `fileName` typed and
// OK (Cancel when there is no name); any later one is recorded and closed.
class DialogAnswerer {
  public:
    struct Seen {
        std::string title;
        std::string fileType;  // the Save dialog's selected file type
        std::string text;      // a message box's text
    };

    explicit DialogAnswerer(std::optional<std::string> fileName)
        : threadId_(::GetCurrentThreadId()),
          fileName_(std::move(fileName)),
          watcher_([this] { Watch(); }) {}
    ~DialogAnswerer() {
        stop_ = true;
        watcher_.join();
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    std::vector<Seen> SeenDialogs() {
        std::lock_guard lock(mutex_);
        return seen_;
    }

  private:
    void Watch() {
        const auto giveUp = std::chrono::steady_clock::now() + 20s;
        while (!stop_) {
            std::vector<HWND> dialogs;
            ::EnumThreadWindows(
                threadId_,
                [](HWND window, LPARAM found) -> BOOL {
                    char name[16] = {};
                    ::GetClassNameA(window, name, sizeof name);
                    if (std::string(name) == "#32770" && ::IsWindowVisible(window)) {
                        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&dialogs));
            for (HWND dialog : dialogs) {
                if (std::chrono::steady_clock::now() > giveUp) {
                    // Something unforeseen is up: close it so that the test fails, not hangs.
                    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                } else if (handled_.insert(dialog).second) {
                    Answer(dialog);
                }
            }
            std::this_thread::sleep_for(20ms);
        }
    }

    void Answer(HWND dialog) {
        Seen seen{TextOf(dialog), {}, {}};
        const bool first = handled_.size() == 1;
        if (HWND types = ::GetDlgItem(dialog, kFileTypeCombo)) {
            const auto index = ::SendMessageA(types, CB_GETCURSEL, 0, 0);
            char type[256] = {};
            if (index >= 0 && ::SendMessageA(types, CB_GETLBTEXTLEN, static_cast<WPARAM>(index),
                                             0) < static_cast<LRESULT>(sizeof type)) {
                ::SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(type));
            }
            seen.fileType = type;
        }
        if (HWND text = ::GetDlgItem(dialog, kMessageTextId)) {
            seen.text = TextOf(text);
        }
        {
            std::lock_guard lock(mutex_);
            seen_.push_back(seen);
        }
        if (first && fileName_) {
            HWND name = ::GetDlgItem(dialog, kFileNameCombo);
            if (name == nullptr) {
                name = ::GetDlgItem(dialog, kFileNameEdit);
            }
            ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName_->c_str()));
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        } else {
            // Cancel, or No for a question, or OK for a notice: whichever the dialog has.
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            ::PostMessageA(dialog, WM_COMMAND, IDNO, 0);
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
    }

    DWORD threadId_;
    std::optional<std::string> fileName_;
    std::atomic<bool> stop_ = false;
    std::set<HWND> handled_;
    std::mutex mutex_;
    std::vector<Seen> seen_;
    std::thread watcher_;
};

// Saves `text` through SaveReportFromWindow with the Save dialog answered by `fileName`.
std::vector<DialogAnswerer::Seen> SaveThroughTheDialog(const std::string& text,
                                                       std::optional<std::string> fileName,
                                                       test::RecordingMessages& messages) {
    DialogAnswerer answerer(std::move(fileName));
    SaveReportFromWindow(text, nullptr, messages);
    return answerer.SeenDialogs();
}

TEST(SaveReportDialog, SavesUnderTheTypedNameWithoutAddingAnExtension) {
    test::ScratchDir scratch;
    test::RecordingMessages messages;
    const auto seen = SaveThroughTheDialog("\\\\WORKST7 up\r\n", scratch.File("report"), messages);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Save Report");
    EXPECT_EQ(seen[0].fileType, "Text (.TXT)");
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_FALSE(std::filesystem::exists(scratch.File("report.txt")));
    const std::string content = test::ReadFile(scratch.File("report"));
    const std::string first =
        "Ombrix version:- 1.13.1128 Report file for " + platform::ComputerName() + ".\r\n";
    ASSERT_FALSE(platform::ComputerName().empty());
    EXPECT_EQ(content.substr(0, first.size()), first);
    const std::string rest = content.substr(first.size());
    EXPECT_EQ(rest.substr(0, 9), "Saved on ");
    const std::string body = "\r\n" + std::string(70, '*') + "\r\n\\\\WORKST7 up\r\n\r\n" +
                             std::string(70, '*') + "\r\nReport complete.\r\n";
    ASSERT_GT(rest.size(), 9 + body.size());
    EXPECT_EQ(rest.substr(rest.size() - body.size()), body);
    // The date and time between: today's date in the locale's short form.
    const shared::LocalMoment now = platform::LocalNow();
    const std::string savedOn = rest.substr(9, rest.size() - 9 - body.size());
    EXPECT_EQ(savedOn.rfind(platform::DateTimeText({now.year, now.month, now.day}), 0), 0u)
        << savedOn;
}

TEST(SaveReportDialog, ReplacesAnExistingFileWithoutAsking) {
    test::ScratchDir scratch;
    test::RecordingMessages messages;
    const std::string path = scratch.File("old.txt");
    test::WriteFile(path, std::string(50'000, 'o'));
    const auto seen = SaveThroughTheDialog("new", path, messages);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.size(), 1u) << "a second dialog: " << seen.back().title << " "
                               << seen.back().text;
    EXPECT_TRUE(messages.shown.empty());
    const std::string content = test::ReadFile(path);
    EXPECT_LT(content.size(), 300u);
    EXPECT_EQ(content.substr(content.size() - 18), "Report complete.\r\n");
}

TEST(SaveReportDialog, CancelWritesNothingAndSaysNothing) {
    test::ScratchDir scratch;
    test::RecordingMessages messages;
    const auto seen = SaveThroughTheDialog("text", std::nullopt, messages);
    EXPECT_EQ(seen.size(), 1u);
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
    const auto seen = SaveThroughTheDialog("text", path, messages);
    ::CloseHandle(held);
    EXPECT_EQ(seen.size(), 1u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].style, platform::MessageStyle::OkExclamation);
    EXPECT_NE(messages.shown[0].text.find(path), std::string::npos) << messages.shown[0].text;
    EXPECT_EQ(test::ReadFile(path), "keep");
}

constexpr const char* kTestPrinter = "Ombrix Test PostScript";
constexpr const char* kTestDriver = "Ombrix Test PostScript Driver";

struct PrinterHandle {
    void operator()(HANDLE printer) const { ::ClosePrinter(printer); }
};

// Removes the test printer when it is there.
void RemoveTestPrinter() {
    HANDLE opened = nullptr;
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (::OpenPrinterA(const_cast<char*>(kTestPrinter), &opened, &access)) {
        std::unique_ptr<void, PrinterHandle> printer(opened);
        ::DeletePrinter(printer.get());
    }
}

// A PostScript printer whose jobs land in a file, made the default printer while it lives.
// The driver is Wine's own (wineps.drv) with the generic PPD that winspool.drv carries.
class FilePrinter {
  public:
    explicit FilePrinter(std::string outputPath) : outputPath_(std::move(outputPath)) {
        RemoveTestPrinter();
        ::DeleteFileA(outputPath_.c_str());
        InstallDriver();
        PRINTER_INFO_2A info{};
        info.pPrinterName = const_cast<char*>(kTestPrinter);
        info.pPortName = outputPath_.data();
        info.pDriverName = const_cast<char*>(kTestDriver);
        info.pPrintProcessor = const_cast<char*>("WinPrint");
        info.pDatatype = const_cast<char*>("RAW");
        info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        HANDLE added = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        if (added == nullptr) {
            throw std::runtime_error("AddPrinterA failed: " + std::to_string(::GetLastError()));
        }
        ::ClosePrinter(added);
        if (!::SetDefaultPrinterA(kTestPrinter)) {
            throw std::runtime_error("SetDefaultPrinterA failed: " +
                                     std::to_string(::GetLastError()));
        }
    }
    ~FilePrinter() {
        RemoveTestPrinter();
        ::DeleteFileA(outputPath_.c_str());
    }
    FilePrinter(const FilePrinter&) = delete;
    FilePrinter& operator=(const FilePrinter&) = delete;

    // What the last job wrote, or nothing when there is no output file.
    std::string Output() const {
        return std::filesystem::exists(outputPath_) ? test::ReadFile(outputPath_) : std::string();
    }

  private:
    static void InstallDriver() {
        HMODULE spooler = ::LoadLibraryExA("winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HRSRC found =
            spooler != nullptr ? ::FindResourceA(spooler, MAKEINTRESOURCEA(1), "PPDFILE") : nullptr;
        HGLOBAL loaded = found != nullptr ? ::LoadResource(spooler, found) : nullptr;
        const void* ppd = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        if (ppd == nullptr) {
            throw std::runtime_error("no PPD in winspool.drv");
        }
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
        if (!::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                                   APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY)) {
            throw std::runtime_error("AddPrinterDriverExA failed: " +
                                     std::to_string(::GetLastError()));
        }
    }

    std::string outputPath_;
};

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The text a job printed, page by page, read back from the PostScript: Wine's driver moves to
// the start of each line drawn and shows its glyphs one by one, by name.
std::vector<platform::PrintedPage> PrintedText(const std::string& postScript) {
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
        } else if (row.ends_with(" moveto") && !row.ends_with(" rmoveto")) {
            endLine();
        } else if (row.size() > 1 && row[0] == '/' && row.ends_with(" glyphshow")) {
            const std::string name = row.substr(1, row.size() - 1 - 10);
            const auto named = kNamed.find(name);
            char shown = '?';
            if (named != kNamed.end()) {
                shown = named->second;
            } else if (name.size() == 1) {
                shown = name[0];
            }
            line = line.value_or("") + shown;
        } else if (row == "showpage") {
            endLine();
        }
    }
    return pages;
}

// The pages as they should come out: lines without characters draw nothing.
std::vector<platform::PrintedPage> WithoutEmptyLines(std::vector<platform::PrintedPage> pages) {
    for (auto& page : pages) {
        std::erase_if(page, [](const std::string& line) {
            return line.find_first_not_of(' ') == std::string::npos;
        });
    }
    return pages;
}

class PrintOnPrinter : public ::testing::Test {
  protected:
    static constexpr const char* kOutput = "C:\\ombrix_print_out.ps";
};

TEST_F(PrintOnPrinter, WithoutAPrinterTheUserIsToldAndNothingElseHappens) {
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

TEST_F(PrintOnPrinter, EveryLineComesOutOnItsPageInAFixedPitchFont) {
    FilePrinter printer(kOutput);
    std::string output;
    for (int i = 1; i <= 150; ++i) {
        output += "Line " + std::to_string(i) + " of the output\r\n";
    }
    output += std::string(250, 'w') + "\r\n" + "last\tline";
    platform::PageGrid grid;
    std::vector<platform::PrintedPage> laidOut;
    std::string reason;
    platform::win32::Win32Printer real;
    ASSERT_TRUE(real.Print(
        "Ombrix Report",
        [&](platform::PageGrid given) {
            grid = given;
            laidOut = LayOutPages(PrintedReport(output, "12/6/2025 9:36:24 AM"), given);
            return laidOut;
        },
        reason))
        << reason;
    // About 9 points: a row of 70 asterisks fits, and a page takes dozens of lines.
    EXPECT_GE(grid.columns, 70);
    EXPECT_LE(grid.columns, 140);
    EXPECT_GE(grid.lines, 40);
    EXPECT_LE(grid.lines, 100);
    ASSERT_GT(laidOut.size(), 2u);

    const std::string postScript = printer.Output();
    EXPECT_NE(postScript.find("%%Title: Ombrix Report"), std::string::npos);
    EXPECT_EQ(CountOf(postScript, "%%Page:"), static_cast<int>(laidOut.size()));
    EXPECT_EQ(PrintedText(postScript), WithoutEmptyLines(laidOut));
    // The font the printer drew with is fixed-pitch.
    const auto font = postScript.find("/FontName /");
    ASSERT_NE(font, std::string::npos);
    const std::string fontName =
        postScript.substr(font + 11, postScript.find(' ', font + 11) - font - 11);
    EXPECT_TRUE(fontName.find("Mono") != std::string::npos ||
                fontName.find("Courier") != std::string::npos ||
                fontName.find("Fixedsys") != std::string::npos)
        << fontName;
}

TEST_F(PrintOnPrinter, EachPrintIsAJobOfItsOwnWithTheTimeItWasPrinted) {
    FilePrinter printer(kOutput);
    test::RecordingMessages messages;
    for (int job = 0; job < 2; ++job) {
        ::DeleteFileA(kOutput);
        PrintReportFromWindow("\\\\WORKST7 has been up for: 2 day(s)\r\n", messages);
        EXPECT_TRUE(messages.shown.empty());
        const std::string postScript = printer.Output();
        EXPECT_EQ(CountOf(postScript, "%%EOF"), 1) << "job " << job;
        const auto pages = PrintedText(postScript);
        ASSERT_EQ(pages.size(), 1u);
        const shared::LocalMoment now = platform::LocalNow();
        const std::string header =
            "Ombrix Report. Saved on " + platform::DateTimeText({now.year, now.month, now.day});
        ASSERT_EQ(pages[0].size(), 5u);
        EXPECT_EQ(pages[0][0].rfind(header, 0), 0u) << pages[0][0];
        EXPECT_EQ(pages[0][1], std::string(70, '*'));
        EXPECT_EQ(pages[0][2], "\\\\WORKST7 has been up for: 2 day(s)");
        EXPECT_EQ(pages[0][3], std::string(70, '*'));
        EXPECT_EQ(pages[0][4], "Report complete.");
    }
}

TEST_F(PrintOnPrinter, ThePageOpensWithTwoEmptyLines) {
    FilePrinter printer(kOutput);
    test::RecordingMessages messages;
    PrintReportFromWindow("x", messages);
    ASSERT_TRUE(messages.shown.empty());
    // The vertical positions of the lines drawn: the header is the third line of the page.
    std::vector<int> tops;
    std::istringstream in(printer.Output());
    for (std::string row; std::getline(in, row);) {
        std::istringstream words(row);
        int x = 0;
        int y = 0;
        std::string operation;
        if (words >> x >> y >> operation && operation == "moveto") {
            tops.push_back(y);
        }
    }
    ASSERT_EQ(tops.size(), 5u);  // header, asterisks, "x", asterisks, closing line
    const int pitch = tops[1] - tops[0];
    ASSERT_GT(pitch, 0);
    EXPECT_EQ(tops[4] - tops[3], pitch);
    EXPECT_EQ(tops[0] / pitch, 2) << tops[0] << " with lines " << pitch << " apart";
}

}  // namespace
}  // namespace ombrix::results::win32
