// The machine list files administrators write, in the encodings their editors save. A list of
// comments alone is refused in the fleet run's tests.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "uptime/fleet/machine_list.h"
#include "uptime/recorded_system.h"

namespace uptime {
namespace {

// The names joined by " | ", or why the list was refused.
std::string Outcome(const std::string& bytes) {
    const auto parsed = ParseMachineList(bytes);
    if (!parsed) {
        const bool badRequest = parsed.Kind() == ombrix::base::FailureKind::BadRequest;
        return (badRequest ? "" : "(not a BadRequest) ") + parsed.Reason();
    }
    std::string names;
    for (const std::string& name : *parsed) {
        names += (names.empty() ? "" : " | ") + name;
    }
    return names;
}

TEST(ParseMachineList, TakesWhatAdministratorsWriteAndRefusesALineWithItsNumber) {
    using test::Utf16;
    const std::string accents =
        "B\xC3\xBCro-PC\r\nb\xC3\x9cRO-pc\r\n\xD0\xA1\xD0\x95\xD0\xA0\xD0\x92\r\n";
    const std::pair<std::string, std::string> cases[] = {
        // Lines, blanks and comments, also after a name.
        {"# web\r\nSRV01\r\n\r\n  SRV02\t# after a name\r\n\t\r\n", "SRV01 | SRV02"},
        {"\\\\SRV01\n10.0.0.7\n\\\\fe80::1\n", "SRV01 | 10.0.0.7 | fe80::1"},
        {"srv01\nSRV01\n\\\\Srv01\nSRV02\n", "srv01 | SRV02"},  // repeats in any case
        // Letters outside ASCII kept, their repeats in another case dropped.
        {accents, "B\xC3\xBCro-PC | \xD0\xA1\xD0\x95\xD0\xA0\xD0\x92"},
        // What Notepad and PowerShell save: UTF-8 with its mark, UTF-16 of either order.
        {"\xEF\xBB\xBFSRV01\r\nSRV02", "SRV01 | SRV02"},
        {Utf16(accents + "SRV01\r\n", false),
         "B\xC3\xBCro-PC | \xD0\xA1\xD0\x95\xD0\xA0\xD0\x92 | SRV01"},
        {Utf16("SRV01\r\nSRV02\r\n", true), "SRV01 | SRV02"},
        {Utf16("SRV01\r\nSRV02", false, false), "SRV01 | SRV02"},
        {"SRV01\rSRV02\r", "SRV01 | SRV02"},  // lines ended by CR alone
        // Lines that are no machine name.
        {"SRV01\r\n\r\n/s\r\n", "Line 3: \"/s\" looks like a switch, not a machine name."},
        {"SRV01\nSRV\\01\n", "Line 2: \"SRV\\01\" holds a \\, which no machine name does."},
        {"\\SRV01\n", "Line 1: \"\\SRV01\" holds a \\, which no machine name does."},
        {"# a\nSRV01 SRV02\n",
         "Line 2: \"SRV01 SRV02\" holds a blank: give one machine name per line."},
        {"SRV01\nB\xFCro-PC\n", "Line 2 is not UTF-8 text: save the list as UTF-8 or Unicode."},
        {"\\\\ # nobody\n", "Line 1: no name follows \\\\."},
        {std::string(256, 'a'), "Line 1 is longer than any machine name can be."},
        {"SRV\x01\n", "Line 1 holds a control character, which no machine name does."},
    };
    for (const auto& [bytes, outcome] : cases) {
        EXPECT_EQ(Outcome(bytes), outcome);
    }
}

}  // namespace
}  // namespace uptime
