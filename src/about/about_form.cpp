#include "about/about_form.h"

#include "platform/dialogs.h"
#include "shared/version.h"

namespace ombrix::about {

const char* HomePage() {
    return OMBRIX_HOME_PAGE;
}

void AboutForm::Start() {
    view_.SetText(AboutText::Caption, std::string("About ") + platform::kApplicationTitle);
    view_.SetText(AboutText::Version, "Version " + shared::VersionText());
    view_.SetText(AboutText::Title, platform::kApplicationTitle);
    view_.SetText(AboutText::Description,
                  "Ombrix provides a GUI Frontend for Microsoft's UPTIME.EXE utility.");
    view_.SetText(AboutText::Disclaimer,
                  "Ombrix belongs to its authors, who allow anyone to copy and pass it on freely "
                  "but not to sell it. Parts of its code follow published examples of the "
                  "Windows programming interface. The latest version is always available from "
                  "the home page:");
    view_.SetLinkColour(kLinkNormalColour);
    view_.SetText(AboutText::SiteLink, "Ombrix Home");
}

void AboutForm::StartSystemInfo() {
    actions_.startSysInfo();
}

void AboutForm::OpenHomePage() {
    actions_.openSiteLink(HomePage());
}

void AboutForm::PointerOverLink() {
    view_.SetLinkColour(kLinkHoverColour);
}

void AboutForm::PointerOverBackground() {
    view_.SetLinkColour(kLinkNormalColour);
}

void AboutForm::PointerOverDisclaimer() {
    view_.SetLinkColour(kLinkNormalColour);
}

}  // namespace ombrix::about
