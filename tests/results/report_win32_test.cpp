// Print for real on a PostScript printer that prints into a file, installed in the Wine prefix
// for the test: Wine's own driver (wineps.drv) with the generic PPD that winspool.drv carries.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/printer_win32.h"
#include "results/print_layout.h"
#include "support/test_support.h"

namespace ombrix::results {
namespace {

char kPrinter[] = "Ombrix Test PostScript";
char kDriver[] = "Ombrix Test PostScript Driver";
char kOutput[] = "C:\\ombrix_print_out.ps";

void RemovePrinter() {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (::OpenPrinterA(kPrinter, &printer, &access)) {
        ::DeletePrinter(printer);
        ::ClosePrinter(printer);
    }
    ::DeleteFileA(kOutput);
}

void AddFilePrinter() {
    RemovePrinter();
    HMODULE spooler = ::LoadLibraryExA("winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = ::FindResourceA(spooler, MAKEINTRESOURCEA(1), "PPDFILE");
    ASSERT_NE(found, nullptr) << "no PPD in winspool.drv";
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    std::string ppd = std::string(system) + "\\ombrix_test.ppd";
    test::WriteFile(
        ppd, std::string(static_cast<const char*>(::LockResource(::LoadResource(spooler, found))),
                         ::SizeofResource(spooler, found)));
    ::FreeLibrary(spooler);
    char wineps[] = "wineps.drv";
    DRIVER_INFO_3A driver{};
    driver.cVersion = 3;
    driver.pName = kDriver;
    driver.pDriverPath = driver.pConfigFile = wineps;
    driver.pDataFile = ppd.data();
    ASSERT_TRUE(::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver),
                                      APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
        << ::GetLastError();
    char processor[] = "WinPrint";
    char raw[] = "RAW";
    PRINTER_INFO_2A info{};
    info.pPrinterName = kPrinter;
    info.pPortName = kOutput;
    info.pDriverName = kDriver;
    info.pPrintProcessor = processor;
    info.pDatatype = raw;
    HANDLE added = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    ASSERT_NE(added, nullptr) << ::GetLastError();
    ::ClosePrinter(added);
    ASSERT_TRUE(::SetDefaultPrinterA(kPrinter)) << ::GetLastError();
}

TEST(PrintOnPrinter, EveryLaidOutPageComesOut) {
    ASSERT_NO_FATAL_FAILURE(AddFilePrinter());
    std::string output;
    for (int i = 1; i <= 150; ++i) {
        output += "Line " + std::to_string(i) + " of the output\r\n";
    }
    platform::PageGrid grid;
    std::size_t laidOut = 0;
    const base::Result<> printed =
        platform::win32::Win32Printer().Print(kPrintDocumentName, [&](platform::PageGrid given) {
            grid = given;
            const auto pages = LayOutPages(PrintedReport(output, "12/6/2025 9:36:24 AM"), given);
            laidOut = pages.size();
            return pages;
        });
    const std::string postScript =
        std::filesystem::exists(kOutput) ? test::ReadFile(kOutput) : std::string();
    RemovePrinter();
    ASSERT_TRUE(printed) << printed.Reason();
    // About 9 points: a row of 70 asterisks fits, and a page takes dozens of lines.
    EXPECT_TRUE(grid.columns >= 70 && grid.columns <= 140 && grid.lines >= 40 && grid.lines <= 100)
        << grid.columns << " columns, " << grid.lines << " lines";
    ASSERT_GT(laidOut, 1u);
    // The job's title, and its trailer: the pages the driver counted, and the end of the job.
    EXPECT_NE(postScript.find("%%Title: Ombrix Report"), std::string::npos);
    EXPECT_NE(postScript.find("%%Pages: " + std::to_string(laidOut) + "\n%%EOF"), std::string::npos)
        << postScript.substr(postScript.size() > 300 ? postScript.size() - 300 : 0);
}

}  // namespace
}  // namespace ombrix::results
