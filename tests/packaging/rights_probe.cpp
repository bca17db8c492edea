// Reads what the built-in Users group may do with a file, from the file's own access list as
// Windows keeps it: one "PATH: RIGHTS" line a file, RIGHTS being "everyone" for a file without
// an access list, else the rights in hex that the list grants Users.
//   rights_probe <file>...
#include <windows.h>

#include <aclapi.h>

#include <cstdio>

#include "platform/win32/unique_owner.h"

namespace {

struct LocalMemoryTraits {
    static void Close(HLOCAL memory) { ::LocalFree(memory); }
};
using UniqueLocal = ombrix::platform::win32::UniqueOwner<HLOCAL, LocalMemoryTraits>;

bool PrintUsersRights(const char* path, PSID users) {
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = ::GetNamedSecurityInfoA(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                                 nullptr, nullptr, &acl, nullptr, &descriptor);
    const UniqueLocal owned(descriptor);
    if (status != ERROR_SUCCESS) {
        std::printf("%s: error %lu\n", path, status);
        return false;
    }
    if (acl == nullptr) {
        std::printf("%s: everyone\n", path);
        return true;
    }
    TRUSTEE_A trustee{};
    trustee.TrusteeForm = TRUSTEE_IS_SID;
    trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    trustee.ptstrName = static_cast<LPSTR>(users);
    ACCESS_MASK rights = 0;
    if (::GetEffectiveRightsFromAclA(acl, &trustee, &rights) != ERROR_SUCCESS) {
        std::printf("%s: unreadable\n", path);
        return false;
    }
    std::printf("%s: %08lx\n", path, rights);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(users);
    if (argc < 2 || !::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) {
        std::fprintf(stderr, "usage: rights_probe <file>...\n");
        return 2;
    }
    bool read = true;
    for (int i = 1; i < argc; ++i) {
        read = PrintUsersRights(argv[i], users) && read;
    }
    return read ? 0 : 1;
}
