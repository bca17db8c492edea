// The real About box, opened by the program's own call and looked at while it is up: a timer of
// the test's thread finds it inside its modal loop, inspects it and drives it through messages.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

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

struct BitmapTraits {
    static void Close(HBITMAP bitmap) { ::DeleteObject(bitmap); }
};
using UniqueBitmap = platform::win32::UniqueOwner<HBITMAP, BitmapTraits>;
struct DcTraits {
    static void Close(HDC dc) { ::DeleteDC(dc); }
};
using UniqueDc = platform::win32::UniqueOwner<HDC, DcTraits>;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

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

// How many pixels of each colour the link paints, drawn into a bitmap of its size.
struct Painted {
    int blue = 0;
    int red = 0;
};
Painted PaintedLink(HWND box) {
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
        return {};
    }
    HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
    ::SendMessageA(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()),
                   PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    ::SelectObject(dc.get(), old);
    Painted painted;
    const auto* pixel = static_cast<const std::uint32_t*>(bits);
    for (long i = 0; i < static_cast<long>(client.right) * client.bottom; ++i) {
        // 0x00RRGGBB in a 32-bit DIB.
        const std::uint32_t rgb = pixel[i] & 0xFFFFFF;
        painted.blue += rgb == 0x0000FF ? 1 : 0;
        painted.red += rgb == 0xFF0000 ? 1 : 0;
    }
    return painted;
}

// The colour the box gives the link's text, asked the way the link asks when it paints.
COLORREF LinkTextColour(HWND box) {
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    ::SetTextColor(dc.get(), RGB(1, 2, 3));
    ::SendMessageA(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                   reinterpret_cast<LPARAM>(Control(box, kAboutSiteLink)));
    return ::GetTextColor(dc.get());
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

struct Session;
thread_local Session* tSession = nullptr;

// One opening of the box: `inspect` runs while it is up; a box still open 3 s after that is
// closed by force and counted.
struct Session {
    std::function<void(HWND box)> inspect;
    HWND box = nullptr;
    bool forced = false;
    UINT_PTR watchdog = 0;

    static HWND FindBox() {
        HWND found = nullptr;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND window, LPARAM result) -> BOOL {
                char name[64] = {};
                ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
                if (std::string(name) == kAboutWindowClass) {
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static void CALLBACK Inspect(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        Session& session = *tSession;
        session.box = FindBox();
        if (session.box == nullptr) {
            ADD_FAILURE() << "the About box is not there";
            return;
        }
        session.inspect(session.box);
        session.watchdog = ::SetTimer(nullptr, 0, 3000, &Session::Force);
    }
    static void CALLBACK Force(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        Session& session = *tSession;
        session.watchdog = 0;
        if (::IsWindow(session.box)) {
            session.forced = true;
            ::PostMessageA(session.box, WM_CLOSE, 0, 0);
        }
    }
};

class AboutBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { main = MakeMainWindow(200, 150); }

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
        Session session{std::move(inspect)};
        tSession = &session;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &Session::Inspect);
        ShowAboutBox(owner);
        ::KillTimer(nullptr, timer);
        if (session.watchdog != 0) {
            ::KillTimer(nullptr, session.watchdog);
        }
        tSession = nullptr;
        EXPECT_NE(session.box, nullptr) << "never shown";
        EXPECT_FALSE(::IsWindow(session.box)) << "still there after its call returned";
        EXPECT_TRUE(::IsWindowEnabled(owner)) << "the main window stays disabled";
        return !session.forced;
    }
    bool Open(std::function<void(HWND box)> inspect) { return Open(main.get(), inspect); }

    static void PressOk(HWND box) { ::PostMessageA(Control(box, kAboutOk), BM_CLICK, 0, 0); }

    UniqueWindow main;
};

