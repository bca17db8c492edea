// The rules of processes and files that hold on every platform.
#include "platform/process_files.h"

#include "base/digits.h"

namespace ombrix::platform {
namespace {

constexpr std::string_view kReplacementMark = ".~";
constexpr std::string_view kReplacementEnd = ".tmp";
constexpr const char* kReadOnlyReason = "The file is read-only.";

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

base::Failure FileTooLargeForMemory() {
    return {"The file is too large for the memory available.", base::FailureKind::OutOfMemory};
}

base::Result<> ReplaceFileContent(const std::string& path, std::string_view bytes) {
    RemoveAbandonedReplacements(path);
    // Whoever marked the file read-only meant it to stay. (Windows would refuse the swap below
    // anyway; Wine lets it through and drops the mark, and POSIX lets root write it in place.)
    if (IsReadOnlyFile(path)) {
        return base::Failure{kReadOnlyReason, base::FailureKind::AccessDenied};
    }
    base::Result<> replaced = ReplaceThroughNewFile(path, bytes);
    if (replaced || replaced.Kind() != base::FailureKind::AccessDenied) {
        return replaced;
    }
    // Administrators let users write a file in a folder where they may not make new files.
    base::Result<std::unique_ptr<RewritableFile>> file = RewritableFile::Open(path);
    if (!file) {
        // No file to rewrite: the folder's refusal is the reason that counts.
        return file.Kind() == base::FailureKind::NotFound ? replaced : file.TakeFailure();
    }
    return RewriteInPlace(**file, bytes);
}

base::Result<> RewriteInPlace(RewritableFile& file, std::string_view bytes) {
    base::Result<std::string> old = file.ReadAll();
    if (!old) {
        return old.TakeFailure();
    }
    if (bytes.size() > old->size()) {
        if (base::Result<> grown = file.Resize(bytes.size()); !grown) {
            static_cast<void>(file.Resize(old->size()));
            return grown;
        }
    }
    base::Result<> written = file.WriteFromStart(bytes);
    if (written) {
        written = file.Resize(bytes.size());
    }
    if (written) {
        written = file.Flush();
    }
    if (!written) {
        // The room was there for the longer of the two, so the old content fits back.
        static_cast<void>(file.WriteFromStart(*old));
        static_cast<void>(file.Resize(old->size()));
        static_cast<void>(file.Flush());
    }
    return written;
}

}  // namespace ombrix::platform
