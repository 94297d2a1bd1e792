#include "history/statistics.h"

#include <sys/stat.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace trisk {

namespace {

constexpr const char* kMagic = "trisk-statistics";
constexpr int kVersion = 1;
// Far more than four lines of ten numbers can take: a larger file is damaged.
constexpr uint64_t kMaxFileSize = 4096;

}  // namespace

bool ReadStatisticsFile(TFileStore& files, const std::string& path, TStatistics& stats,
                        bool& exists) {
    exists = !path.empty() && files.Exists(path);
    std::vector<uint8_t> bytes;
    TStatistics read{};
    if (!exists || !files.ReadWholeFile(path, bytes, kMaxFileSize) || !ParseStatistics(bytes, read))
        return false;
    stats = read;
    return true;
}

std::vector<uint8_t> FormatStatistics(const TStatistics& stats) {
    std::ostringstream out;
    out << kMagic << " " << kVersion << "\n";
    for (int k = 0; k < kGameKinds; ++k) {
        const TKindStatistics& s = stats[k];
        out << k << " " << s.Played << " " << s.Won << " " << s.Lost << " " << s.Abandoned << " "
            << s.CurrentStreak << " " << s.LongestStreak << " " << s.BestSeconds << " "
            << s.FewestMoves << "\n";
    }
    const std::string text = out.str();
    return {text.begin(), text.end()};
}

bool ParseStatistics(const std::vector<uint8_t>& bytes, TStatistics& stats) {
    // Lines of digits and single spaces only, each ending in a newline.
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start != text.size() || lines.size() != 1 + kGameKinds) return false;
    if (lines[0] != std::string(kMagic) + " " + std::to_string(kVersion)) return false;
    TStatistics read{};
    for (int k = 0; k < kGameKinds; ++k) {
        const std::string& line = lines[1 + k];
        std::vector<uint32_t> values;
        size_t i = 0;
        while (i <= line.size()) {
            size_t end = line.find(' ', i);
            if (end == std::string::npos) end = line.size();
            const std::string field = line.substr(i, end - i);
            if (field.empty() || field.size() > 10) return false;
            uint64_t v = 0;
            for (char c : field) {
                if (c < '0' || c > '9') return false;
                v = v * 10 + uint64_t(c - '0');
            }
            if (v > 0xFFFFFFFFull) return false;
            values.push_back(uint32_t(v));
            i = end + 1;
        }
        if (values.size() != 9 || values[0] != uint32_t(k)) return false;
        TKindStatistics& s = read[k];
        s.Played = values[1];
        s.Won = values[2];
        s.Lost = values[3];
        s.Abandoned = values[4];
        s.CurrentStreak = values[5];
        s.LongestStreak = values[6];
        s.BestSeconds = values[7];
        s.FewestMoves = values[8];
        if (uint64_t(s.Won) + s.Lost + s.Abandoned != s.Played) return false;
        if (s.CurrentStreak > s.LongestStreak || s.LongestStreak > s.Won) return false;
    }
    stats = read;
    return true;
}

std::string DurationText(uint32_t seconds) {
    if (seconds == 0) return "-";
    char text[32];
    const uint32_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        std::snprintf(text, sizeof text, "%u:%02u:%02u", h, m, s);
    else
        std::snprintf(text, sizeof text, "%u:%02u", m, s);
    return text;
}

std::string StatisticsTable(const TStatistics& stats) {
    std::ostringstream out;
    char line[160];
    std::snprintf(line, sizeof line, "%-29s %6s %6s %6s %9s %5s %7s %7s %9s %6s\n", "Game",
                  "Played", "Won", "Lost", "Abandoned", "Win%", "Streak", "Longest", "Best time",
                  "Fewest");
    out << line;
    for (int k = 0; k < kGameKinds; ++k) {
        const TKindStatistics& s = stats[k];
        const std::string fewest = s.FewestMoves ? std::to_string(s.FewestMoves) : "-";
        std::snprintf(line, sizeof line, "%-29s %6u %6u %6u %9u %4u%% %7u %7u %9s %6s\n",
                      GameKindName(TGameKind(k)), s.Played, s.Won, s.Lost, s.Abandoned, s.WinRate(),
                      s.CurrentStreak, s.LongestStreak, DurationText(s.BestSeconds).c_str(),
                      fewest.c_str());
        out << line;
    }
    return out.str();
}

