#include "uptime/logs/sorting_pool.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/text.h"

namespace uptime {
namespace {

constexpr std::size_t kBlockBytes = 2 << 20;
constexpr int kPlaceBits = 24;  // a record's place within its batch; more than a batch holds

// Where the last record in the text starts: "<Event" and a blank, ">" or "/".
std::size_t LastRecordStart(std::string_view text) {
    for (auto at = text.rfind("<Event"); at != std::string_view::npos && at > 0;
         at = text.rfind("<Event", at - 1)) {
        const char next = at + 6 < text.size() ? text[at + 6] : '\0';
        if (ombrix::base::IsBlank(next) || next == '>' || next == '/') {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace

// A worker's sorter, and a splitter for its blocks that files each record with its place.
struct SortingPool::Worker final : RecordSink {
    explicit Worker(std::size_t files) : sorter(files) {}
    void Take(std::string_view xml) override {
        sorter.Take(xml, file, OrderOf(file, first + place++));
    }
    MachineSorter sorter;
    EventSplitter splitter{*this};
    std::size_t file = 0;
    std::uint64_t first = 0;
    std::uint64_t place = 0;
};

SortingPool::FileInput::FileInput(SortingPool& pool, std::size_t file) : pool_(pool), file_(file) {}

SortingPool::FileInput::~FileInput() {
    if (!pending_.empty()) {
        Finish();
    }
    SubmitRecords();
}

void SortingPool::FileInput::Take(std::string_view xml) {
    if (records_.empty()) {
        records_ = pool_.SpareText();
    }
    records_.append(xml);
    ends_.push_back(records_.size());
    if (records_.size() >= kBlockBytes) {
        SubmitRecords();
    }
}

void SortingPool::FileInput::SubmitRecords() {
    if (!ends_.empty()) {
        pool_.Submit({file_, nextBatch_++, std::move(records_), std::move(ends_)});
    }
    records_.clear();
    ends_.clear();
}

// Comments, CDATA and processing instructions may hold "<Event" that starts no record: a text
// that has them is split one record after the other.
bool SortingPool::FileInput::CutUnsafe(std::size_t from) const {
    for (const char mark : {'!', '?'}) {
        for (const char* at = pending_.data() + from;
             (at = static_cast<const char*>(std::memchr(
                  at, mark, pending_.size() - static_cast<std::size_t>(at - pending_.data())))) !=
             nullptr;
             ++at) {
            if (at > pending_.data() && at[-1] == '<') {
                return true;
            }
        }
    }
    return false;
}

void SortingPool::FileInput::Feed(std::string_view text) {
    if (oneByOne_) {
        splitter_.Feed(text);
        return;
    }
    if (pending_.empty() && pending_.capacity() < kBlockBytes) {
        pending_ = pool_.SpareText();
    }
    pending_.append(text);
    if (!started_) {
        // An XML declaration may open the text; markup after it makes the text unsafe to cut.
        const std::string_view begun = ombrix::base::TrimBlanks(pending_);
        if (begun.size() < 5 && !begun.empty() && pending_.size() < 64) {
            return;
        }
        started_ = true;
        if (begun.starts_with("<?xml")) {
            const auto end = pending_.find("?>");
            checkedFrom_ = end == std::string::npos ? 0 : end + 2;
        }
    }
    const bool unsafe = CutUnsafe(checkedFrom_);
    checkedFrom_ = pending_.empty() ? 0 : pending_.size() - 1;
    if (unsafe) {
        oneByOne_ = true;
        splitter_.Feed(pending_);
        pending_.clear();
        return;
    }
    if (pending_.size() < kBlockBytes) {
        return;
    }
    const std::size_t cut = LastRecordStart(pending_);
    if (cut == std::string::npos) {
        return;
    }
    std::string rest = pool_.SpareText();
    rest.assign(pending_, cut);
    pending_.resize(cut);
    pool_.Submit({file_, nextBatch_++, std::move(pending_), {}});
    pending_ = std::move(rest);
    checkedFrom_ = pending_.empty() ? 0 : pending_.size() - 1;
}

void SortingPool::FileInput::Finish() {
    if (oneByOne_) {
        splitter_.Finish();
    } else if (!pending_.empty()) {
        pool_.Submit({file_, nextBatch_++, std::move(pending_), {}});
        pending_.clear();
    }
    SubmitRecords();
}

SortingPool::SortingPool(std::size_t files, unsigned threads)
    : files_(files), capacity_(2 * std::max(1u, threads)) {
    const unsigned count = std::max(1u, threads);
    for (unsigned i = 0; i < count; ++i) {
        workers_.push_back(std::make_unique<Worker>(files));
    }
    for (unsigned i = 0; threads > 1 && i < count; ++i) {
        threads_.emplace_back([this, i] { Work(*workers_[i]); });
    }
}

SortingPool::~SortingPool() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

std::unique_ptr<SortingPool::FileInput> SortingPool::InputFor(std::size_t file) {
    return std::make_unique<FileInput>(*this, file);
}

std::string SortingPool::SpareText() {
    {
        const std::lock_guard lock(mutex_);
        if (!spares_.empty()) {
            std::string spare = std::move(spares_.back());
            spares_.pop_back();
            spare.clear();
            return spare;
        }
    }
    std::string text;
    text.reserve(kBlockBytes + (1 << 20));
    return text;
}

void SortingPool::Submit(Batch batch) {
    if (threads_.empty()) {
        Process(*workers_.front(), batch);
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return queue_.size() < capacity_; });
    queue_.push_back(std::move(batch));
    lock.unlock();
    changed_.notify_all();
}

void SortingPool::Process(Worker& worker, Batch& batch) {
    worker.file = batch.file;
    worker.first = batch.number << kPlaceBits;
    worker.place = 0;
    if (batch.ends.empty()) {
        worker.splitter.Feed(batch.text);
        worker.splitter.Finish();
    } else {
        std::size_t start = 0;
        for (const std::size_t end : batch.ends) {
            worker.Take(std::string_view(batch.text).substr(start, end - start));
            start = end;
        }
    }
    batch.text.clear();
    const std::lock_guard lock(mutex_);
    spares_.push_back(std::move(batch.text));
}

void SortingPool::Work(Worker& worker) {
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
        Process(worker, batch);
    }
}

MachineSorter SortingPool::Finish() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
    threads_.clear();
    MachineSorter merged = std::move(workers_.front()->sorter);
    for (std::size_t i = 1; i < workers_.size(); ++i) {
        merged.Merge(std::move(workers_[i]->sorter));
    }
    workers_.clear();
    workers_.push_back(std::make_unique<Worker>(files_));
    spares_.clear();
    return merged;
}

}  // namespace uptime
