// One machine's figures and its availability slices, as numbers, on small histories whose
// figures are worked out by hand (times UTC). The real sample's are in the reports' goldens.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "uptime/history/machine_figures.h"

namespace uptime {
namespace {

constexpr std::int64_t kHour = 3600;

// An instant of 1 June 2013, "hh:mm" or "hh:mm:ss".
UtcSeconds At(const std::string& time) {
    return ParseSystemTime("2013-06-01T" + (time.size() == 5 ? time + ":00" : time) + "Z").value();
}

SystemEvent Event(EventKind kind, const std::string& time, std::string detail = "") {
    return {kind, At(time), std::move(detail)};
}

// The slices as marks, one per slice: U up, C down after a clean shutdown, X down after an
// unexpected one, . not known.
std::string Marks(const std::vector<Slice>& slices) {
    std::string marks;
    for (const Slice slice : slices) {
        marks += slice == Slice::Up               ? 'U'
                 : slice == Slice::DownClean      ? 'C'
                 : slice == Slice::DownUnexpected ? 'X'
                                                  : '.';
    }
    return marks;
}

// The times and counts, of the program's figures and of those worked out here alike.
auto Counts(const auto& f) {
    return std::tuple(f.uptime, f.downtime, f.unaccounted, f.reboots, f.unexpectedShutdowns,
                      f.powerLosses, f.bluescreens);
}

// Histories on 1 June 2013 up to 12:00, each with its figures and its slices from midnight.
TEST(MachineFigures, HistoriesWorkedOutByHand) {
    struct Figures {
        std::int64_t uptime, downtime, unaccounted;                  // seconds
        int reboots, unexpectedShutdowns, powerLosses, bluescreens;  // 6008, 41, bugchecks
    };
    struct Case {
        const char* name;
        std::vector<SystemEvent> events;
        Figures figures;  // availability is the uptime's share of the time up or down
        const char* lastBoot;
        std::tuple<LastShutdownKind, const char*, const char*> lastShutdown;  // kind, at, detail
        std::vector<std::pair<const char*, std::string_view>> strips;         // [00:00, to): marks
        bool upAtEnd = true;
        const char* logBegins = nullptr;
    };
    using enum EventKind;
    using Kind = LastShutdownKind;
    const char* const requestWhy = "by SRV01\\admin via shutdown.exe: Other (Planned)";
    const char* const powerLoss = "rebooted without a clean shutdown";
    const Case cases[] = {
        // The log begins 31 minutes before its first boot: more than the half hour in which its
        // first records would be that boot's, so what came between is not known. The restart
        // asked for is the last shutdown, with its reason.
        {"the log begins before its first boot",
         {Event(Boot, "03:00"), Event(RestartRequest, "08:59:50", requestWhy),
          Event(Shutdown, "09:00"), Event(Boot, "10:00")},
         {8 * kHour, kHour, 31 * 60, 2, 0, 0, 0},
         "10:00",
         {Kind::Restart, "09:00", requestWhy},
         {{"12:00", "...UUUUUUCUU"}},
         true,
         "02:29"},
        // A restart asked for, then a crash dated by its 6008, logged at the next boot with a
        // 41 and a bluescreen. The slices run on after the history's end: not known there.
        {"a requested restart, then an unexpected shutdown",
         {Event(Boot, "00:00"), Event(RestartRequest, "02:00", requestWhy),
          Event(Shutdown, "02:00:30"), Event(Boot, "03:00:30"), Event(UnexpectedShutdown, "07:00"),
          Event(Boot, "08:00"), Event(PowerLoss, "08:00:20", powerLoss),
          Event(Bluescreen, "08:01", "Stop 0x0000009f")},
         {10 * kHour, 2 * kHour, 0, 3, 1, 1, 1},
         "08:00",
         {Kind::Unexpected, "07:00", ""},
         {{"14:00", "UUCUUUUXUUUU.."}}},
        // Kernel-Power's 41 at the next boot: the stop after the 6006 was not clean after all.
        {"a power loss after a clean shutdown",
         {Event(Boot, "00:00"), Event(Shutdown, "04:00"), Event(Boot, "06:00"),
          Event(PowerLoss, "06:00:30", powerLoss)},
         {10 * kHour, 2 * kHour, 0, 2, 0, 1, 0},
         "06:00",
         {Kind::Unexpected, "06:00:30", powerLoss},
         {{"12:00", "UUUUXXUUUUUU"}}},
        // With no shutdown logged, the time before the second boot is not known.
        {"a power loss with no 6008",
         {Event(Boot, "00:00"), Event(Boot, "06:00"), Event(PowerLoss, "06:00:30", powerLoss)},
         {6 * kHour, 0, 6 * kHour, 2, 0, 1, 0},
         "06:00",
         {Kind::Unexpected, "06:00:30", powerLoss},
         {{"12:00", "......UUUUUU"}}},
        // Three-hour slices: [03:00, 06:00) holds 1h 15m up and 1h 45m down around the boot
        // at 05:15; [06:00, 09:00) 2h 30m up, 30 m down. In 90-minute slices, [04:30, 06:00)
        // holds 45 m of each: down wins the tie.
        {"slices that straddle boots",
         {Event(Boot, "00:00"), Event(Shutdown, "03:30"), Event(Boot, "05:15"),
          Event(Shutdown, "07:00"), Event(Boot, "07:30")},
         {9 * kHour + 45 * 60, 2 * kHour + 15 * 60, 0, 3, 0, 0, 0},
         "07:30",
         {Kind::Shutdown, "07:00", ""},
         {{"12:00", "UCUU"}, {"12:00", "UUCCUUUU"}}},
        // Down at the end: the time since the shutdown is not accounted for, and not up.
        {"down at the end",
         {Event(Boot, "00:00"), Event(ShutdownRequest, "06:00", requestWhy),
          Event(Shutdown, "06:00:10")},
         {6 * kHour + 10, 0, 6 * kHour - 10, 1, 0, 0, 0},
         "00:00",
         {Kind::Shutdown, "06:00:10", requestWhy},
         {{"12:00", "UUUUUU......"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportInput input;
        input.subject = Subject::RemoteMachine;
        input.now = At("12:00");
        if (c.logBegins) {
            input.logBegins = At(c.logBegins);
        }
        input.events = c.events;
        const MachineFigures figures = AnalyseHistory(input);
        EXPECT_EQ(Counts(figures), Counts(c.figures));
        const auto up = static_cast<double>(c.figures.uptime);
        const auto down = static_cast<double>(c.figures.downtime);
        EXPECT_NEAR(figures.availability.value_or(-1), 100 * up / (up + down), 1e-9);
        EXPECT_EQ(figures.lastBoot, At(c.lastBoot));
        // Up at the end since the last boot; down, no time up.
        const auto upFor = static_cast<std::uint64_t>(At("12:00") - At(c.lastBoot));
        EXPECT_EQ(figures.upFor, c.upAtEnd ? std::optional(upFor) : std::nullopt);
        const auto& [kind, at, detail] = c.lastShutdown;
        const LastShutdown& stop = figures.lastShutdown;
        EXPECT_EQ(std::tie(stop.kind, stop.time, stop.detail), std::tuple(kind, At(at), detail));
        for (const auto& [to, marks] : c.strips) {
            EXPECT_EQ(Marks(AvailabilitySlices(input, At("00:00"), At(to), marks.size())), marks);
        }
    }
}

// Nothing in the period to tell the figures: none, and no slice known; an empty range of slices
// has none known either.
TEST(MachineFigures, APeriodWithoutRows) {
    ReportInput input;
    input.now = At("12:00");
    input.windowStart = At("06:00");
    input.events = {Event(EventKind::Boot, "00:00")};
    const MachineFigures figures = AnalyseHistory(input);
    EXPECT_FALSE(figures.availability);
    EXPECT_EQ(figures.uptime + figures.downtime + figures.unaccounted + figures.reboots, 0);
    EXPECT_EQ(figures.lastShutdown.kind, LastShutdownKind::None);
    EXPECT_EQ(figures.lastBoot, At("00:00"));  // before the period, but the last one logged
    EXPECT_EQ(Marks(AvailabilitySlices(input, At("00:00"), At("12:00"), 12)), "............");
    input.windowStart.reset();
    EXPECT_EQ(Marks(AvailabilitySlices(input, At("12:00"), At("12:00"), 3)), "...");
}

}  // namespace
}  // namespace uptime