TEST_F(AboutBoxTest, ShowsTheProgramsIdentity) {
    EXPECT_TRUE(Open([](HWND box) {
        EXPECT_EQ(TextOf(box), "About Ombrix");
        EXPECT_EQ(TextOf(Control(box, kAboutTitle)), "Ombrix");
        EXPECT_EQ(TextOf(Control(box, kAboutVersion)), "Version 1.13.1128");
        EXPECT_EQ(TextOf(Control(box, kAboutDescription)),
                  "Ombrix provides a GUI Frontend for Microsoft's UPTIME.EXE utility.");
        EXPECT_GT(TextOf(Control(box, kAboutDisclaimer)).size(), 40u);
        EXPECT_EQ(TextOf(Control(box, kAboutSiteLink)), "Ombrix Home");
        EXPECT_EQ(TextOf(Control(box, kAboutOk)), "OK");
        EXPECT_EQ(TextOf(Control(box, kAboutSysInfo)), "&System Info...");
        EXPECT_NE(::SendMessageA(Control(box, kAboutIcon), STM_GETICON, 0, 0), 0)
            << "the program's icon";
        EXPECT_FALSE(::IsWindowEnabled(::GetWindow(box, GW_OWNER))) << "modal";

        // Only the link is underlined, and it starts blue.
        for (int id : {kAboutSiteLink, kAboutTitle, kAboutVersion, kAboutDisclaimer}) {
            LOGFONTA font{};
            ::GetObjectA(
                reinterpret_cast<HFONT>(::SendMessageA(Control(box, id), WM_GETFONT, 0, 0)),
                sizeof(font), &font);
            EXPECT_EQ(font.lfUnderline != 0, id == kAboutSiteLink) << "control " << id;
        }
        EXPECT_EQ(LinkTextColour(box), kBlue);
        const Painted painted = PaintedLink(box);
        EXPECT_GT(painted.blue, 10);
        EXPECT_EQ(painted.red, 0);
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
            const double left =
                mainRect.left +
                ((mainRect.right - mainRect.left) - (outer.right - outer.left)) / 2.0;
            const double top =
                mainRect.top +
                ((mainRect.bottom - mainRect.top) - (outer.bottom - outer.top)) / 2.0;
            EXPECT_LE(std::abs(outer.left - left), 0.5) << outer.left << " for " << left;
            EXPECT_LE(std::abs(outer.top - top), 0.5) << outer.top << " for " << top;
            // 5730 by 3900 twips at the box's DPI.
            const int dpi = platform::win32::WindowDpi(box);
            EXPECT_EQ(client.right, ::MulDiv(5730, dpi, 1440));
            EXPECT_EQ(client.bottom, ::MulDiv(3900, dpi, 1440));
            PressOk(box);
        })) << corner.x;
    }
}

