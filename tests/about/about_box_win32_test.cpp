// The real About box, opened by the program's own call: a timer of the test's thread finds it
// inside its modal loop, looks at it and drives it through messages.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "about/about_form.h"
#include "about/win32/about_box.h"
#include "about/win32/about_box_ids.h"
#include "base/twips.h"
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

constexpr std::uint32_t kBlue = 0x0000FF;  // 0xRRGGBB, as a 32-bit DIB holds it
constexpr std::uint32_t kRed = 0xFF0000;

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, static_cast<int>(sizeof(text)));
    return text;
}

// kBlue or kRed when the link paints itself in that colour only, else 0.
std::uint32_t LinkColour(HWND box) {
    HWND link = ::GetDlgItem(box, kAboutSiteLink);
    RECT client{};
    ::GetClientRect(link, &client);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(info.bmiHeader), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::SendMessageA(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    int blue = 0;
    int red = 0;
    for (long i = 0; bits != nullptr && i < long{client.right} * client.bottom; ++i) {
        const std::uint32_t pixel = static_cast<const std::uint32_t*>(bits)[i] & 0xFFFFFF;
        blue += pixel == kBlue ? 1 : 0;
        red += pixel == kRed ? 1 : 0;
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return blue > 10 && red == 0 ? kBlue : red > 10 && blue == 0 ? kRed : 0;
}

using Step = std::function<void(HWND box)>;

thread_local std::vector<Step> tSteps;
thread_local std::size_t tNext = 0;
thread_local HWND tBox = nullptr;
thread_local int tTicks = 0;

// Opens the box over `owner` with the program's call: a timer finds it, runs one of `steps` on it
// a tick (in whatever loop runs then) and closes it by force about 5 s after the opening. True
// when it was shown and closed without force.
bool Open(HWND owner, std::vector<Step> steps) {
    tSteps = std::move(steps);
    tNext = 0;
    tBox = nullptr;
    tTicks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        if (++tTicks == 1) {
            tBox = ::FindWindowA(kAboutWindowClass, nullptr);
        }
        if (tBox != nullptr && tNext < tSteps.size()) {
            const std::size_t step = tNext++;  // a step may open a loop that ticks again
            tSteps[step](tBox);
        } else if (tTicks == 500) {
            ::PostMessageA(tBox, WM_CLOSE, 0, 0);
        }
    });
    ShowAboutBox(owner);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(::IsWindowEnabled(owner)) << "the main window stays disabled";
    return tBox != nullptr && tTicks < 500;
}
bool Open(HWND owner, Step inspect) {
    return Open(owner, std::vector<Step>{std::move(inspect)});
}

// The message box of this thread on screen, or null.
HWND MessageBoxShown() {
    HWND box = ::FindWindowA("#32770", nullptr);
    return box != nullptr && ::IsWindowVisible(box) ? box : nullptr;
}

class AboutBoxTest : public ::testing::Test {
  protected:
    UniqueWindow main{::CreateWindowExA(0, "STATIC", "Ombrix", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        200, 150, 640, 480, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr)};
};

TEST_F(AboutBoxTest, ShowsTheProgramModallyTurnsTheLinkRedOverItAndClosesOnEsc) {
    EXPECT_TRUE(Open(main.get(), [](HWND box) {
        EXPECT_FALSE(::IsWindowEnabled(::GetWindow(box, GW_OWNER))) << "not modal";
        EXPECT_EQ(TextOf(box), "About Ombrix");
        const std::pair<int, const char*> texts[] = {{kAboutTitle, "Ombrix"},
                                                     {kAboutVersion, "Version 1.13.1128"},
                                                     {kAboutSiteLink, "Ombrix Home"}};
        for (const auto& [id, text] : texts) {
            EXPECT_EQ(TextOf(::GetDlgItem(box, id)), text);
        }
        EXPECT_EQ(LinkColour(box), kBlue);
        // Over the link, another control, the disclaimer, the link and the box's background (0).
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
        ::PostMessageA(focus != nullptr ? focus : box, WM_KEYDOWN, VK_ESCAPE, 0);
    })) << "Esc did not close it";
}

