// Processes and files: the operations the runner and the shared routines need from the system.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
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

// True when the file at `path` is marked read-only: on Windows its read-only attribute; on POSIX
// no write permission for anyone (as `chmod a-w` leaves it, which binds even root here) or none
// for this user. False for a missing file or a folder.
bool IsReadOnlyFile(const std::string& path);

// Puts `bytes` into the file at `path`, keeping the file's rights and attributes. A new file is
// written beside it and then takes its place, so that readers see either the whole old content
// or the whole new one. Where the folder refuses that new file (or its taking the old one's
// place) but the file itself may be written, the file is rewritten in place instead, as
// RewriteInPlace does. A read-only file is refused and left as it is. On failure the old file is
// untouched and no other file is left behind. Leftovers of earlier replacements of `path` cut
// short are removed first.
base::Result<> ReplaceFileContent(const std::string& path, std::string_view bytes);

// ReplaceFileContent's first way: a new file beside `path` takes its place, with the old one's
// owner, permissions and attributes. On failure the old file and the folder are as they were;
// the kind is AccessDenied when the folder refuses the new file or the swap.
base::Result<> ReplaceThroughNewFile(const std::string& path, std::string_view bytes);

// An existing file opened to be rewritten where it stands: it keeps its identity, its rights
// and its attributes. Nobody else may write it meanwhile.
class RewritableFile {
  public:
    static base::Result<std::unique_ptr<RewritableFile>> Open(const std::string& path);

    RewritableFile(const RewritableFile&) = delete;
    RewritableFile& operator=(const RewritableFile&) = delete;
    virtual ~RewritableFile() = default;

    virtual base::Result<std::string> ReadAll() = 0;
    // Makes the file `length` bytes long; growing it takes the room on the disk at once.
    virtual base::Result<> Resize(std::uint64_t length) = 0;
    virtual base::Result<> WriteFromStart(std::string_view bytes) = 0;
    // Returns once the content is on the disk.
    virtual base::Result<> Flush() = 0;

  protected:
    RewritableFile() = default;
};

// ReplaceFileContent's second way: `file` is rewritten with `bytes`. The room for a longer
// content is taken before any old byte is overwritten, and a write that fails after that puts
// the old content back, so the old content is lost only if even that fails.
base::Result<> RewriteInPlace(RewritableFile& file, std::string_view bytes);

// The new file a replacement of `path` writes beside it before it takes the old one's place:
// "<path>.~<process id>-<counter>-<stamp>.tmp". The process id tells whose it is.
std::string ReplacementPath(const std::string& path, unsigned long processId, unsigned counter,
                            unsigned long long stamp);

// The process id in `candidate` when it is exactly the name of a replacement of the file named
// `target` (both without their folder); nothing for any other name.
std::optional<unsigned long> ReplacementOwner(std::string_view target, std::string_view candidate);

// Removes the replacements of `path` that a process left behind when it ended mid-save: files
// beside it with exactly a replacement's name whose process no longer runs. The files of running
// processes, this one's included, and every other file stay.
void RemoveAbandonedReplacements(const std::string& path);

// The whole file, byte for byte. A file too large for the memory available fails as OutOfMemory.
base::Result<std::string> ReadWholeFile(const std::string& path);

// ReadWholeFile's failure for a file that memory cannot hold.
base::Failure FileTooLargeForMemory();

// The folder that holds the running program, without a trailing separator.
std::string ProgramDirectory();

// The system's own text for an error code (GetLastError or errno), without a line end and never
// empty: the one text both programs give for a system error.
std::string SystemErrorText(unsigned long code);

// What kind of failure an error code stands for.
base::FailureKind SystemErrorKind(unsigned long code);

// A failed system call as it is passed on: the system's text and its kind.
inline base::Failure SystemFailure(unsigned long code) {
    return {SystemErrorText(code), SystemErrorKind(code)};
}

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

// The command line a child is started with: its path in quotes, so that no blank in it splits
// it, then the switches as given.
inline std::string ChildCommandLine(const std::string& programPath,
                                    const std::string& argumentTail) {
    return "\"" + programPath + "\"" + argumentTail;
}

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
    // What the system signals when the child ends, for a wait that also takes other events: on
    // Windows the process handle, as a number, valid until Finish. 0 where there is none.
    virtual std::uintptr_t EndSignal() const { return 0; }
    // Ends the child at once (after a cancel); it then exits with a non-zero code.
    virtual void Terminate() = 0;
    // After the child has ended: its exit code as the system reports it. Closes every handle
    // and returns only once the output file is complete and can be read by others. A child that
    // is let go without Finish is ended the same way, so its output file can always be removed.
    virtual std::int32_t Finish() = 0;

  protected:
    CapturedProcess() = default;
};

}  // namespace ombrix::platform
