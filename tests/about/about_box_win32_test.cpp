// The real About box, opened by the program's own call and driven from inside its modal loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "about/about_form.h"
#include "about/win32/about_box.h"
#include "about/win32/about_box_ids.h"
#include "drive/screen_probe.h"
#include "platform/win32/window_handles.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace ombrix::about::win32 {
namespace {

using namespace std::chrono_literals;
using platform::win32::UniqueWindow;
using test::TextOf;

constexpr std::uint32_t kBlue = 0x0000FF;  // 0xRRGGBB, as a 32-bit DIB holds it
constexpr std::uint32_t kRed = 0xFF0000;

// kBlue or kRed when the link shows itself in that colour only, else 0.
std::uint32_t LinkColour(HWND box) {
    HWND link = ::GetDlgItem(box, kAboutSiteLink);
    ::RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<std::uint32_t> pixels = drive::Grab(drive::ControlArea(link, 0));
    const auto blue = std::count(pixels.begin(), pixels.end(), kBlue);
    const auto red = std::count(pixels.begin(), pixels.end(), kRed);
    return blue > 10 && red == 0 ? kBlue : red > 10 && blue == 0 ? kRed : 0;
}

// Modal, it opens with the focus on OK, turns the link red under the mouse, says System
// Information is missing, hands the home page to the browser and closes on Esc. Wine takes the
// browser from HKLM; a recorder stands in for it, so nothing leaves the machine, and the old
// handler is put back afterwards.
TEST(AboutBox, ShowsTheProgramModallyAndHandsTheHomePageToTheBrowser) {
    constexpr const char* kHandler = "SOFTWARE\\Classes\\https\\shell\\open\\command";
    char old[1024] = {};
    DWORD oldSize = sizeof(old);
    const bool hadOld = ::RegGetValueA(HKEY_LOCAL_MACHINE, kHandler, nullptr, RRF_RT_REG_SZ,
                                       nullptr, old, &oldSize) == ERROR_SUCCESS;
    test::ScratchDir scratch;
    const std::string record = scratch.File("record.txt");
    const std::string command = "\"" + test::HelperProgram("launch_recorder") + "\" \"%1\"";
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kHandler, nullptr, REG_SZ, command.c_str(),
                                static_cast<DWORD>(command.size() + 1)),
              ERROR_SUCCESS);
    ::SetEnvironmentVariableA("OMBRIX_RECORD", record.c_str());
    const UniqueWindow main = test::PlainWindow();
    EXPECT_TRUE(test::RunSteps(
        kAboutWindowClass,
        {[](HWND box) {
             EXPECT_FALSE(::IsWindowEnabled(::GetWindow(box, GW_OWNER))) << "not modal";
             EXPECT_EQ(TextOf(box), "About Ombrix");
             EXPECT_EQ(TextOf(::GetDlgItem(box, kAboutVersion)), "Version 1.13.1128");
             EXPECT_EQ(LinkColour(box), kBlue);
             // Over the link, another control, the disclaimer, the link and the box's
             // background (0).
             const std::pair<int, std::uint32_t> moves[] = {{kAboutSiteLink, kRed},
                                                            {kAboutTitle, kRed},
                                                            {kAboutDisclaimer, kBlue},
                                                            {kAboutSiteLink, kRed},
                                                            {0, kBlue}};
             for (const auto& [id, colour] : moves) {
                 ::SendMessageA(id == 0 ? box : ::GetDlgItem(box, id), WM_MOUSEMOVE, 0,
                                MAKELPARAM(id == 0 ? 1 : 2, id == 0 ? 1 : 2));
                 EXPECT_EQ(LinkColour(box), colour) << "after moving over control " << id;
             }
             HWND focus = ::GetFocus();
             EXPECT_EQ(focus, ::GetDlgItem(box, kAboutOk));
             ::PostMessageA(focus != nullptr ? focus : box, WM_KEYDOWN, VK_TAB, 1);
         },
         [](HWND box) {
             ASSERT_EQ(::GetFocus(), ::GetDlgItem(box, kAboutSysInfo));
             // No System Information tool in the prefix: a message box says so.
             ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(kAboutSysInfo, BN_CLICKED), 0);
         },
         test::When("#32770", nullptr,
                    [](HWND message) { ::PostMessageA(message, WM_COMMAND, IDOK, 0); }),
         test::When("#32770", nullptr, {}),
         [&](HWND box) {
             HWND link = ::GetDlgItem(box, kAboutSiteLink);
             ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
             ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
             for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i) {
                 std::this_thread::sleep_for(20ms);
             }
             EXPECT_EQ(std::filesystem::exists(record) ? test::ReadFile(record) : "not started",
                       std::string("arg=") + HomePage() + "\n");
             EXPECT_TRUE(::IsWindow(box));
             ::PostMessageA(::GetDlgItem(box, kAboutSysInfo), WM_KEYDOWN, VK_ESCAPE, 0);
         }},
        [&] { ShowAboutBox(main.get()); }))
        << "Esc did not close it";
    EXPECT_TRUE(::IsWindowEnabled(main.get())) << "the main window stays disabled";
    ::SetEnvironmentVariableA("OMBRIX_RECORD", nullptr);
    if (hadOld) {
        ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kHandler, nullptr, REG_SZ, old, oldSize);
    } else {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\https");
    }
}

}  // namespace
}  // namespace ombrix::about::win32
