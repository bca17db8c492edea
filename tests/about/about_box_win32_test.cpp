// The real About box, opened by the program's own call and looked at while it is up: a timer of
// the test's thread finds it inside its modal loop, inspects it and drives it through messages.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "about/about_form.h"
#include "about/win32/about_box.h"
#include "about/win32/about_box_ids.h"
#include "about/win32_about_support.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_handles.h"
#include "support/test_support.h"

namespace ombrix::about::win32 {
namespace {

using abouttest::RegistryValueGuard;
using platform::win32::UniqueWindow;
using UniqueBitmap = platform::win32::UniqueOwner<HBITMAP, platform::win32::GdiTraits>;
struct DcTraits {
    static void Close(HDC dc) { ::DeleteDC(dc); }
};
using UniqueDc = platform::win32::UniqueOwner<HDC, DcTraits>;

constexpr std::uint32_t kBlue = 0x0000FF;  // 0xRRGGBB, as a 32-bit DIB holds it
constexpr std::uint32_t kRed = 0xFF0000;

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, static_cast<int>(sizeof(text)));
    return text;
}

HWND Control(HWND box, int id) {
    HWND control = ::GetDlgItem(box, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

// kBlue or kRed when the link paints itself in that colour only (some pixels), else 0.
std::uint32_t LinkColour(HWND box) {
    HWND link = Control(box, kAboutSiteLink);
    RECT client{};
    ::GetClientRect(link, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap) {
        ADD_FAILURE() << "no bitmap to paint into";
        return 0;
    }
    HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
    ::SendMessageA(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()),
                   PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    ::SelectObject(dc.get(), old);
    int blue = 0;
    int red = 0;
    const auto* pixel = static_cast<const std::uint32_t*>(bits);
    for (long i = 0; i < static_cast<long>(client.right) * client.bottom; ++i) {
        blue += (pixel[i] & 0xFFFFFF) == kBlue ? 1 : 0;
        red += (pixel[i] & 0xFFFFFF) == kRed ? 1 : 0;
    }
    return blue > 10 && red == 0 ? kBlue : red > 10 && blue == 0 ? kRed : 0;
}

void MoveMouseOver(HWND window, POINT at = {2, 2}) {
    ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
}

// A point of the box's client area that no control covers.
POINT BackgroundPoint(HWND box) {
    RECT client{};
    ::GetClientRect(box, &client);
    for (int y = 1; y < client.bottom; y += 3) {
        for (int x = 1; x < client.right; x += 3) {
            if (::ChildWindowFromPointEx(box, POINT{x, y}, CWP_SKIPINVISIBLE) == box) {
                return {x, y};
            }
        }
    }
    ADD_FAILURE() << "no background";
    return {0, 0};
}

void ExpectIdentity(HWND box) {
    EXPECT_EQ(TextOf(box), "About Ombrix");
    const std::pair<int, const char*> texts[] = {
        {kAboutTitle, "Ombrix"},
        {kAboutVersion, "Version 1.13.1128"},
        {kAboutDescription, "Ombrix provides a GUI Frontend for Microsoft's UPTIME.EXE utility."},
        {kAboutSiteLink, "Ombrix Home"},
    };
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(TextOf(Control(box, id)), text);
    }
    EXPECT_GT(TextOf(Control(box, kAboutDisclaimer)).size(), 40u);
    EXPECT_EQ(LinkColour(box), kBlue);
}

// One opening of the box: a timer finds it inside its modal loop and runs `tInspect`; a box still
// open 5 s after the opening (and after the inspection) is closed by force.
thread_local std::function<void(HWND box)> tInspect;
thread_local HWND tBox = nullptr;
thread_local bool tForced = false;

void CALLBACK Inspect(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    tBox = ::FindWindowA(kAboutWindowClass, nullptr);
    if (tBox == nullptr || ::GetWindowThreadProcessId(tBox, nullptr) != ::GetCurrentThreadId()) {
        ADD_FAILURE() << "the About box is not there";
        return;
    }
    tInspect(tBox);
}

void CALLBACK Force(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    tForced = ::IsWindow(tBox) != FALSE;
    ::PostMessageA(tBox, WM_CLOSE, 0, 0);
}

class AboutBoxTest : public ::testing::Test {
  protected:
    static UniqueWindow MakeMainWindow(int left, int top) {
        UniqueWindow window(::CreateWindowExA(0, "STATIC", "Ombrix", WS_OVERLAPPEDWINDOW, left, top,
                                              640, 480, nullptr, nullptr,
                                              ::GetModuleHandleA(nullptr), nullptr));
        ::ShowWindow(window.get(), SW_SHOWNORMAL);
        return window;
    }

    // Opens the box over `owner` with the program's call; returns once it is closed. False when
    // it had to be closed by force.
    bool Open(HWND owner, std::function<void(HWND box)> inspect) {
        tInspect = std::move(inspect);
        tBox = nullptr;
        tForced = false;
        const UINT_PTR timers[] = {::SetTimer(nullptr, 0, 10, &Inspect),
                                   ::SetTimer(nullptr, 0, 5000, &Force)};
        ShowAboutBox(owner);
        for (UINT_PTR timer : timers) {
            ::KillTimer(nullptr, timer);
        }
        EXPECT_NE(tBox, nullptr) << "never shown";
        EXPECT_FALSE(::IsWindow(tBox)) << "still there after its call returned";
        EXPECT_TRUE(::IsWindowEnabled(owner)) << "the main window stays disabled";
        return !tForced;
    }
    bool Open(std::function<void(HWND box)> inspect) { return Open(main.get(), inspect); }

    static void PressOk(HWND box) { ::PostMessageA(Control(box, kAboutOk), BM_CLICK, 0, 0); }

    UniqueWindow main = MakeMainWindow(200, 150);
};

TEST_F(AboutBoxTest, ShowsTheProgramsIdentityModallyWithAnUnderlinedLinkAndItsCursor) {
    HCURSOR linkCursor = ::LoadCursorA(::GetModuleHandleA(nullptr), kLinkCursorName);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(linkCursor, &info));
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colour(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 1u);
    EXPECT_TRUE(Open([&](HWND box) {
        ExpectIdentity(box);
        EXPECT_NE(::SendMessageA(Control(box, kAboutIcon), STM_GETICON, 0, 0), 0)
            << "the program's icon";
        EXPECT_FALSE(::IsWindowEnabled(::GetWindow(box, GW_OWNER))) << "modal";
        for (int id : {kAboutSiteLink, kAboutTitle, kAboutVersion, kAboutDisclaimer}) {
            LOGFONTA font{};
            ::GetObjectA(
                reinterpret_cast<HFONT>(::SendMessageA(Control(box, id), WM_GETFONT, 0, 0)),
                sizeof(font), &font);
            EXPECT_EQ(font.lfUnderline != 0, id == kAboutSiteLink) << "control " << id;
        }
        for (HWND over : {Control(box, kAboutSiteLink), Control(box, kAboutDisclaimer),
                          Control(box, kAboutOk), box}) {
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
            ::SendMessageA(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(::GetCursor() == linkCursor, over == Control(box, kAboutSiteLink))
                << "over control " << ::GetDlgCtrlID(over);
        }
        PressOk(box);
    }));
}

TEST_F(AboutBoxTest, IsCentredOverTheMainWindowEvenBeyondTheScreen) {
    for (const POINT corner : {POINT{200, 150}, POINT{-450, -380}}) {
        UniqueWindow owner = MakeMainWindow(corner.x, corner.y);
        EXPECT_TRUE(Open(owner.get(), [&](HWND box) {
            RECT outer{};
            RECT mainRect{};
            RECT client{};
            ::GetWindowRect(box, &outer);
            ::GetWindowRect(owner.get(), &mainRect);
            ::GetClientRect(box, &client);
            EXPECT_LE(std::abs(outer.left + outer.right - mainRect.left - mainRect.right), 1);
            EXPECT_LE(std::abs(outer.top + outer.bottom - mainRect.top - mainRect.bottom), 1);
            // 5730 by 3900 twips at the box's DPI.
            const int dpi = platform::win32::WindowDpi(box);
            EXPECT_EQ(client.right, ::MulDiv(5730, dpi, 1440));
            EXPECT_EQ(client.bottom, ::MulDiv(3900, dpi, 1440));
            PressOk(box);
        })) << corner.x;
    }
}

TEST_F(AboutBoxTest, EnterEscOkAndTheCloseBoxCloseIt) {
    const auto key = [](WPARAM vk) {
        return [vk](HWND box) {
            HWND focus = ::GetFocus();
            ::PostMessageA(focus != nullptr ? focus : box, WM_KEYDOWN, vk, 0);
        };
    };
    const std::pair<const char*, std::function<void(HWND)>> closings[] = {
        {"Enter", key(VK_RETURN)},
        {"Esc", key(VK_ESCAPE)},
        {"OK", &PressOk},
        {"close box", [](HWND box) { ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [how, close] : closings) {
        EXPECT_TRUE(Open(close)) << how << " did not close it";
    }
}

TEST_F(AboutBoxTest, LinkTurnsRedOverItBlueOverTheBackgroundOrDisclaimerAndBlueWhenOpenedAgain) {
    HWND firstBox = nullptr;
    EXPECT_TRUE(Open([&](HWND box) {
        firstBox = box;
        const std::pair<HWND, std::uint32_t> steps[] = {
            {Control(box, kAboutSiteLink), kRed}, {Control(box, kAboutOk), kRed},
            {Control(box, kAboutTitle), kRed},    {box, kBlue},
            {Control(box, kAboutSiteLink), kRed}, {Control(box, kAboutDisclaimer), kBlue},
            {Control(box, kAboutTitle), kBlue},   {Control(box, kAboutSiteLink), kRed}};
        for (const auto& [over, colour] : steps) {
            MoveMouseOver(over, over == box ? BackgroundPoint(box) : POINT{2, 2});
            EXPECT_EQ(LinkColour(box), colour)
                << "after moving over control " << ::GetDlgCtrlID(over);
        }
        PressOk(box);
    }));
    EXPECT_TRUE(Open([&](HWND box) {
        EXPECT_FALSE(::IsWindow(firstBox));
        ExpectIdentity(box);
        PressOk(box);
    }));
}

TEST_F(AboutBoxTest, SystemInfoStartsTheToolOrSaysItIsUnavailableAndTheBoxStaysOpen) {
    RegistryValueGuard path("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH");
    RegistryValueGuard folder("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
    path.Remove();
    folder.Remove();
    abouttest::MessageBoxWatcher watcher;
    EXPECT_TRUE(Open([&](HWND box) {
        ::SendMessageA(Control(box, kAboutSysInfo), BM_CLICK, 0, 0);
        ASSERT_EQ(watcher.shown.size(), 1u);
        EXPECT_EQ(watcher.shown[0].text, "System Information Is Unavailable At This Time");
        EXPECT_TRUE(::IsWindow(box));
        PressOk(box);
    }));

    test::ScratchDir scratch;
    const std::string record = scratch.File("record.txt");
    const std::string tool = scratch.File("MSInfo\\msinfo32.exe");
    abouttest::InstallRecorder(tool);
    path.SetText(tool);
    ::SetEnvironmentVariableA("OMBRIX_RECORD", record.c_str());
    EXPECT_TRUE(Open([&](HWND box) {
        ::SendMessageA(Control(box, kAboutSysInfo), BM_CLICK, 0, 0);
        const auto started = abouttest::WaitForRecord(record);
        ASSERT_TRUE(started);
        EXPECT_TRUE(abouttest::SamePath(started->program, tool)) << started->program;
        EXPECT_TRUE(::IsWindow(box));
        PressOk(box);
    }));
    ::SetEnvironmentVariableA("OMBRIX_RECORD", nullptr);
    EXPECT_EQ(watcher.shown.size(), 1u) << "no message when the tool starts";
}

TEST_F(AboutBoxTest, LinkHandsTheHomePageToTheBrowser) {
    // Wine takes the handler from HKLM (HKCR); the recorder stands in for the browser, so nothing
    // leaves the machine.
    RegistryValueGuard handler("SOFTWARE\\Classes\\https\\shell\\open\\command", "");
    test::ScratchDir scratch;
    const std::string browser = scratch.File("browser.exe");
    const std::string record = scratch.File("record.txt");
    abouttest::InstallRecorder(browser);
    handler.SetText("\"" + browser + "\" \"%1\"");
    ::SetEnvironmentVariableA("OMBRIX_RECORD", record.c_str());
    EXPECT_TRUE(Open([&](HWND box) {
        HWND link = Control(box, kAboutSiteLink);
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        const auto opened = abouttest::WaitForRecord(record);
        ASSERT_TRUE(opened) << "the browser was not started";
        EXPECT_EQ(opened->args, std::vector<std::string>{HomePage()});
        EXPECT_TRUE(::IsWindow(box));
        PressOk(box);
    }));
    ::SetEnvironmentVariableA("OMBRIX_RECORD", nullptr);
}

}  // namespace
}  // namespace ombrix::about::win32
