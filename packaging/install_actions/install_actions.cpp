// Ombrix's custom actions for Windows Installer, in a DLL that the package carries.
//   SetOptionsFileAside  before an upgrade removes the older version, copies the user's
//                        ombrixopts.cfg aside, out of that removal's reach (immediate)
//   WriteOptionsFile     puts the copy back if that removal took the file, or lays down a new
//                        one when there is none; for every user, lets Users rewrite it
//   RemoveOptionsFile    removes it, and what an interrupted save left beside it, on removal
// The last two are deferred; their CustomActionData is "FOLDER|ALLUSERS", FOLDER ending in "\".
#include <windows.h>

#include <aclapi.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

#include "options/options_file.h"
#include "packaging/install_actions/first_options.h"
#include "platform/process_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/unique_owner.h"

namespace {

using ombrix::platform::win32::UniqueHandle;

struct LocalMemoryTraits {
    static void Close(HLOCAL memory) { ::LocalFree(memory); }
};
using UniqueLocal = ombrix::platform::win32::UniqueOwner<HLOCAL, LocalMemoryTraits>;

struct ActionData {
    std::string folder;
    bool perMachine = false;
};

// Where an upgrade keeps the user's options while the older version is removed.
std::string AsidePath(const std::string& optionsPath) {
    return optionsPath + ".upgrade";
}

std::string Property(MSIHANDLE install, const char* name) {
    char empty[1] = "";
    DWORD size = 0;
    ::MsiGetPropertyA(install, name, empty, &size);
    std::string text(size + 1, '\0');
    size = static_cast<DWORD>(text.size());
    ::MsiGetPropertyA(install, name, text.data(), &size);
    text.resize(size);
    return text;
}

ActionData ReadActionData(MSIHANDLE install) {
    const std::string text = Property(install, "CustomActionData");
    const std::size_t bar = text.find('|');
    return {text.substr(0, bar), bar != std::string::npos && text.substr(bar + 1) == "1"};
}

// A line in the installer's log.
void Log(MSIHANDLE install, const std::string& line) {
    const MSIHANDLE record = ::MsiCreateRecord(1);
    if (record == 0) {
        return;
    }
    ::MsiRecordSetStringA(record, 0, ("Ombrix: " + line).c_str());
    ::MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    ::MsiCloseHandle(record);
}

bool WriteNewFile(const std::string& path, const std::string& bytes) {
    const UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool whole = file &&
                       ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                   &written, nullptr) &&
                       written == bytes.size();
    if (file && !whole) {
        const DWORD error = ::GetLastError();  // the log names the write's failure, not this
        ::DeleteFileA(path.c_str());
        ::SetLastError(error);
    }
    return whole;
}

// Under Program Files the folder refuses new files to standard users; Ombrix then rewrites its
// options in place, which this right allows. The file's inherited rights stay.
DWORD LetUsersRewrite(const std::string& path) {
    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD usersSize = sizeof(users);
    if (!::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &usersSize)) {
        return ::GetLastError();
    }
    PACL oldAcl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD status = ::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                           nullptr, nullptr, &oldAcl, nullptr, &descriptor);
    const UniqueLocal ownedDescriptor(descriptor);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    EXPLICIT_ACCESS_A access{};
    access.grfAccessPermissions = FILE_GENERIC_READ | FILE_GENERIC_WRITE;
    access.grfAccessMode = GRANT_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = static_cast<LPSTR>(static_cast<void*>(users));
    PACL newAcl = nullptr;
    status = ::SetEntriesInAclA(1, &access, oldAcl, &newAcl);
    const UniqueLocal ownedAcl(newAcl);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    std::string mutablePath = path;
    return ::SetNamedSecurityInfoA(mutablePath.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                   nullptr, nullptr, newAcl, nullptr);
}

}  // namespace

// Windows Installer tells the older version's removal that an upgrade runs it; Wine does not,
// so a copy of the options is kept out of its way whichever runs it. A copy, so that an upgrade
// that stops before the removal leaves the options where they were.
extern "C" __declspec(dllexport) UINT __stdcall SetOptionsFileAside(MSIHANDLE install) {
    const std::string path = Property(install, "INSTALLDIR") + ombrix::options::kOptionsFileName;
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !::CopyFileA(path.c_str(), AsidePath(path).c_str(), FALSE)) {
        Log(install, "could not set " + path + " aside, error " + std::to_string(::GetLastError()));
        return ERROR_INSTALL_FAILURE;
    }
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall WriteOptionsFile(MSIHANDLE install) {
    const ActionData data = ReadActionData(install);
    const std::string path = data.folder + ombrix::options::kOptionsFileName;
    const std::string aside = AsidePath(path);
    // The copy counts only where the older version's removal took the file; a file still there
    // is the user's latest.
    const bool kept = ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (::GetFileAttributesA(aside.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const bool done =
            kept ? ::DeleteFileA(aside.c_str())
                 : ::MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (!done) {
            Log(install,
                "could not put back " + path + ", error " + std::to_string(::GetLastError()));
            return ERROR_INSTALL_FAILURE;
        }
    }
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        Log(install, "keeping the options in " + path);
    } else if (!WriteNewFile(path, ombrix::packaging::FirstOptionsFile(data.folder))) {
        Log(install, "could not write " + path + ", error " + std::to_string(::GetLastError()));
        return ERROR_INSTALL_FAILURE;
    }
    if (data.perMachine) {
        if (const DWORD status = LetUsersRewrite(path); status != ERROR_SUCCESS) {
            Log(install,
                "could not let Users rewrite " + path + ", error " + std::to_string(status));
            return ERROR_INSTALL_FAILURE;
        }
    }
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveOptionsFile(MSIHANDLE install) {
    const std::string path = ReadActionData(install).folder + ombrix::options::kOptionsFileName;
    ombrix::platform::RemoveAbandonedReplacements(path);
    // A file that will not go only keeps the folder; the removal itself goes on.
    if (!::DeleteFileA(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        Log(install, "could not remove " + path + ", error " + std::to_string(::GetLastError()));
    }
    return ERROR_SUCCESS;
}
