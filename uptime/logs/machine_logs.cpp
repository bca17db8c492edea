#include "uptime/logs/machine_logs.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/file_listing.h"
#include "uptime/logs/log_file.h"
#include "uptime/logs/machine_sorter.h"
#include "uptime/logs/sorting_pool.h"

namespace uptime {
namespace {

using ombrix::base::Failure;
using ombrix::base::FailureKind;

// The files the paths name, wildcards expanded; a problem for each pattern that names none.
std::vector<std::string> ExpandPaths(const std::vector<std::string>& paths,
                                     std::vector<LogProblem>& problems) {
    std::vector<std::string> files;
    const auto add = [&](const std::string& file) {
        if (std::find(files.begin(), files.end(), file) == files.end()) {
            files.push_back(file);
        }
    };
    for (const std::string& path : paths) {
        if (!ombrix::platform::HasWildcards(path)) {
            add(path);
            continue;
        }
        auto matched = ombrix::platform::MatchingFiles(path);
        if (!matched) {
            problems.push_back(
                {path, "Its folder cannot be read: " + matched.Reason(), matched.Kind()});
        } else if (matched->empty()) {
            problems.push_back({path, "No file matches it.", FailureKind::NotFound});
        }
        if (matched) {
            std::for_each(matched->begin(), matched->end(), add);
        }
    }
    return files;
}

// What a file that was read gave, when that is less than a user expects.
std::optional<LogProblem> ProblemOf(const std::string& file, const FileCounts& counts) {
    const std::string total = std::to_string(counts.records);
    if (counts.records == 0) {
        return LogProblem{file, std::string(NoRecordsReason())};
    }
    if (counts.unreadable == counts.records) {
        return LogProblem{file,
                          "None of its " + total +
                              " event records could be read: they are not well-formed event XML."};
    }
    if (counts.unreadable > 0) {
        return LogProblem{file, std::to_string(counts.unreadable) + " of its " + total +
                                    " event records could not be read: they are not "
                                    "well-formed event XML, and name no computer."};
    }
    if (counts.kept == 0) {
        return LogProblem{file, "None of its " + total +
                                    " event records is one the report reads (a start, a "
                                    "shutdown, a crash or an application failure)."};
    }
    return std::nullopt;
}

// The run's failure when no machine came out of it: every problem, one line each.
Failure NothingRead(const std::vector<LogProblem>& problems) {
    std::string reason;
    FailureKind kind = problems.empty() ? FailureKind::Failed : problems.front().kind;
    for (const LogProblem& problem : problems) {
        reason += (reason.empty() ? "" : "\r\n") + problem.source + ": " + problem.reason;
        if (problem.kind != kind) {
            kind = FailureKind::Failed;
        }
    }
    return Failure{reason.empty() ? "No log was given." : reason, kind};
}

}  // namespace

ombrix::base::Result<MachineLogs> ReadMachineLogs(const std::vector<std::string>& paths,
                                                  const LogSources& sources, unsigned threads) {
    MachineLogs logs;
    const std::vector<std::string> files = ExpandPaths(paths, logs.problems);
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    SortingPool pool(files.size(), threads);
    std::vector<std::optional<Failure>> failures(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::unique_ptr<SortingPool::FileInput> input = pool.InputFor(i);
        if (auto read = ReadExportRecords(files[i], sources, *input, input.get()); !read) {
            failures[i] = read.TakeFailure();
        }
    }
    MachineSorter sorter = pool.Finish();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (failures[i]) {
            logs.problems.push_back({files[i], failures[i]->reason, failures[i]->kind});
        } else if (auto problem = ProblemOf(files[i], sorter.Files()[i])) {
            logs.problems.push_back(std::move(*problem));
        }
    }
    logs.files = files.size();
    logs.machines = sorter.Finish();
    if (logs.machines.empty()) {
        return NothingRead(logs.problems);
    }
    return logs;
}

ombrix::base::Result<MachineLogs> ReadCollectorChannel(const LogSources& sources,
                                                       const std::string& collector,
                                                       const std::string& channel) {
    const std::string name = channel.empty() ? "ForwardedEvents" : channel;
    const std::unique_ptr<EventLogReader> reader = sources.OpenEventLog(collector);
    auto read = reader->Read(CollectorQuery(name));
    if (!read) {
        return read.TakeFailure();
    }
    MachineSorter sorter(1);
    std::uint64_t place = 0;
    for (const std::string& record : read->records) {
        sorter.Take(record, 0, OrderOf(0, place++));
    }
    MachineLogs logs;
    logs.machines = sorter.Finish();
    if (logs.machines.empty()) {
        const std::string where = collector.empty() ? "this computer" : collector;
        return Failure{
            "The channel " + name + " on " + where + " holds none of the events the report reads.",
            FailureKind::NotFound};
    }
    return logs;
}

}  // namespace uptime
