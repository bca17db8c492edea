// Records sorted into machines by worker threads: the reader hands records over in batches of a
// few megabytes, each worker files them into a sorter of its own, and the sorters are merged
// when the reading is done. The batches in flight are bounded, so memory does not grow with the
// files.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "uptime/logs/export_file.h"
#include "uptime/logs/machine_sorter.h"

namespace uptime {

class SortingPool {
  public:
    // With one thread or none, the records are sorted on the caller's thread as they come.
    SortingPool(std::size_t files, unsigned threads);
    ~SortingPool();
    SortingPool(const SortingPool&) = delete;
    SortingPool& operator=(const SortingPool&) = delete;

    // A sink for the records of one file, numbered from 0 in the order they come.
    std::unique_ptr<RecordSink> SinkFor(std::size_t file);
    // Waits for the workers and merges their sorters.
    MachineSorter Finish();

  private:
    struct Batch {
        std::size_t file = 0;
        std::uint64_t firstPlace = 0;  // the place in its file of the batch's first record
        std::string text;
        std::vector<std::size_t> ends;  // where each record ends in `text`
    };
    class FileSink;

    void Submit(Batch batch);
    void Work(MachineSorter& sorter);

    std::size_t files_;
    std::vector<MachineSorter> sorters_;  // one a worker, or the caller's alone
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> queue_;
    std::size_t capacity_;
    bool closing_ = false;
};

}  // namespace uptime
