#include "about/win32/about_box.h"

#include <memory>
#include <string>

#include "about/about_form.h"
#include "about/sys_info.h"
#include "about/win32/about_box_ids.h"
#include "base/control_design.h"
#include "platform/dialogs.h"
#include "platform/process_files.h"
#include "platform/win32/controls.h"
#include "platform/win32/dpi.h"
#include "platform/win32/message_boxes_win32.h"
#include "platform/win32/modal_window.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/window_handles.h"
#include "shared/shared_routines.h"

namespace ombrix::about::win32 {
namespace {

using base::ControlKind;

constexpr int kClientWidth = 5730;  // twips
constexpr int kClientHeight = 3900;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kIconPixels = 32;  // at 96 DPI

struct IconTraits {
    static void Close(HICON icon) { ::DestroyIcon(icon); }
};
using UniqueIcon = platform::win32::UniqueOwner<HICON, IconTraits>;

// In tab order: OK first, so that it has the focus.
constexpr base::ControlDesign kControls[] = {
    {kAboutOk, ControlKind::DefaultButton, {4245, 2400, 1260, 345}, "OK"},
    {kAboutIcon, ControlKind::Icon, {600, 240, 540, 540}},
    {kAboutSysInfo, ControlKind::Button, {4080, 3120, 1425, 345}, "&System Info..."},
    {kAboutDescription, ControlKind::PointerLabel, {1680, 1125, 3885, 450}},
    // Ends above the link, so that the two never overlap.
    {kAboutDisclaimer, ControlKind::PointerLabel, {240, 2040, 3840, 1260}},
    {kAboutTitle, ControlKind::PointerLabel, {1680, 240, 3885, 480}},
    {kAboutVersion, ControlKind::PointerLabel, {1680, 780, 3885, 225}},
    {kAboutSiteLink, ControlKind::PointerLabel, {240, 3360, 1695, 255}},
    {kAboutLine, ControlKind::Line, {105, 1800, 5580, 30}},
};

class AboutBox final : public AboutView, public platform::win32::ModalWindow {
  public:
    explicit AboutBox(HWND mainWindow)
        : ModalWindow(mainWindow, "Ombrix could not open the About box."), controls_(kControls) {}
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;
    ~AboutBox() override { Destroy(); }

    void ShowModal();

    void SetText(AboutText item, const std::string& text) override;
    void SetLinkColour(std::uint32_t colour) override;

  private:
    bool CreateContents() override;
    // Fonts, icon and positions for `dpi`.
    void Layout(int dpi) override;
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override;
    void SysInfo();

    std::uint32_t linkColour_ = kLinkNormalColour;
    HCURSOR linkCursor_ = nullptr;  // shared with the module: never destroyed
    platform::win32::Controls controls_;

    // The window goes first, then what it used.
    UniqueIcon icon_;
    platform::win32::UniqueFont font_;
    platform::win32::UniqueFont titleFont_;
    platform::win32::UniqueFont linkFont_;
    platform::win32::Win32MessageBoxes messages_;
    std::unique_ptr<AboutForm> form_;
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

bool AboutBox::CreateContents() {
    messages_.SetOwner(Window());
    linkCursor_ = ::LoadCursorA(::GetModuleHandleA(nullptr), kLinkCursorName);
    if (!controls_.Create(Window())) {
        return false;
    }
    Layout(Dpi());
    for (int id : {kAboutSiteLink, kAboutDisclaimer}) {
        WatchControl(controls_[id]);
    }
    ::SetFocus(controls_[kAboutOk]);
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
    return true;
}

void AboutBox::Layout(int dpi) {
    if (controls_[kAboutOk] == nullptr) {
        return;
    }
    // The new fonts and icon are in place before the old ones go.
    platform::win32::UniqueFont font = platform::win32::CreateMessageFont(dpi);
    platform::win32::UniqueFont titleFont = DerivedFont(font.get(), 160, true, false);
    platform::win32::UniqueFont linkFont = DerivedFont(font.get(), 100, false, true);
    const int iconSize = ::MulDiv(kIconPixels, dpi, 96);
    UniqueIcon icon(static_cast<HICON>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, iconSize, iconSize, 0)));
    const base::LayoutScale scale = platform::win32::FontLayoutScale(font.get(), dpi);
    SizeClient(scale, kClientWidth, kClientHeight);
    controls_.Place(scale);
    controls_.SetFont(font.get());
    ::SendMessageA(controls_[kAboutTitle], WM_SETFONT, reinterpret_cast<WPARAM>(titleFont.get()),
                   TRUE);
    ::SendMessageA(controls_[kAboutSiteLink], WM_SETFONT, reinterpret_cast<WPARAM>(linkFont.get()),
                   TRUE);
    ::SendMessageA(controls_[kAboutIcon], STM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(icon.get()));
    font_ = std::move(font);
    titleFont_ = std::move(titleFont);
    linkFont_ = std::move(linkFont);
    icon_ = std::move(icon);
}

void AboutBox::ShowModal() {
    Register(kAboutWindowClass);
    // Until the box is there, its failure is told over the main window.
    messages_.SetOwner(Owner());
    RunModal({kExStyle, kAboutWindowClass, "", kStyle, kClientWidth, kClientHeight}, messages_);
}

void AboutBox::SysInfo() {
    platform::win32::Win32Registry registry;
    StartSysInfo({registry, &shared::FileExists, &platform::win32::StartProgram, messages_});
}

void AboutBox::SetText(AboutText item, const std::string& text) {
    int id = 0;
    switch (item) {
        case AboutText::Caption:
            ::SetWindowTextA(Window(), text.c_str());
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
    ::SetWindowTextA(controls_[id], text.c_str());
}

void AboutBox::SetLinkColour(std::uint32_t colour) {
    if (colour != linkColour_) {
        linkColour_ = colour;
        ::InvalidateRect(controls_[kAboutSiteLink], nullptr, TRUE);
    }
}

void AboutBox::OnControlMessage(HWND control, UINT message, WPARAM, LPARAM) {
    if (message == WM_MOUSEMOVE && form_) {
        if (::GetDlgCtrlID(control) == kAboutSiteLink) {
            form_->PointerOverLink();
        } else {
            form_->PointerOverDisclaimer();
        }
    }
}

LRESULT AboutBox::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:  // Esc, through the modal loop's dialog keys
                    OnClose();
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
        default:
            break;
    }
    return ModalWindow::OnMessage(window, message, wParam, lParam);
}

}  // namespace

void ShowAboutBox(HWND mainWindow) {
    AboutBox box(mainWindow);
    box.ShowModal();
}

}  // namespace ombrix::about::win32
