// The About box's rules: what the load step shows, the link's hover colours and what its
// button and link start.
#include <gtest/gtest.h>

#include <map>

#include "about/about_form.h"

namespace ombrix::about {
namespace {

constexpr std::uint32_t kBlue = 0xFF0000;  // 0xBBGGRR
constexpr std::uint32_t kRed = 0x0000FF;

class AboutFormTest : public ::testing::Test, public AboutView {
  protected:
    void SetText(AboutText item, const std::string& text) override { texts[item] = text; }
    void SetLinkColour(std::uint32_t colour) override { linkColour = colour; }

    std::map<AboutText, std::string> texts;
    std::uint32_t linkColour = 0;
    int sysInfoStarts = 0;
    std::vector<std::string> opened;
    AboutForm form{*this,
                   {[this] { ++sysInfoStarts; },
                    [this](const std::string& address) { opened.push_back(address); }}};
};

TEST_F(AboutFormTest, LoadShowsTheProgramsIdentityAndABlueLinkEachTime) {
    form.Form_Load();
    EXPECT_EQ(texts[AboutText::Caption], "About Ombrix");
    EXPECT_EQ(texts[AboutText::Title], "Ombrix");
    EXPECT_EQ(texts[AboutText::Version], "Version 1.13.1128");
    EXPECT_EQ(texts[AboutText::Description],
              "Ombrix provides a GUI Frontend for Microsoft's UPTIME.EXE utility.");
    EXPECT_EQ(texts[AboutText::SiteLink], "Ombrix Home");
    EXPECT_FALSE(texts[AboutText::Disclaimer].empty());
    EXPECT_EQ(linkColour, kBlue);
    form.SiteLink_MouseMove();
    form.Form_Load();
    EXPECT_EQ(linkColour, kBlue) << "loaded again after the link turned red";
    EXPECT_EQ(sysInfoStarts, 0);
    EXPECT_TRUE(opened.empty());
}

TEST_F(AboutFormTest, LinkTurnsRedOverItAndBlueOverTheBackgroundOrTheDisclaimer) {
    form.Form_Load();
    const std::pair<void (AboutForm::*)(), std::uint32_t> steps[] = {
        {&AboutForm::SiteLink_MouseMove, kRed},
        {&AboutForm::Form_MouseMove, kBlue},
        {&AboutForm::SiteLink_MouseMove, kRed},
        {&AboutForm::lblDisclaimer_MouseMove, kBlue}};
    for (const auto& [move, colour] : steps) {
        (form.*move)();
        EXPECT_EQ(linkColour, colour);
    }
}

TEST_F(AboutFormTest, ButtonStartsSystemInformationAndLinkOpensTheHomePage) {
    form.Form_Load();
    form.cmdSysInfo_Click();
    EXPECT_EQ(sysInfoStarts, 1);
    EXPECT_TRUE(opened.empty());
    form.SiteLink_Click();
    EXPECT_EQ(sysInfoStarts, 1);
    EXPECT_EQ(opened, std::vector<std::string>{HomePage()});
    EXPECT_TRUE(std::string(HomePage()).starts_with("http")) << HomePage();
}

}  // namespace
}  // namespace ombrix::about
