#include "tools/solve_command.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include <time.h>

#include "history/file_store.h"
#include "history/savefile.h"
#include "solver/solver.h"

namespace trisk {

const char* const kSolveCommandUsage =
    "  trisk-tool solve --kind K --number N [limits] [--script-out FILE] [--explain]\n"
    "  trisk-tool solve FILE.kxr [limits] [--script-out FILE] [--explain]\n"
    "  trisk-tool hint FILE.kxr [limits]\n"
    "  trisk-tool survey --kind K --from A --to B [--jobs J] [limits]\n"
    "\n"
    "solve searches the dealt game N of kind K, or the current position of a saved\n"
    "game, for a winning line and prints \"winnable: A actions\" (exit status 0),\n"
    "\"not winnable\" (1, proved by a relaxation of the rules or by visiting every\n"
    "reachable position) or \"undetermined: limit reached after P positions\" (3).\n"
    "--script-out writes the winning line as a script for trisk-tool play; --explain\n"
    "adds how the verdict was proved, or for an undetermined one the most cards on\n"
    "the foundations at the end of a line. Simplified and Classical share the time\n"
    "with the linked kind on the same deal. hint prints the first action of a winning\n"
    "line. survey solves deals A to B on J threads (default 1) and prints\n"
    "number,verdict,actions,positions,milliseconds,peak_kb,method for each (method:\n"
    "search, relaxation or linked) and a summary.\n"
    "Limits: --max-positions M (default none), --max-memory MB (default 256),\n"
    "--time-limit SECONDS (default 10, fractions allowed; the search's own processor\n"
    "time, as are the survey's milliseconds); 0 means no limit.\n";

namespace {

struct TOptions {
    std::string File;
    std::string Kind;
    std::string Number;
    std::string From;
    std::string To;
    std::string Jobs;
    std::string MaxPositions;
    std::string MaxMemory;
    std::string TimeLimit;
    std::string ScriptOut;
    bool Explain = false;
};

bool ParseUnsigned(const std::string& text, uint64_t high, uint64_t& value) {
    if (text.empty() || text.size() > 20) return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value <= high;
}

// Seconds as a decimal number with at most three decimals.
bool ParseSeconds(const std::string& text, std::chrono::milliseconds& value) {
    const size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    uint64_t seconds = 0;
    uint64_t millis = 0;
    if (!ParseUnsigned(whole, 1000000000, seconds)) return false;
    if (dot != std::string::npos) {
        if (fraction.empty() || fraction.size() > 3) return false;
        fraction.resize(3, '0');
        if (!ParseUnsigned(fraction, 999, millis)) return false;
    }
    value = std::chrono::milliseconds(seconds * 1000 + millis);
    return true;
}

// The arguments after the command word: an optional file first, then options
// of the form --name value, only those allowed.
bool ParseArguments(const std::vector<std::string>& args, bool fileAllowed,
                    const std::vector<std::string>& allowed, TOptions& options, std::ostream& err) {
    size_t i = 1;
    if (fileAllowed && i < args.size() && args[i].rfind("--", 0) != 0) options.File = args[i++];
    for (; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (name == "--explain" &&
            std::find(allowed.begin(), allowed.end(), name) != allowed.end()) {
            if (options.Explain) {
                err << "trisk-tool: " << name << " given twice\n";
                return false;
            }
            options.Explain = true;
            --i;  // a flag without a value
            continue;
        }
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
            err << "trisk-tool: unknown argument '" << name << "' for " << args[0] << "\n";
            return false;
        }
        if (i + 1 >= args.size()) {
            err << "trisk-tool: " << name << " needs a value\n";
            return false;
        }
        std::string* slot = name == "--kind"            ? &options.Kind
                            : name == "--number"        ? &options.Number
                            : name == "--from"          ? &options.From
                            : name == "--to"            ? &options.To
                            : name == "--jobs"          ? &options.Jobs
                            : name == "--max-positions" ? &options.MaxPositions
                            : name == "--max-memory"    ? &options.MaxMemory
                            : name == "--time-limit"    ? &options.TimeLimit
                                                        : &options.ScriptOut;
        if (!slot->empty()) {
            err << "trisk-tool: " << name << " given twice\n";
            return false;
        }
        *slot = args[i + 1];
        if (slot->empty()) {
            err << "trisk-tool: " << name << " needs a value\n";
            return false;
        }
    }
    return true;
}

const std::vector<std::string> kLimitOptions = {"--max-positions", "--max-memory", "--time-limit"};

// The processor time of the calling thread: a search's time is its own, also
// when other searches or other programs share the machine.
std::chrono::nanoseconds ThreadCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

bool ParseLimits(const TOptions& options, TSolverLimits& limits, std::ostream& err) {
    limits.MaxPositions = 0;
    limits.MaxMemoryBytes = 256ull << 20;
    limits.TimeLimit = std::chrono::seconds(10);
    limits.Clock = ThreadCpuTime;
    if (!options.MaxPositions.empty() &&
        !ParseUnsigned(options.MaxPositions, UINT64_MAX, limits.MaxPositions)) {
        err << "trisk-tool: --max-positions must be a whole number, not '" << options.MaxPositions
            << "'\n";
        return false;
    }
    uint64_t megabytes = 256;
    if (!options.MaxMemory.empty() && !ParseUnsigned(options.MaxMemory, 1u << 24, megabytes)) {
        err << "trisk-tool: --max-memory must be a number of megabytes, not '" << options.MaxMemory
            << "'\n";
        return false;
    }
    limits.MaxMemoryBytes = megabytes << 20;
    if (!options.TimeLimit.empty() && !ParseSeconds(options.TimeLimit, limits.TimeLimit)) {
        err << "trisk-tool: --time-limit must be a number of seconds, not '" << options.TimeLimit
            << "'\n";
        return false;
    }
    return true;
}

bool ParseKind(const std::string& text, TGameKind& kind, std::ostream& err) {
    uint64_t value = 0;
    if (!ParseUnsigned(text, 3, value)) {
        err << "trisk-tool: --kind must be 0, 1, 2 or 3, not '" << text << "'\n";
        return false;
    }
    kind = static_cast<TGameKind>(value);
    return true;
}

bool ParseNumber(const char* name, const std::string& text, uint32_t& number, std::ostream& err) {
    uint64_t value = 0;
    if (!ParseUnsigned(text, UINT32_MAX, value)) {
        err << "trisk-tool: " << name << " must be a game number from 0 to 4294967295, not '"
            << text << "'\n";
        return false;
    }
    number = static_cast<uint32_t>(value);
    return true;
}

// The current position of a saved game, with the messages of the game's own
// Load Game for a file that cannot be loaded.
bool LoadPosition(const std::string& path, TPosition& position, std::ostream& err) {
    // The reader the game loads with: a regular file only (never a FIFO, a
    // device or a folder), read as it goes and checked against its size.
    const std::unique_ptr<TByteSource> file = PlatformFileStore().OpenForReading(path);
    TSavedGame saved;
    const TLoadStatus status = file ? ReadSavedGame(*file, saved) : TLoadStatus::WrongFormat;
    if (!file || file->Failed()) {
        err << "Unable to open file " << path << "!\n";
        return false;
    }
    switch (status) {
        case TLoadStatus::Ok:
            break;
        case TLoadStatus::WrongFormat:
            err << "Wrong file format.\n";
            return false;
        case TLoadStatus::TooNew:
            err << "This file was created in the version " << saved.MajorVersion << "."
                << saved.MinorVersion << " and can not be loaded.\n";
            return false;
    }
    const TSolData& entry = saved.History[static_cast<size_t>(saved.MoveIndex)];
    position.Kind = saved.Kind;
    position.PassesLeft = entry.PassesLeft;
    position.Board.Deck = entry.Deck;
    std::copy(&entry.TombPiles[0][0], &entry.TombPiles[0][0] + kGroups * kTombPilesPerGroup,
              &position.Board.TombPiles[0][0]);
    std::copy(&entry.DiamondPiles[0][0],
              &entry.DiamondPiles[0][0] + kGroups * kDiamondPilesPerGroup,
              &position.Board.DiamondPiles[0][0]);
    return true;
}

const char* VerdictText(TVerdict verdict) {
    switch (verdict) {
        case TVerdict::Winnable:
            return "winnable";
        case TVerdict::NotWinnable:
            return "not winnable";
        case TVerdict::Undetermined:
            break;
    }
    return "undetermined";
}

const char* MethodText(TMethod method) {
    switch (method) {
        case TMethod::Relaxation:
            return "relaxation";
        case TMethod::LinkedGame:
            return "linked";
        case TMethod::Search:
            break;
    }
    return "search";
}

int ExitStatus(TVerdict verdict) {
    switch (verdict) {
        case TVerdict::Winnable:
            return 0;
        case TVerdict::NotWinnable:
            return 1;
        case TVerdict::Undetermined:
            break;
    }
    return 3;
}

// How a verdict was reached, for --explain: for "not winnable" which cards
// the relaxed game strands and which block them, or how many positions an
// exhausted search visited.
std::string Explanation(const TSolveResult& result) {
    std::string text;
    const std::string cut =
        result.Cut > 0 ? " (" + std::to_string(result.Cut) + " of them cut off by the relaxation)"
                       : "";
    if (result.Method == TMethod::LinkedGame) {
        text = result.Verdict == TVerdict::Winnable
                   ? "proof: the line wins the classical game on the same deal, whose moves the "
                     "simplified game all allows\n"
                   : "proof: the simplified game on the same deal, which allows every classical "
                     "move, cannot be won\n";
    } else if (result.Verdict == TVerdict::NotWinnable && result.Method == TMethod::Relaxation) {
        text =
            "proof: relaxation (every card once reachable stays reachable; cards go only where "
            "the building orders let them)\n";
        text += "  never reaching a foundation: " + CardListText(result.Proof.Stranded) + "\n";
        if (!result.Proof.Blockers.empty())
            text +=
                "  blocked by cards that can never leave: " + CardListText(result.Proof.Blockers) +
                "\n";
    } else if (result.Verdict == TVerdict::NotWinnable) {
        text = "proof: exhausted search, every one of " + std::to_string(result.Positions) +
               " positions reachable visited" + cut + "\n";
    } else if (result.Verdict == TVerdict::Winnable) {
        text = "proof: the winning line, found after " + std::to_string(result.Positions) +
               " positions\n";
    } else {
        text = "no proof: " + std::to_string(result.Positions) + " positions visited" + cut +
               "\n  most cards on the foundations at the end of a line: " +
               std::to_string(result.MostOnFoundations) + "\n";
    }
    return text;
}

// What solve and hint print for anything but a winning line, and their exit
// status.
int ReportOther(const TSolveResult& result, const TOptions& options, std::ostream& out,
                std::ostream& err) {
    if (result.Stop == TStopReason::BadPosition) {
        err << "trisk-tool: the position in " << options.File
            << " has a pile with a gap between its cards and cannot be searched\n";
        return 2;
    }
    if (result.Verdict == TVerdict::NotWinnable)
        out << "not winnable\n";
    else
        out << "undetermined: limit reached after " << result.Positions << " positions\n";
    if (options.Explain) out << Explanation(result);
    return ExitStatus(result.Verdict);
}

// The position that solve or hint works on: a saved game or a dealt one.
bool StartPosition(const TOptions& options, TPosition& position, std::ostream& err) {
    if (!options.File.empty()) {
        if (!options.Kind.empty() || !options.Number.empty()) {
            err << "trisk-tool: give either a saved game or --kind and --number\n";
            return false;
        }
        return LoadPosition(options.File, position, err);
    }
    if (options.Kind.empty() || options.Number.empty()) {
        err << "trisk-tool: give a saved game or both --kind and --number\n";
        return false;
    }
    TGameKind kind{};
    uint32_t number = 0;
    if (!ParseKind(options.Kind, kind, err) ||
        !ParseNumber("--number", options.Number, number, err))
        return false;
    position = DealtPosition(kind, number);
    return true;
}

int RunSolve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> allowed = kLimitOptions;
    allowed.insert(allowed.end(), {"--kind", "--number", "--script-out", "--explain"});
    TOptions options;
    TSolverLimits limits;
    TPosition position;
    if (!ParseArguments(args, true, allowed, options, err) || !ParseLimits(options, limits, err) ||
        !StartPosition(options, position, err))
        return 2;
    const TSolveResult result = SolveLinked(position, limits);
    if (result.Verdict != TVerdict::Winnable) return ReportOther(result, options, out, err);
    if (!options.ScriptOut.empty()) {
        // Replaced whole, as a saved game is: a link in its place is replaced,
        // never written through, and a half-written script is never left.
        std::ostringstream script;
        WriteScript(result.Line, script);
        const std::string text = script.str();
        if (!PlatformFileStore().WriteFileAtomically(
                options.ScriptOut, std::vector<uint8_t>(text.begin(), text.end()))) {
            err << "trisk-tool: cannot write the script " << options.ScriptOut << "\n";
            return 2;
        }
    }
    out << "winnable: " << result.Line.size() << " actions\n";
    if (options.Explain) out << Explanation(result);
    return 0;
}

