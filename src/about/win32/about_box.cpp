#include "about/win32/about_box.h"

#include <commctrl.h>

#include <map>
#include <memory>
#include <string>

#include "about/about_form.h"
#include "about/sys_info.h"
#include "about/win32/about_box_ids.h"
#include "base/twips.h"
#include "platform/dialogs.h"
#include "platform/process_files.h"
#include "platform/win32/centred_window.h"
#include "platform/win32/dpi.h"
#include "platform/win32/focus_memory.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/modal_loop.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/window_handles.h"
#include "platform/win32/window_procedure.h"
#include "shared/shared_routines.h"

namespace ombrix::about::win32 {
namespace {

constexpr int kClientWidth = 5730;  // twips
constexpr int kClientHeight = 3900;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kIconPixels = 32;  // at 96 DPI
constexpr UINT_PTR kLabelSubclass = 1;

struct IconTraits {
    static void Close(HICON icon) { ::DestroyIcon(icon); }
};
using UniqueIcon = platform::win32::UniqueOwner<HICON, IconTraits>;

enum class Kind { Button, DefaultButton, Label, Icon, Line };

struct ControlDesign {
    int id;
    Kind kind;
    base::Box twips;  // in the client area
};

// In tab order: OK first, so that it has the focus.
constexpr ControlDesign kControls[] = {
    {kAboutOk, Kind::DefaultButton, {4245, 2400, 1260, 345}},
    {kAboutIcon, Kind::Icon, {600, 240, 540, 540}},
    {kAboutSysInfo, Kind::Button, {4260, 3120, 1245, 345}},
    {kAboutDescription, Kind::Label, {1680, 1125, 3885, 450}},
    // Ends above the link, so that the two never overlap.
    {kAboutDisclaimer, Kind::Label, {240, 2040, 3870, 1260}},
    {kAboutTitle, Kind::Label, {1680, 240, 3885, 480}},
    {kAboutVersion, Kind::Label, {1680, 780, 3885, 225}},
    {kAboutSiteLink, Kind::Label, {240, 3360, 1695, 255}},
    // The etched separator: a grey and a white line together, two pixels high.
    {kAboutLine, Kind::Line, {105, 1800, 5580, 30}},
};

RECT PixelRect(const ControlDesign& design, int dpi) {
    RECT r = platform::win32::PixelRect(design.twips, dpi);
    if (design.kind == Kind::Line) {
        r.bottom = r.top + 2;
    }
    return r;
}

class AboutBox final : public AboutView {
  public:
    explicit AboutBox(HWND mainWindow) : mainWindow_(mainWindow) {}
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;
    ~AboutBox() override = default;

    void ShowModal();

    void SetText(AboutText item, const std::string& text) override;
    void SetLinkColour(std::uint32_t colour) override;

    // Used by the window procedure and the labels' subclass.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclass, DWORD_PTR self) noexcept;

  private:
    bool Create();
    void CreateControls();
    // Fonts, icon and positions for dpi_.
    void ApplyDpi();
    void SysInfo();
    void Close();

    HWND mainWindow_;
    std::uint32_t linkColour_ = kLinkNormalColour;
    HCURSOR linkCursor_ = nullptr;  // shared with the module: never destroyed
    std::map<int, HWND> controls_;
    int dpi_ = 96;
    platform::win32::FocusMemory focus_;

    // The window goes first, then what it used.
    UniqueIcon icon_;
    platform::win32::UniqueFont font_;
    platform::win32::UniqueFont titleFont_;
    platform::win32::UniqueFont linkFont_;
    platform::win32::Win32MessageBoxes messages_;
    std::unique_ptr<AboutForm> form_;
    platform::win32::UniqueWindow window_;
};

platform::win32::UniqueFont DerivedFont(HFONT base, int heightPercent, bool bold, bool underline) {
    LOGFONTA font{};
    ::GetObjectA(base, sizeof(font), &font);
    font.lfHeight = ::MulDiv(font.lfHeight, heightPercent, 100);
    if (bold) {
        font.lfWeight = FW_BOLD;
    }
    font.lfUnderline = underline ? TRUE : FALSE;
    return platform::win32::UniqueFont(::CreateFontIndirectA(&font));
}

bool AboutBox::Create() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HICON classIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
    platform::win32::RegisterWindowClass(kAboutWindowClass,
                                         platform::win32::WindowProcedure<AboutBox>, classIcon);
    HWND window = platform::win32::CreateCentredWindow(
        {kExStyle, kAboutWindowClass, "", kStyle, kClientWidth, kClientHeight}, mainWindow_, this);
    if (window == nullptr) {
        return false;
    }
    window_.reset(window);
    messages_.SetOwner(window);
    dpi_ = platform::win32::WindowDpi(window);
    CreateControls();
    return true;
}

void AboutBox::CreateControls() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    linkCursor_ = ::LoadCursorA(instance, kLinkCursorName);
    for (const ControlDesign& design : kControls) {
        const char* className = "STATIC";
        // Labels and the icon take the mouse, so that moving over them is not moving over the
        // box's background; the separator lets it through.
        DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY;
        switch (design.kind) {
            case Kind::DefaultButton:
                className = "BUTTON";
                style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
                break;
            case Kind::Button:
                className = "BUTTON";
                style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
                break;
            case Kind::Icon:
                style |= SS_ICON | SS_CENTERIMAGE;
                break;
            case Kind::Line:
                style = WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ;
                break;
            case Kind::Label:
                style |= SS_LEFT;
                break;
        }
        const char* caption = design.id == kAboutOk        ? "OK"
                              : design.id == kAboutSysInfo ? "&System Info..."
                                                           : "";
        controls_[design.id] = ::CreateWindowExA(
            0, className, caption, style, 0, 0, 0, 0, window_.get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance, nullptr);
    }
    ApplyDpi();
    for (int id : {kAboutSiteLink, kAboutDisclaimer}) {
        ::SetWindowSubclass(controls_[id], &AboutBox::LabelProcedure, kLabelSubclass,
                            reinterpret_cast<DWORD_PTR>(this));
    }
    ::SetFocus(controls_[kAboutOk]);
}

