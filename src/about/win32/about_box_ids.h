// The About box's window class, control identifiers and link cursor, as its tests find them.
#pragma once

namespace ombrix::about::win32 {

inline constexpr const char* kAboutWindowClass = "OmbrixAbout";
// The cursor over the link, a resource of Ombrix.exe (ombrix.rc).
inline constexpr const char* kLinkCursorName = "OMBRIX_LINK";

enum AboutControlId : int {
    kAboutOk = 1,  // IDOK: Enter presses it
    kAboutSysInfo = 100,
    kAboutIcon,
    kAboutTitle,
    kAboutVersion,
    kAboutDescription,
    kAboutDisclaimer,
    kAboutSiteLink,
    kAboutLine,
};

}  // namespace ombrix::about::win32
