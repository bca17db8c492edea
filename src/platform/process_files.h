// Processes and files: the operations the runner and the shared routines need from the system.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/result.h"

namespace ombrix::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The system temporary directory as the platform reports it, with its trailing separator.
std::string TempDirectory();

// Directory search with normal attributes: true when the last component of `path` (which may
// hold wildcards) matches a file that is neither hidden, system nor a directory.
bool NormalFileMatches(const std::string& path);

// Removes a file.
base::Result<> RemoveFile(const std::string& path);

// Puts `bytes` into the file at `path` in one step: a new file is written beside it and then
// takes its place, so that readers see either the whole old content or the whole new one. On
// failure the old file is untouched and no other file is left behind.
base::Result<> ReplaceFileContent(const std::string& path, std::string_view bytes);

// The whole file, byte for byte.
base::Result<std::string> ReadWholeFile(const std::string& path);

// The folder that holds the running program, without a trailing separator.
std::string ProgramDirectory();

// The system's own text for an error code (GetLastError or errno), without a line end.
std::string SystemErrorText(unsigned long code);

// The file that receives a child's standard output: created, or cut to length 0, for writing
// only, shared with nobody, and inheritable by the child.
class OutputFile {
  public:
    static base::Result<std::unique_ptr<OutputFile>> Create(const std::string& path);

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    virtual ~OutputFile() = default;

  protected:
    OutputFile() = default;
};

// A child process started hidden, with its standard output on an OutputFile, no standard input
// and no error stream. Owns the child's handles and the file's.
class CapturedProcess {
  public:
    // Starts exactly the file `programPath`, whatever blanks its path holds, with
    // `argumentTail` (empty or starting with a blank) as its switches.
    static base::Result<std::unique_ptr<CapturedProcess>> Start(std::unique_ptr<OutputFile> output,
                                                                const std::string& programPath,
                                                                const std::string& argumentTail);

    CapturedProcess(const CapturedProcess&) = delete;
    CapturedProcess& operator=(const CapturedProcess&) = delete;
    virtual ~CapturedProcess() = default;

    // Waits for the child to end, at most `timeout`; true when it has ended.
    virtual bool WaitForExit(std::chrono::milliseconds timeout) = 0;
    void WaitForExit() {
        while (!WaitForExit(std::chrono::hours(24))) {
        }
    }
    // Ends the child at once (after a cancel); it then exits with a non-zero code.
    virtual void Terminate() = 0;
    // After the child has ended: its exit code as the system reports it. Closes every handle
    // and returns only once the output file is complete and can be read by others.
    virtual std::int32_t Finish() = 0;

  protected:
    CapturedProcess() = default;
};

}  // namespace ombrix::platform
