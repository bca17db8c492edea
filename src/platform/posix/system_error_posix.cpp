// The system's words for an errno value, and what kind of failure it stands for.
#include <cerrno>
#include <cstring>

#include "platform/process_files.h"

namespace ombrix::platform {

std::string SystemErrorText(unsigned long code) {
    return std::strerror(static_cast<int>(code)) + std::string(".");
}

base::FailureKind SystemErrorKind(unsigned long code) {
    switch (static_cast<int>(code)) {
        case EACCES:
        case EPERM:
            return base::FailureKind::AccessDenied;
        case EHOSTUNREACH:
        case ENETUNREACH:
        case ECONNREFUSED:
        case ETIMEDOUT:
            return base::FailureKind::Unreachable;
        case ENOENT:
        case ENOTDIR:
            return base::FailureKind::NotFound;
        case ENOMEM:
            return base::FailureKind::OutOfMemory;
        default:
            return base::FailureKind::Failed;
    }
}

}  // namespace ombrix::platform
