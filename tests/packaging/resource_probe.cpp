// Reads what a shipped program carries, the way Windows reads it: its version resource through
// GetFileVersionInfo, and its manifest through an activation context made from the file (run
// level, supported systems, DPI settings, and the assemblies it depends on). One "name: value"
// line each.
//   resource_probe <program.exe>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/unique_owner.h"

namespace {

// Owner of an activation context; CreateActCtx says "none" with INVALID_HANDLE_VALUE.
struct ActivationContextTraits {
    static void Close(HANDLE context) { ::ReleaseActCtx(context); }
    static HANDLE Adopt(HANDLE context) {
        return context == INVALID_HANDLE_VALUE ? nullptr : context;
    }
};
using UniqueActivationContext =
    ombrix::platform::win32::UniqueOwner<HANDLE, ActivationContextTraits>;

void PrintVersion(const char* path) {
    DWORD ignored = 0;
    std::vector<char> data(::GetFileVersionInfoSizeA(path, &ignored));
    if (data.empty() ||
        !::GetFileVersionInfoA(path, 0, static_cast<DWORD>(data.size()), data.data())) {
        std::printf("version-resource: none\n");
        return;
    }
    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(data.data(), "\\", &value, &length) &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        std::printf("fixed-file-version: %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                    LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                    LOWORD(fixed->dwFileVersionLS));
        std::printf("fixed-product-version: %u.%u.%u.%u\n", HIWORD(fixed->dwProductVersionMS),
                    LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                    LOWORD(fixed->dwProductVersionLS));
    }
    // The strings of the first language the resource declares.
    if (!::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) ||
        length < 4) {
        return;
    }
    const auto* translation = static_cast<const WORD*>(value);
    char block[64] = {};
    std::snprintf(block, sizeof(block), "\\StringFileInfo\\%04x%04x\\", translation[0],
                  translation[1]);
    for (const char* name :
         {"FileVersion", "ProductVersion", "FileDescription", "OriginalFilename", "ProductName"}) {
        const std::string query = std::string(block) + name;
        if (::VerQueryValueA(data.data(), query.c_str(), &value, &length) && length > 0) {
            std::printf("%s: %s\n", name, static_cast<const char*>(value));
        }
    }
}

// The supported systems of the activation context. Newer systems add a 64-bit "max version
// tested" to each element (and so align the array to 8 bytes); older ones and their headers do
// not: the size of the answer tells which.
void PrintSupportedSystems(HANDLE context) {
    SIZE_T needed = 0;
    ::QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, nullptr, 0,
                   &needed);
    std::vector<unsigned char> buffer(needed + 8);
    if (needed < sizeof(DWORD) ||
        !::QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext,
                        buffer.data(), buffer.size(), &needed)) {
        std::printf("compatibility: unreadable (%lu)\n", ::GetLastError());
        return;
    }
    DWORD count = 0;
    std::memcpy(&count, buffer.data(), sizeof(count));
    constexpr std::size_t kShortElement = sizeof(GUID) + sizeof(DWORD);
    constexpr std::size_t kLongElement = sizeof(GUID) + 2 * sizeof(DWORD) + sizeof(ULONGLONG);
    const bool longForm = count > 0 && needed == 8 + count * kLongElement;
    const std::size_t first = longForm ? 8 : 4;
    const std::size_t stride = longForm ? kLongElement : kShortElement;
    for (DWORD i = 0; i < count && first + (i + 1) * stride <= buffer.size(); ++i) {
        GUID id{};
        DWORD type = 0;
        std::memcpy(&id, buffer.data() + first + i * stride, sizeof(id));
        std::memcpy(&type, buffer.data() + first + i * stride + sizeof(id), sizeof(type));
        if (type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) {
            std::printf("supported-os: {%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}\n",
                        static_cast<unsigned long>(id.Data1), id.Data2, id.Data3, id.Data4[0],
                        id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5],
                        id.Data4[6], id.Data4[7]);
        }
    }
}

void PrintSetting(HANDLE context, const wchar_t* space, const wchar_t* name, const char* label) {
    wchar_t value[128] = {};
    SIZE_T written = 0;
    if (::QueryActCtxSettingsW(0, context, space, name, value, ARRAYSIZE(value), &written)) {
        std::printf("%s: %ls\n", label, value);
    }
}

// The assemblies the context is made of, numbered from 1 until the system knows no more: the
// program's own, then those its manifest depends on as the loader resolved them (the common
// controls 6 for visual styles, say).
void PrintAssemblies(HANDLE context) {
    for (DWORD index = 1;; ++index) {
        SIZE_T needed = 0;
        ::QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext, nullptr,
                       0, &needed);
        std::vector<unsigned char> buffer(needed + sizeof(void*));
        if (needed == 0 ||
            !::QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext,
                            buffer.data(), buffer.size(), &needed)) {
            return;
        }
        std::printf(
            "assembly: %ls\n",
            reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data())
                ->lpAssemblyEncodedAssemblyIdentity);
    }
}

void PrintManifest(const char* path) {
    ACTCTXA request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEA(1);
    const UniqueActivationContext owned(::CreateActCtxA(&request));
    if (!owned) {
        std::printf("manifest: none (%lu)\n", ::GetLastError());
        return;
    }
    HANDLE context = owned.get();
    std::printf("manifest: read\n");
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    SIZE_T needed = 0;
    if (::QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                       sizeof(level), &needed)) {
        const char* names[] = {"unspecified", "asInvoker", "highestAvailable",
                               "requireAdministrator"};
        std::printf("run-level: %s\n", level.RunLevel < 4 ? names[level.RunLevel] : "other");
        std::printf("ui-access: %lu\n", level.UiAccess);
    }
    PrintSupportedSystems(context);
    PrintSetting(context, nullptr, L"dpiAware", "dpi-aware");
    PrintSetting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
                 "dpi-awareness");
    PrintAssemblies(context);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resource_probe <program.exe>\n");
        return 2;
    }
    PrintVersion(argv[1]);
    PrintManifest(argv[1]);
    return 0;
}
