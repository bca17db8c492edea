#include <algorithm>
#include <array>

#include "uptime/history/machine_figures.h"

namespace uptime {
namespace {

Slice SliceOf(SpanState state) {
    switch (state) {
        case SpanState::Up:
            return Slice::Up;
        case SpanState::DownClean:
            return Slice::DownClean;
        case SpanState::DownUnexpected:
            return Slice::DownUnexpected;
        case SpanState::Unaccounted:
            break;
    }
    return Slice::Unknown;
}

}  // namespace

std::vector<Slice> AvailabilitySlices(const ReportInput& input, UtcSeconds from, UtcSeconds to,
                                      std::size_t width) {
    return AvailabilitySlices(ReadHistory(input), from, to, width);
}

std::vector<Slice> AvailabilitySlices(const HistoryReading& reading, UtcSeconds from, UtcSeconds to,
                                      std::size_t width) {
    std::vector<Slice> slices(width, Slice::Unknown);
    if (to <= from || width == 0) {
        return slices;
    }
    const std::vector<StateSpan>& spans = reading.spans;
    const auto count = static_cast<std::int64_t>(width);
    // Where slice i begins: from + (to - from) * i / count, without the product's overflow.
    const std::int64_t whole = (to - from) / count;
    const std::int64_t rest = (to - from) % count;
    const auto begins = [&](std::int64_t i) { return from + whole * i + rest * i / count; };
    auto first = spans.begin();  // the first span that may reach into the slice
    for (std::int64_t i = 0; i < count; ++i) {
        const UtcSeconds start = begins(i);
        const UtcSeconds end = begins(i + 1);
        while (first != spans.end() && first->to <= start) {
            ++first;
        }
        if (end == start) {
            slices[static_cast<std::size_t>(i)] = first != spans.end() && first->from <= start
                                                      ? SliceOf(first->state)
                                                      : Slice::Unknown;
            continue;
        }
        // Seconds held by Up, DownClean, DownUnexpected and Unknown, in the order of Slice.
        std::array<std::int64_t, 4> held{};
        held[static_cast<std::size_t>(Slice::Unknown)] = end - start;
        for (auto span = first; span != spans.end() && span->from < end; ++span) {
            const std::int64_t overlap = std::min(span->to, end) - std::max(span->from, start);
            held[static_cast<std::size_t>(SliceOf(span->state))] += overlap;
            held[static_cast<std::size_t>(Slice::Unknown)] -= overlap;
        }
        // The most held; of equals, the one listed first.
        Slice most = Slice::DownUnexpected;
        for (const Slice state : {Slice::DownClean, Slice::Up, Slice::Unknown}) {
            if (held[static_cast<std::size_t>(state)] > held[static_cast<std::size_t>(most)]) {
                most = state;
            }
        }
        slices[static_cast<std::size_t>(i)] = most;
    }
    return slices;
}

}  // namespace uptime