void AboutBox::ApplyDpi() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // The new fonts and icon are in place before the old ones go.
    platform::win32::UniqueFont font = platform::win32::CreateMessageFont(dpi_);
    platform::win32::UniqueFont titleFont = DerivedFont(font.get(), 160, true, false);
    platform::win32::UniqueFont linkFont = DerivedFont(font.get(), 100, false, true);
    const int iconSize = ::MulDiv(kIconPixels, dpi_, 96);
    UniqueIcon icon(static_cast<HICON>(
        ::LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, iconSize, iconSize, 0)));
    for (const ControlDesign& design : kControls) {
        HWND control = controls_.at(design.id);
        const RECT r = PixelRect(design, dpi_);
        ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT chosen = design.id == kAboutTitle      ? titleFont.get()
                       : design.id == kAboutSiteLink ? linkFont.get()
                                                     : font.get();
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
    }
    ::SendMessageA(controls_.at(kAboutIcon), STM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(icon.get()));
    font_ = std::move(font);
    titleFont_ = std::move(titleFont);
    linkFont_ = std::move(linkFont);
    icon_ = std::move(icon);
}

void AboutBox::ShowModal() {
    if (!Create()) {
        messages_.Show(base::WithReason("Ombrix could not open the About box.",
                                        platform::SystemErrorText(::GetLastError())),
                       platform::MessageStyle::OkExclamation);
        return;
    }
    form_ = std::make_unique<AboutForm>(
        *this, AboutActions{[this] { SysInfo(); },
                            [this](const std::string& address) {
                                if (!platform::win32::OpenSiteLink(address)) {
                                    messages_.Show(
                                        "Ombrix could not open " + address + " in a web browser.",
                                        platform::MessageStyle::OkExclamation);
                                }
                            }});
    form_->Start();
    ::ShowWindow(window_.get(), SW_SHOWNORMAL);
    ::UpdateWindow(window_.get());
    platform::win32::RunModal(window_.get(), mainWindow_);
}

void AboutBox::SysInfo() {
    platform::win32::Win32Registry registry;
    StartSysInfo({registry, &shared::FileExists, &platform::win32::StartProgram, messages_});
}

void AboutBox::SetText(AboutText item, const std::string& text) {
    int id = 0;
    switch (item) {
        case AboutText::Caption:
            ::SetWindowTextA(window_.get(), text.c_str());
            return;
        case AboutText::Title:
            id = kAboutTitle;
            break;
        case AboutText::Version:
            id = kAboutVersion;
            break;
        case AboutText::Description:
            id = kAboutDescription;
            break;
        case AboutText::Disclaimer:
            id = kAboutDisclaimer;
            break;
        case AboutText::SiteLink:
            id = kAboutSiteLink;
            break;
    }
    ::SetWindowTextA(controls_.at(id), text.c_str());
}

void AboutBox::SetLinkColour(std::uint32_t colour) {
    if (colour != linkColour_) {
        linkColour_ = colour;
        ::InvalidateRect(controls_.at(kAboutSiteLink), nullptr, TRUE);
    }
}

void AboutBox::Close() {
    // The owner comes back before this window goes, so that it, not another program, is
    // activated.
    ::EnableWindow(mainWindow_, TRUE);
    window_.reset();
}

LRESULT CALLBACK AboutBox::LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclass, DWORD_PTR self) noexcept {
    auto* box = reinterpret_cast<AboutBox*>(self);
    if (message == WM_MOUSEMOVE && box->form_) {
        try {
            if (::GetDlgCtrlID(label) == kAboutSiteLink) {
                box->form_->PointerOverLink();
            } else {
                box->form_->PointerOverDisclaimer();
            }
        } catch (...) {
            platform::win32::ReportUnexpectedFailure(label, "a mouse move over a label");
        }
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(label, &AboutBox::LabelProcedure, subclass);
    }
    return ::DefSubclassProc(label, message, wParam, lParam);
}

LRESULT AboutBox::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:  // Esc, through the modal loop's dialog keys
                    Close();
                    return 0;
                case kAboutSysInfo:
                    if (HIWORD(wParam) == BN_CLICKED) {
                        form_->StartSystemInfo();
                    }
                    return 0;
                case kAboutSiteLink:
                    if (HIWORD(wParam) == STN_CLICKED) {
                        form_->OpenHomePage();
                    }
                    return 0;
                default:
                    return 0;
            }
        case DM_GETDEFID:
            return MAKELRESULT(kAboutOk, DC_HASDEFID);
        case WM_ACTIVATE:
            if (focus_.OnActivate(window, wParam)) {
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (focus_.OnSetFocus(window)) {
                return 0;
            }
            break;
        case WM_DPICHANGED: {
            dpi_ = platform::win32::FollowDpiChange(window, wParam, lParam);
            if (!controls_.empty()) {
                ApplyDpi();
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if (form_) {
                form_->PointerOverBackground();
            }
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == controls_[kAboutSiteLink] &&
                LOWORD(lParam) == HTCLIENT && linkCursor_ != nullptr) {
                ::SetCursor(linkCursor_);
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == controls_[kAboutSiteLink]) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, static_cast<COLORREF>(linkColour_));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_NCDESTROY:
            window_.release();
            break;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ShowAboutBox(HWND mainWindow) {
    AboutBox box(mainWindow);
    box.ShowModal();
}

}  // namespace ombrix::about::win32