std::string StatisticsFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/solitaire-trisk";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/solitaire-trisk";
    return {};
}

std::string StatisticsPath() {
    const std::string folder = StatisticsFolder();
    return folder.empty() ? std::string() : folder + "/statistics";
}

// ---- the keeper ----

TStatisticsKeeper::TStatisticsKeeper(TFileStore& files, TGameDialogs& dialogs, std::string path)
    : files_(files), dialogs_(dialogs), path_(std::move(path)) {}

void TStatisticsKeeper::Load() {
    stats_ = {};
    if (path_.empty()) return;
    bool exists = false;
    if (ReadStatisticsFile(files_, path_, stats_, exists) || !exists) return;
    stats_ = {};
    // Kept aside under a name of its own, for the player to look at.
    std::string aside;
    for (int n = 1; n < 1000; ++n) {
        const std::string name = path_ + ".damaged-" + std::to_string(n);
        if (!files_.Exists(name) && files_.RenameFile(path_, name)) {
            aside = name;
            break;
        }
    }
    std::string text = "The game statistics could not be read and start afresh.";
    if (!aside.empty()) {
        text += " The old file was kept as " + aside + ".";
    } else {
        // What cannot be moved aside is not written over either: this
        // session's figures stay in memory.
        text += " The old file " + path_ +
                " is left as it is, and this session's figures are not kept.";
        path_.clear();
    }
    dialogs_.ShowMessage(text, TMessageKind::Plain);
}

bool TStatisticsKeeper::Save() {
    if (path_.empty()) return false;
    // The folder is made on the first write; the parent of the data folder
    // is the user's own.
    const size_t slash = path_.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        const std::string folder = path_.substr(0, slash);
        const size_t up = folder.find_last_of('/');
        if (up != std::string::npos && up > 0) ::mkdir(folder.substr(0, up).c_str(), 0700);
        ::mkdir(folder.c_str(), 0700);
    }
    return files_.WriteFileAtomically(path_, FormatStatistics(stats_));
}

void TStatisticsKeeper::Reset() {
    stats_ = {};
    Save();
}

void TStatisticsKeeper::Abandon(bool hadAction) {
    if (kind_ < 0 || ended_ || !hadAction) return;
    TKindStatistics& s = stats_[kind_];
    ++s.Played;
    ++s.Abandoned;
    s.CurrentStreak = 0;
    ended_ = true;
}

void TStatisticsKeeper::Finish(bool hadAction) {
    Abandon(hadAction);
    Save();
}

void TStatisticsKeeper::GameBegun(TGameKind kind, bool restarted, bool hadAction) {
    // A restart is the same game: its result, if any, already counted.
    if (restarted && kind_ == int(kind)) return;
    const bool changed = !ended_ && hadAction && kind_ >= 0;
    Abandon(hadAction);
    kind_ = int(kind);
    ended_ = false;
    if (changed) Save();
}

void TStatisticsKeeper::GameWon(uint32_t seconds, uint32_t moves) {
    if (kind_ < 0 || ended_) return;
    ended_ = true;
    TKindStatistics& s = stats_[kind_];
    ++s.Played;
    ++s.Won;
    if (++s.CurrentStreak > s.LongestStreak) s.LongestStreak = s.CurrentStreak;
    // A win in under a second still counts as one.
    if (seconds == 0) seconds = 1;
    if (s.BestSeconds == 0 || seconds < s.BestSeconds) s.BestSeconds = seconds;
    if (moves > 0 && (s.FewestMoves == 0 || moves < s.FewestMoves)) s.FewestMoves = moves;
    Save();
}

void TStatisticsKeeper::GameLost() {
    if (kind_ < 0 || ended_) return;
    ended_ = true;
    TKindStatistics& s = stats_[kind_];
    ++s.Played;
    ++s.Lost;
    s.CurrentStreak = 0;
    Save();
}

}  // namespace trisk
