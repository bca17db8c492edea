// Records sorted into machines by worker threads. The text of an XML export is cut between
// records into blocks of a few megabytes, and each worker splits a block into records and files
// them into a sorter of its own; the sorters are merged when the reading is done. Records that
// come one by one (an .evtx file, or an export whose comments or processing instructions make
// such a cut unsafe) go to the workers in batches. The blocks in flight are bounded and reused,
// so memory does not grow with the files.
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

    // Takes one file's records, or the decoded text of its XML export; one file at a time. All
    // it holds goes to the workers when it is destroyed.
    class FileInput final : public RecordSink, public ExportText {
      public:
        FileInput(SortingPool& pool, std::size_t file);
        ~FileInput() override;
        FileInput(const FileInput&) = delete;
        FileInput& operator=(const FileInput&) = delete;
        void Take(std::string_view xml) override;
        void Feed(std::string_view text) override;
        void Finish() override;

      private:
        bool CutUnsafe(std::size_t from) const;
        void SubmitRecords();

        SortingPool& pool_;
        std::size_t file_;
        std::uint64_t nextBatch_ = 0;
        std::string pending_;            // text from a record's start on, not yet handed on
        std::size_t checkedFrom_ = 0;    // where the search for unsafe markup goes on
        bool started_ = false;           // the text's declaration has been passed
        bool oneByOne_ = false;          // the text is split here, not in blocks
        EventSplitter splitter_{*this};  // for that
        std::string records_;            // the batch of records being filled
        std::vector<std::size_t> ends_;  // where each of them ends
    };

    std::unique_ptr<FileInput> InputFor(std::size_t file);
    // Waits for the workers and merges their sorters.
    MachineSorter Finish();

  private:
    struct Batch {
        std::size_t file = 0;
        std::uint64_t number = 0;       // its place among the file's batches
        std::string text;               // a block of text, or records one after the other
        std::vector<std::size_t> ends;  // where each record ends; empty for a block
    };
    struct Worker;

    void Submit(Batch batch);
    std::string SpareText();
    void Process(Worker& worker, Batch& batch);
    void Work(Worker& worker);

    std::size_t files_;
    std::vector<std::unique_ptr<Worker>> workers_;  // or the caller's alone
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> queue_;
    std::vector<std::string> spares_;
    std::size_t capacity_;
    bool closing_ = false;
};

}  // namespace uptime
