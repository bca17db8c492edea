#include "uptime/logs/sorting_pool.h"

#include <algorithm>
#include <utility>

namespace uptime {
namespace {

constexpr std::size_t kBatchBytes = 4 << 20;

}  // namespace

class SortingPool::FileSink final : public RecordSink {
  public:
    FileSink(SortingPool& pool, std::size_t file) : pool_(pool), file_(file) { Start(); }
    ~FileSink() override {
        if (!batch_.ends.empty()) {
            pool_.Submit(std::move(batch_));
        }
    }
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void Take(std::string_view xml) override {
        if (pool_.workers_.empty()) {
            pool_.sorters_.front().Take(xml, file_, OrderOf(file_, place_++));
            return;
        }
        batch_.text.append(xml);
        batch_.ends.push_back(batch_.text.size());
        ++place_;
        if (batch_.text.size() >= kBatchBytes) {
            pool_.Submit(std::move(batch_));
            Start();
        }
    }

  private:
    void Start() {
        batch_ = Batch{};
        batch_.file = file_;
        batch_.firstPlace = place_;
        batch_.text.reserve(kBatchBytes + (64 << 10));
    }

    SortingPool& pool_;
    std::size_t file_;
    std::uint64_t place_ = 0;
    Batch batch_;
};

SortingPool::SortingPool(std::size_t files, unsigned threads)
    : files_(files), capacity_(2 * std::max(1u, threads)) {
    const unsigned workers = threads > 1 ? threads : 0;
    sorters_.reserve(std::max(1u, workers));
    for (unsigned i = 0; i < std::max(1u, workers); ++i) {
        sorters_.emplace_back(files);
    }
    for (unsigned i = 0; i < workers; ++i) {
        workers_.emplace_back([this, i] { Work(sorters_[i]); });
    }
}

SortingPool::~SortingPool() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

std::unique_ptr<RecordSink> SortingPool::SinkFor(std::size_t file) {
    return std::make_unique<FileSink>(*this, file);
}

void SortingPool::Submit(Batch batch) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return queue_.size() < capacity_; });
    queue_.push_back(std::move(batch));
    lock.unlock();
    changed_.notify_all();
}

void SortingPool::Work(MachineSorter& sorter) {
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return closing_ || !queue_.empty(); });
            if (queue_.empty()) {
                return;
            }
            batch = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        std::size_t start = 0;
        std::uint64_t place = batch.firstPlace;
        for (const std::size_t end : batch.ends) {
            sorter.Take(std::string_view(batch.text).substr(start, end - start), batch.file,
                        OrderOf(batch.file, place++));
            start = end;
        }
    }
}

MachineSorter SortingPool::Finish() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
    MachineSorter merged = std::move(sorters_.front());
    for (std::size_t i = 1; i < sorters_.size(); ++i) {
        merged.Merge(std::move(sorters_[i]));
    }
    sorters_.clear();
    sorters_.emplace_back(files_);
    return merged;
}

}  // namespace uptime
