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
#include "base/twips.h"
#include "drive/screen_probe.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_handles.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace ombrix::about::win32 {
namespace {

using namespace std::chrono_literals;
using platform::win32::UniqueWindow;
using test::BoxOf;
using test::FontHeight;
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

// Opens the box over `owner` with the program's call and runs `steps` on it (test::RunSteps).
bool Open(HWND owner, std::vector<test::Step> steps) {
    const bool closed =
        test::RunSteps(kAboutWindowClass, std::move(steps), [&] { ShowAboutBox(owner); });
    EXPECT_TRUE(::IsWindowEnabled(owner)) << "the main window stays disabled";
    return closed;
}

class AboutBoxTest : public ::testing::Test {
  protected:
    UniqueWindow main = test::PlainWindow();
};

// Modal, it opens with the focus on OK, turns the link red under the mouse, gives the focus back
// to the control that had it after a message box or another window, and closes on Esc.
TEST_F(AboutBoxTest, ShowsTheProgramModallyAndKeepsTheFocusThroughAMessageOrAnotherWindow) {
    EXPECT_TRUE(
        Open(main.get(),
             {[](HWND box) {
                  EXPECT_FALSE(::IsWindowEnabled(::GetWindow(box, GW_OWNER))) << "not modal";
                  EXPECT_EQ(TextOf(box), "About Ombrix");
                  const std::pair<int, const char*> texts[] = {{kAboutTitle, "Ombrix"},
                                                               {kAboutVersion, "Version 1.13.1128"},
                                                               {kAboutSiteLink, "Ombrix Home"}};
                  for (const auto& [id, text] : texts) {
                      EXPECT_EQ(TextOf(::GetDlgItem(box, id)), text);
                  }
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
              [](HWND box) {
                  HWND sysInfo = ::GetDlgItem(box, kAboutSysInfo);
                  EXPECT_EQ(::GetFocus(), sysInfo) << "after a message box";
                  EXPECT_EQ(test::FocusAfterAnotherWindow(box), sysInfo)
                      << "after another window was active";
                  ::PostMessageA(sysInfo, WM_KEYDOWN, VK_ESCAPE, 0);
              }}))
        << "Esc did not close it";
}

TEST_F(AboutBoxTest, MovedToAScreenOfAnotherDpiItLaysItselfOutAgain) {
    EXPECT_TRUE(Open(main.get(), {[](HWND box) {
                         HWND ok = ::GetDlgItem(box, kAboutOk);
                         HWND title = ::GetDlgItem(box, kAboutTitle);
                         const LONG okFont = FontHeight(ok);
                         const LONG titleFont = FontHeight(title);
                         const int dpi = platform::win32::WindowDpi(box) * 2;
                         const RECT suggested = test::MoveToDpi(box, dpi);
                         RECT now{};
                         ::GetWindowRect(box, &now);
                         EXPECT_EQ(now.left, suggested.left);
                         EXPECT_EQ(now.top, suggested.top);
                         // Laid out again in its new font, the window with it.
                         const base::LayoutScale scale = platform::win32::FontLayoutScale(
                             reinterpret_cast<HFONT>(::SendMessageA(ok, WM_GETFONT, 0, 0)), dpi);
                         RECT client{};
                         ::GetClientRect(box, &client);
                         EXPECT_EQ(client.right, scale.Across(5730));
                         EXPECT_EQ(client.bottom, scale.Down(3900));
                         EXPECT_EQ(BoxOf(ok), scale.ToPixels(base::Box{4245, 2400, 1260, 345}));
                         EXPECT_EQ(BoxOf(::GetDlgItem(box, kAboutSiteLink)),
                                   scale.ToPixels(base::Box{240, 3360, 1695, 255}));
                         // Fonts and the icon made again at twice the size, not the old ones
                         // stretched or kept.
                         EXPECT_NEAR(FontHeight(ok), okFont * 2, 1);
                         EXPECT_NEAR(FontHeight(title), titleFont * 2, 2);
                         ICONINFO icon{};
                         ASSERT_TRUE(
                             ::GetIconInfo(reinterpret_cast<HICON>(::SendDlgItemMessageA(
                                               box, kAboutIcon, STM_GETIMAGE, IMAGE_ICON, 0)),
                                           &icon));
                         BITMAP picture{};
                         ::GetObjectA(icon.hbmColor, sizeof(picture), &picture);
                         EXPECT_EQ(picture.bmWidth, ::MulDiv(32, dpi, 96));
                         ::DeleteObject(icon.hbmColor);
                         ::DeleteObject(icon.hbmMask);
                         ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                     }}));
}

TEST_F(AboutBoxTest, LinkHandsTheHomePageToTheBrowser) {
    // Wine takes the handler from HKLM; the recorder stands in for the browser, so nothing leaves
    // the machine. The old handler is put back afterwards.
    constexpr const char* kHandler = "SOFTWARE\\Classes\\https\\shell\\open\\command";
    char old[1024] = {};
    DWORD oldSize = sizeof(old);
    const bool hadOld = ::RegGetValueA(HKEY_LOCAL_MACHINE, kHandler, nullptr, RRF_RT_REG_SZ,
                                       nullptr, old, &oldSize) == ERROR_SUCCESS;
    test::ScratchDir scratch;
    const std::string browser = scratch.File("browser.exe");
    const std::string record = scratch.File("record.txt");
    std::filesystem::copy_file(test::HelperProgram("launch_recorder"), browser);
    const std::string command = "\"" + browser + "\" \"%1\"";
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kHandler, nullptr, REG_SZ, command.c_str(),
                                static_cast<DWORD>(command.size() + 1)),
              ERROR_SUCCESS);
    ::SetEnvironmentVariableA("OMBRIX_RECORD", record.c_str());
    EXPECT_TRUE(Open(main.get(), {[&](HWND box) {
                         HWND link = ::GetDlgItem(box, kAboutSiteLink);
                         ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
                         ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
                         for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i) {
                             std::this_thread::sleep_for(20ms);
                         }
                         EXPECT_EQ(std::filesystem::exists(record) ? test::ReadFile(record)
                                                                   : "not started",
                                   std::string("arg=") + HomePage() + "\n");
                         EXPECT_TRUE(::IsWindow(box));
                         ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                     }}));
    ::SetEnvironmentVariableA("OMBRIX_RECORD", nullptr);
    if (hadOld) {
        ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kHandler, nullptr, REG_SZ, old, oldSize);
    } else {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\https");
    }
}

}  // namespace
}  // namespace ombrix::about::win32
