// Cancelling the Windows event log reader from another thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "uptime/logs/win32/event_log_win32.h"
#include "uptime/logs/win32/wide_text.h"

namespace uptime {
namespace {

// This computer's log (a remote session to another machine cannot be had here), cancelled over
// and over by another thread.
TEST(WindowsEventLogCancel, ReadsWhileAnotherThreadCancelsFinishOrGiveTheCancel) {
    const auto log = win32::OpenWindowsEventLog("");
    const std::string cancelledText = win32::ErrorText(ERROR_CANCELLED);
    std::atomic<bool> cancelled = false;
    std::atomic<bool> reading = true;
    std::thread canceller([&] {
        while (reading) {
            log->Cancel();
            cancelled = true;
            std::this_thread::yield();
        }
    });
    bool sawCancelled = false;
    for (int i = 0; i < 100000 && !sawCancelled; ++i) {
        const bool after = cancelled;
        const auto read = log->Read(i % 2 == 0 ? SystemLogQuery() : ApplicationLogQuery());
        if (!read) {
            EXPECT_EQ(read.Reason(), cancelledText);
        }
        if (after) {
            EXPECT_FALSE(read) << "a Read after the Cancel";
            sawCancelled = true;
        }
    }
    reading = false;
    canceller.join();
    EXPECT_TRUE(sawCancelled);
}

}  // namespace
}  // namespace uptime
