// The rules of processes and files that hold on every platform.
#include "platform/process_files.h"

#include "base/digits.h"

namespace ombrix::platform {
namespace {

constexpr std::string_view kReplacementMark = ".~";
constexpr std::string_view kReplacementEnd = ".tmp";

// A process id, counter or stamp as a replacement's name writes it: 1 to 20 digits.
bool IsNumberPart(std::string_view part) {
    return !part.empty() && part.size() <= 20 && !base::ContainsNonDigit(part);
}

}  // namespace

std::string ReplacementPath(const std::string& path, unsigned long processId, unsigned counter,
                            unsigned long long stamp) {
    return path + std::string(kReplacementMark) + std::to_string(processId) + "-" +
           std::to_string(counter) + "-" + std::to_string(stamp) + std::string(kReplacementEnd);
}

std::optional<unsigned long> ReplacementOwner(std::string_view target, std::string_view candidate) {
    if (target.empty() || candidate.size() <= target.size() + kReplacementMark.size() ||
        candidate.substr(0, target.size()) != target) {
        return std::nullopt;
    }
    std::string_view rest = candidate.substr(target.size());
    if (rest.substr(0, kReplacementMark.size()) != kReplacementMark ||
        rest.size() < kReplacementMark.size() + kReplacementEnd.size() ||
        rest.substr(rest.size() - kReplacementEnd.size()) != kReplacementEnd) {
        return std::nullopt;
    }
    rest = rest.substr(kReplacementMark.size(),
                       rest.size() - kReplacementMark.size() - kReplacementEnd.size());
    const std::size_t first = rest.find('-');
    const std::size_t second = first == std::string_view::npos ? first : rest.find('-', first + 1);
    if (second == std::string_view::npos || !IsNumberPart(rest.substr(0, first)) ||
        !IsNumberPart(rest.substr(first + 1, second - first - 1)) ||
        !IsNumberPart(rest.substr(second + 1))) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> processId = base::ReadDigits(rest.substr(0, first), 10);
    if (!processId || *processId > 0xFFFFFFFF) {
        return std::nullopt;
    }
    return static_cast<unsigned long>(*processId);
}

}  // namespace ombrix::platform
