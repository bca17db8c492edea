// The About box's rules: what the box shows when it is loaded and how its link answers the mouse.
// The window itself only forwards events here and shows what it is told.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace ombrix::about {

// Windows colour values (0xBBGGRR).
inline constexpr std::uint32_t kLinkNormalColour = 0xFF0000;  // blue
inline constexpr std::uint32_t kLinkHoverColour = 0x0000FF;   // red

// The product's home page, set when the program is built.
const char* HomePage();

enum class AboutText { Caption, Title, Version, Description, Disclaimer, SiteLink };

class AboutView {
  public:
    virtual ~AboutView() = default;
    virtual void SetText(AboutText item, const std::string& text) = 0;
    virtual void SetLinkColour(std::uint32_t colour) = 0;
};

struct AboutActions {
    std::function<void()> startSysInfo;
    std::function<void(const std::string& address)> openSiteLink;
};

class AboutForm {
  public:
    AboutForm(AboutView& view, AboutActions actions) : view_(view), actions_(std::move(actions)) {}

    // The load step, run on every opening.
    void Start();
    void StartSystemInfo();
    void OpenHomePage();
    void PointerOverLink();
    // Over the box's own background.
    void PointerOverBackground();
    void PointerOverDisclaimer();

  private:
    AboutView& view_;
    AboutActions actions_;
};

}  // namespace ombrix::about
