// Libraries loaded at their first use (found functions are called by every platform test): the
// failures name what is missing, and only the system folder is searched.
#include "platform/win32/system_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/process_files.h"
#include "support/test_support.h"

namespace ombrix::platform::win32 {
namespace {

TEST(SystemLibrary, AMissingLibraryOrFunctionIsNamedWithTheSystemsReason) {
    SystemLibrary kernel("kernel32.dll");
    EXPECT_EQ(kernel.Find<void()>("OmbrixNoSuchCall").Reason(),
              "kernel32.dll, OmbrixNoSuchCall: " + SystemErrorText(ERROR_PROC_NOT_FOUND));

    // A file of that name in the current folder and the program's is not taken: the reason is
    // that the system folder has none, not that the file there is no library.
    test::ScratchDir scratch;
    const std::string name = "ombrix_stand_in.dll";
    const std::string besideProgram = ProgramDirectory() + "\\" + name;
    test::WriteFile(scratch.File(name), "not a library");
    test::WriteFile(besideProgram, "not a library");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    const std::string reason = SystemLibrary(name).Find<void()>("Anything").Reason();
    std::filesystem::current_path(before);
    std::filesystem::remove(besideProgram);
    EXPECT_EQ(reason, name + ": " + SystemErrorText(ERROR_MOD_NOT_FOUND));
}

}  // namespace
}  // namespace ombrix::platform::win32