int RunHint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TOptions options;
    TSolverLimits limits;
    TPosition position;
    if (!ParseArguments(args, true, kLimitOptions, options, err) ||
        !ParseLimits(options, limits, err))
        return 2;
    if (options.File.empty()) {
        err << "trisk-tool: hint needs a saved game\n";
        return 2;
    }
    if (!StartPosition(options, position, err)) return 2;
    const TSolveResult result = Solve(position, limits);
    if (result.Verdict != TVerdict::Winnable) return ReportOther(result, options, out, err);
    if (result.Line.empty())
        out << "winnable: 0 actions\n";  // already won
    else
        out << ActionText(result.Line.front()) << "\n";
    return 0;
}

// The value at the given percentile (nearest rank) of total values, given as
// how often each value came.
uint64_t Percentile(const std::map<uint64_t, uint64_t>& counts, uint64_t total, int percent) {
    const uint64_t rank =
        std::max<uint64_t>((total / 100 * static_cast<uint64_t>(percent)) +
                               ((total % 100) * static_cast<uint64_t>(percent) + 99) / 100,
                           1);
    uint64_t seen = 0;
    for (const auto& [value, n] : counts) {
        seen += n;
        if (seen >= rank) return value;
    }
    return 0;
}

int RunSurvey(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> allowed = kLimitOptions;
    allowed.insert(allowed.end(), {"--kind", "--from", "--to", "--jobs"});
    TOptions options;
    TSolverLimits limits;
    if (!ParseArguments(args, false, allowed, options, err) || !ParseLimits(options, limits, err))
        return 2;
    if (options.Kind.empty() || options.From.empty() || options.To.empty()) {
        err << "trisk-tool: survey needs --kind, --from and --to\n";
        return 2;
    }
    TGameKind kind{};
    uint32_t from = 0;
    uint32_t to = 0;
    uint64_t jobs = 1;
    if (!ParseKind(options.Kind, kind, err) || !ParseNumber("--from", options.From, from, err) ||
        !ParseNumber("--to", options.To, to, err))
        return 2;
    if (to < from) {
        err << "trisk-tool: --to must not be below --from\n";
        return 2;
    }
    if (!options.Jobs.empty() && (!ParseUnsigned(options.Jobs, 256, jobs) || jobs == 0)) {
        err << "trisk-tool: --jobs must be a number from 1 to 256, not '" << options.Jobs << "'\n";
        return 2;
    }

    // Workers take the next deal in turn; the lines come out in deal order.
    // Only a window of deals ahead of the printed line is held, and the
    // times are kept as counts per millisecond, so that a survey of every
    // deal runs in the memory of a short one. A survey whose output can no
    // longer be written stops.
    const uint64_t count = uint64_t{to} - from + 1;
    const uint64_t window = 4 * jobs;
    std::vector<TSolveResult> results(window);
    std::vector<char> done(window, 0);
    std::mutex mutex;
    std::condition_variable changed;
    uint64_t next = 0;
    uint64_t printed = 0;
    bool stop = false;
    const auto work = [&] {
        for (;;) {
            uint64_t i = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock,
                             [&] { return stop || next >= count || next < printed + window; });
                if (stop || next >= count) return;
                i = next++;
            }
            TSolveResult result =
                SolveLinked(DealtPosition(kind, from + static_cast<uint32_t>(i)), limits);
            const std::lock_guard<std::mutex> lock(mutex);
            results[i % window] = std::move(result);
            done[i % window] = 1;
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (uint64_t j = 0; j < std::min<uint64_t>(jobs, count); ++j)
        workers.emplace_back(work);

    uint64_t tally[3] = {};
    std::map<uint64_t, uint64_t> times;
    uint64_t peak = 0;
    for (uint64_t i = 0; i < count && out; ++i) {
        TSolveResult r;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return done[i % window] != 0; });
            r = std::move(results[i % window]);
            done[i % window] = 0;
            printed = i + 1;
            changed.notify_all();
        }
        out << from + i << "," << VerdictText(r.Verdict) << "," << r.Line.size() << ","
            << r.Positions << "," << r.Milliseconds << "," << r.PeakBytes / 1024 << ","
            << MethodText(r.Method) << std::endl;
        ++tally[static_cast<int>(r.Verdict)];
        ++times[r.Milliseconds];
        peak = std::max(peak, r.PeakBytes);
    }
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stop = true;
        changed.notify_all();
    }
    for (std::thread& worker : workers)
        worker.join();
    if (!out) {
        err << "trisk-tool: the survey's output cannot be written\n";
        return 2;
    }
    out << "# kind " << static_cast<int>(kind) << ", deals " << from << " to " << to << ": "
        << tally[0] << " winnable, " << tally[1] << " not winnable, " << tally[2]
        << " undetermined; median " << Percentile(times, count, 50) << " ms, 95th percentile "
        << Percentile(times, count, 95) << " ms, largest peak " << peak / 1024 << " kB\n";
    return 0;
}

}  // namespace

int RunSolveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "solve") return RunSolve(args, out, err);
    if (!args.empty() && args[0] == "hint") return RunHint(args, out, err);
    if (!args.empty() && args[0] == "survey") return RunSurvey(args, out, err);
    err << "trisk-tool: unknown command '" << (args.empty() ? "" : args[0]) << "'\n";
    return 2;
}

}  // namespace trisk
