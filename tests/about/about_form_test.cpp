// The About box's rules: what the load step shows, the link's hover colours and what its
// button and link start.
#include <gtest/gtest.h>

#include <map>

#include "about/about_form.h"

namespace ombrix::about {
namespace {

class FakeAboutView final : public AboutView {
  public:
    void SetText(AboutText item, const std::string& text) override { texts[item] = text; }
    void SetLinkColour(std::uint32_t colour) override { linkColour = colour; }

    std::map<AboutText, std::string> texts;
    std::uint32_t linkColour = 0x123456;  // none of the link's colours
};

struct Calls {
    int sysInfo = 0;
    std::vector<std::string> opened;
};

AboutActions Recording(Calls& calls) {
    return {[&calls] { ++calls.sysInfo; },
            [&calls](const std::string& address) { calls.opened.push_back(address); }};
}

TEST(AboutForm, LoadShowsTheProgramsIdentityAndABlueLink) {
    FakeAboutView view;
    Calls calls;
    AboutForm form(view, Recording(calls));
    form.Form_Load();
    EXPECT_EQ(view.texts[AboutText::Caption], "About Ombrix");
    EXPECT_EQ(view.texts[AboutText::Title], "Ombrix");
    EXPECT_EQ(view.texts[AboutText::Version], "Version 1.13.1128");
    EXPECT_EQ(view.texts[AboutText::Description],
              "Ombrix provides a GUI Frontend for Microsoft's UPTIME.EXE utility.");
    EXPECT_EQ(view.texts[AboutText::SiteLink], "Ombrix Home");
    EXPECT_FALSE(view.texts[AboutText::Disclaimer].empty());
    EXPECT_EQ(view.linkColour, 0xFF0000u) << "blue, as 0xBBGGRR";
    EXPECT_EQ(calls.sysInfo, 0);
    EXPECT_TRUE(calls.opened.empty());

    // Loaded again after the mouse left the link red: blue again, the same texts.
    const auto firstTexts = view.texts;
    form.SiteLink_MouseMove();
    AboutForm again(view, Recording(calls));
    again.Form_Load();
    EXPECT_EQ(view.texts, firstTexts);
    EXPECT_EQ(view.linkColour, 0xFF0000u);
}

TEST(AboutForm, LinkTurnsRedOverItAndBlueOnlyOverTheBackgroundOrTheDisclaimer) {
    FakeAboutView view;
    Calls calls;
    AboutForm form(view, Recording(calls));
    form.Form_Load();
    constexpr std::uint32_t kRed = 0x0000FF;
    constexpr std::uint32_t kBlue = 0xFF0000;
    struct Step {
        void (AboutForm::*move)();
        const char* over;
        std::uint32_t colour;
    };
    for (const Step& step : {
             Step{&AboutForm::SiteLink_MouseMove, "link", kRed},
             Step{&AboutForm::SiteLink_MouseMove, "link again", kRed},
             Step{nullptr, "another control", kRed},
             Step{&AboutForm::Form_MouseMove, "background", kBlue},
             Step{&AboutForm::Form_MouseMove, "background again", kBlue},
             Step{&AboutForm::SiteLink_MouseMove, "link", kRed},
             Step{&AboutForm::lblDisclaimer_MouseMove, "disclaimer", kBlue},
             Step{&AboutForm::lblDisclaimer_MouseMove, "disclaimer again", kBlue},
             Step{&AboutForm::SiteLink_MouseMove, "link", kRed},
         }) {
        if (step.move != nullptr) {
            (form.*step.move)();
        }
        EXPECT_EQ(view.linkColour, step.colour) << "after moving over the " << step.over;
    }
    EXPECT_EQ(calls.sysInfo, 0);
    EXPECT_TRUE(calls.opened.empty());
}

TEST(AboutForm, ButtonStartsSystemInformationAndLinkOpensTheHomePage) {
    FakeAboutView view;
    Calls calls;
    AboutForm form(view, Recording(calls));
    form.Form_Load();
    form.cmdSysInfo_Click();
    EXPECT_EQ(calls.sysInfo, 1);
    EXPECT_TRUE(calls.opened.empty());
    form.SiteLink_Click();
    EXPECT_EQ(calls.sysInfo, 1);
    EXPECT_EQ(calls.opened, std::vector<std::string>{HomePage()});
    const std::string address = HomePage();
    EXPECT_TRUE(address.starts_with("https://") || address.starts_with("http://")) << address;
    EXPECT_EQ(view.linkColour, 0xFF0000u) << "clicking changes no colour";
}

}  // namespace
}  // namespace ombrix::about