// The box opens with the focus on OK; after a message box or another window it comes back to the
// control that had it.
TEST_F(AboutBoxTest, OpensOnOkAndTheFocusComesBackAfterAMessageOrAnotherWindow) {
    EXPECT_TRUE(Open(main.get(),
                     {[](HWND box) {
                          HWND focus = ::GetFocus();
                          EXPECT_EQ(focus, ::GetDlgItem(box, kAboutOk));
                          ::PostMessageA(focus != nullptr ? focus : box, WM_KEYDOWN, VK_TAB, 1);
                      },
                      [](HWND box) {
                          ASSERT_EQ(::GetFocus(), ::GetDlgItem(box, kAboutSysInfo));
                          // No System Information tool in the prefix: a message box says so.
                          ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(kAboutSysInfo, BN_CLICKED), 0);
                      },
                      [](HWND) {
                          if (HWND message = MessageBoxShown()) {
                              ::PostMessageA(message, WM_COMMAND, IDOK, 0);
                          } else {
                              --tNext;  // again at the next tick
                          }
                      },
                      [](HWND box) {
                          if (MessageBoxShown() != nullptr) {
                              --tNext;
                              return;
                          }
                          HWND sysInfo = ::GetDlgItem(box, kAboutSysInfo);
                          EXPECT_EQ(::GetFocus(), sysInfo) << "after a message box";
                          const test::OtherWindow other;
                          other.Activate();
                          EXPECT_NE(::GetActiveWindow(), box);
                          ::SetForegroundWindow(box);
                          EXPECT_EQ(::GetFocus(), sysInfo) << "after another window was active";
                          ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                      }}));
}

TEST_F(AboutBoxTest, MovedToAScreenOfAnotherDpiItLaysItselfOutAgain) {
    EXPECT_TRUE(Open(main.get(), [](HWND box) {
        HWND ok = ::GetDlgItem(box, kAboutOk);
        HWND title = ::GetDlgItem(box, kAboutTitle);
        const LONG okFont = FontHeight(ok);
        const LONG titleFont = FontHeight(title);
        const int dpi = platform::win32::WindowDpi(box) * 2;
        RECT suggested{};
        ::GetWindowRect(box, &suggested);
        suggested.right += suggested.right - suggested.left;
        suggested.bottom += suggested.bottom - suggested.top;
        ::SendMessageA(box, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
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
        // Fonts and the icon made again at twice the size, not the old ones stretched or kept.
        EXPECT_NEAR(FontHeight(ok), okFont * 2, 1);
        EXPECT_NEAR(FontHeight(title), titleFont * 2, 2);
        ICONINFO icon{};
        ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(::SendDlgItemMessageA(
                                      box, kAboutIcon, STM_GETIMAGE, IMAGE_ICON, 0)),
                                  &icon));
        BITMAP picture{};
        ::GetObjectA(icon.hbmColor, sizeof(picture), &picture);
        EXPECT_EQ(picture.bmWidth, ::MulDiv(32, dpi, 96));
        ::DeleteObject(icon.hbmColor);
        ::DeleteObject(icon.hbmMask);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }));
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
    EXPECT_TRUE(Open(main.get(), [&](HWND box) {
        HWND link = ::GetDlgItem(box, kAboutSiteLink);
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i) {
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_EQ(std::filesystem::exists(record) ? test::ReadFile(record) : "not started",
                  std::string("arg=") + HomePage() + "\n");
        EXPECT_TRUE(::IsWindow(box));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }));
    ::SetEnvironmentVariableA("OMBRIX_RECORD", nullptr);
    if (hadOld) {
        ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kHandler, nullptr, REG_SZ, old, oldSize);
    } else {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\https");
    }
}

}  // namespace
}  // namespace ombrix::about::win32
