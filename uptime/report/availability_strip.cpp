#include "uptime/report/availability_strip.h"

namespace uptime {

char SliceMark(Slice slice) {
    switch (slice) {
        case Slice::Up:
            return '#';
        case Slice::DownClean:
            return '-';
        case Slice::DownUnexpected:
            return 'X';
        case Slice::Unknown:
            break;
    }
    return '.';
}

std::string StripMarks(const std::vector<Slice>& slices) {
    std::string marks;
    marks.reserve(slices.size());
    for (const Slice slice : slices) {
        marks += SliceMark(slice);
    }
    return marks;
}

std::string StripLine(const ReportInput& input, UtcSeconds from, UtcSeconds to) {
    return StripMarks(AvailabilitySlices(input, from, to, kStripWidth));
}

std::string StripScale(const LocalClock& clock, UtcSeconds from, UtcSeconds to) {
    const std::string first = clock.DateText(from);
    const std::string last = clock.DateText(to);
    const std::size_t used = first.size() + last.size();
    return first + std::string(used < kStripWidth ? kStripWidth - used : 1, ' ') + last;
}

std::string StripLegend() {
    return "# up  - down (clean shutdown)  X down (unexpected shutdown)  . not known";
}

}  // namespace uptime