TEST_F(AboutBoxTest, EnterEscOkAndTheCloseBoxCloseIt) {
    const std::map<std::string, std::function<void(HWND)>> closings = {
        {"Enter",
         [](HWND box) {
             HWND focus = ::GetFocus();
             ::PostMessageA(focus != nullptr ? focus : box, WM_KEYDOWN, VK_RETURN, 0);
         }},
        {"Esc",
         [](HWND box) {
             HWND focus = ::GetFocus();
             ::PostMessageA(focus != nullptr ? focus : box, WM_KEYDOWN, VK_ESCAPE, 0);
         }},
        {"OK", [](HWND box) { PressOk(box); }},
        {"close box", [](HWND box) { ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [how, close] : closings) {
        EXPECT_TRUE(Open(close)) << how << " did not close it";
    }
}

TEST_F(AboutBoxTest, LinkTurnsRedOverItAndBlueOnlyOverTheBackgroundOrTheDisclaimer) {
    EXPECT_TRUE(Open([](HWND box) {
        struct Step {
            const char* over;
            std::function<void()> move;
            COLORREF colour;
        };
        const std::vector<Step> steps = {
            {"link", [&] { MoveMouseOver(Control(box, kAboutSiteLink)); }, kRed},
            {"OK", [&] { MoveMouseOver(Control(box, kAboutOk)); }, kRed},
            {"System Info", [&] { MoveMouseOver(Control(box, kAboutSysInfo)); }, kRed},
            {"title", [&] { MoveMouseOver(Control(box, kAboutTitle)); }, kRed},
            {"version", [&] { MoveMouseOver(Control(box, kAboutVersion)); }, kRed},
            {"description", [&] { MoveMouseOver(Control(box, kAboutDescription)); }, kRed},
            {"icon", [&] { MoveMouseOver(Control(box, kAboutIcon)); }, kRed},
            {"background", [&] { MoveMouseOver(box, BackgroundPoint(box)); }, kBlue},
            {"link", [&] { MoveMouseOver(Control(box, kAboutSiteLink)); }, kRed},
            {"disclaimer", [&] { MoveMouseOver(Control(box, kAboutDisclaimer)); }, kBlue},
            {"title", [&] { MoveMouseOver(Control(box, kAboutTitle)); }, kBlue},
            {"link", [&] { MoveMouseOver(Control(box, kAboutSiteLink)); }, kRed},
        };
        for (const Step& step : steps) {
            step.move();
            EXPECT_EQ(LinkTextColour(box), step.colour) << "after moving over the " << step.over;
            const Painted painted = PaintedLink(box);
            EXPECT_GT(step.colour == kRed ? painted.red : painted.blue, 10) << step.over;
            EXPECT_EQ(step.colour == kRed ? painted.blue : painted.red, 0) << step.over;
        }
        PressOk(box);
    }));
}

TEST_F(AboutBoxTest, LinkCarriesItsOwnCursor) {
    HCURSOR linkCursor = ::LoadCursorA(::GetModuleHandleA(nullptr), kLinkCursorName);
    ASSERT_NE(linkCursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(linkCursor, &info));
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colour(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 1u);

    EXPECT_TRUE(Open([&](HWND box) {
        const auto cursorOver = [](HWND window) {
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
            ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            return ::GetCursor();
        };
        EXPECT_EQ(cursorOver(Control(box, kAboutSiteLink)), linkCursor);
        for (int id : {kAboutDisclaimer, kAboutTitle, kAboutOk}) {
            EXPECT_NE(cursorOver(Control(box, id)), linkCursor) << "control " << id;
        }
        EXPECT_NE(cursorOver(box), linkCursor) << "background";
        PressOk(box);
    }));
}

TEST_F(AboutBoxTest, OpenedAgainItIsFreshAndTheLinkBlue) {
    std::vector<std::string> first;
    const auto texts = [](HWND box) {
        std::vector<std::string> all{TextOf(box)};
        for (int id : {kAboutTitle, kAboutVersion, kAboutDescription, kAboutDisclaimer,
                       kAboutSiteLink, kAboutOk, kAboutSysInfo}) {
            all.push_back(TextOf(Control(box, id)));
        }
        return all;
    };
    HWND firstBox = nullptr;
    EXPECT_TRUE(Open([&](HWND box) {
        firstBox = box;
        first = texts(box);
        MoveMouseOver(Control(box, kAboutSiteLink));
        EXPECT_EQ(LinkTextColour(box), kRed);
        PressOk(box);
    }));
    EXPECT_TRUE(Open([&](HWND box) {
        EXPECT_FALSE(::IsWindow(firstBox));
        EXPECT_EQ(texts(box), first);
        EXPECT_EQ(LinkTextColour(box), kBlue);
        EXPECT_EQ(PaintedLink(box).red, 0);
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
        EXPECT_EQ(watcher.shown[0].title, "Ombrix");
        EXPECT_FALSE(watcher.shown[0].icon);
        EXPECT_EQ(watcher.shown[0].buttons, 1);
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
        ::SetEnvironmentVariableA("OMBRIX_RECORD", nullptr);
        ASSERT_TRUE(started);
        EXPECT_TRUE(abouttest::SamePath(started->program, tool)) << started->program;
        EXPECT_TRUE(::IsWindow(box));
        PressOk(box);
    }));
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
