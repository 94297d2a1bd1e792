// How often each game kind is won: the figures per kind, the tracker that
// counts the game on the table once as it starts, ends or is replaced, and the
// small versioned file they are kept in. No Qt; files go through the file store.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/board.h"
#include "history/file_store.h"
#include "history/services.h"

namespace trisk {

struct TKindStatistics {
    uint32_t Played = 0;  // won + lost + abandoned
    uint32_t Won = 0;
    uint32_t Lost = 0;
    uint32_t Abandoned = 0;
    uint32_t CurrentStreak = 0;
    uint32_t LongestStreak = 0;
    // Of a win; 0 while there is none.
    uint32_t BestSeconds = 0;
    uint32_t FewestMoves = 0;

    // Won per hundred played, rounded down; 0 before any game.
    uint32_t WinRate() const { return Played == 0 ? 0 : uint32_t(uint64_t(Won) * 100 / Played); }
    bool operator==(const TKindStatistics&) const = default;
};

using TStatistics = std::array<TKindStatistics, kGameKinds>;

// The file: a first line "trisk-statistics 1", then one line per kind
// "K played won lost abandoned current longest best-seconds fewest-moves".
std::vector<uint8_t> FormatStatistics(const TStatistics& stats);
// False for anything but a complete, consistent file of version 1.
bool ParseStatistics(const std::vector<uint8_t>& bytes, TStatistics& stats);
// Reads the file at path into stats: false when it is missing (exists false)
// or cannot be read whole or is damaged (exists true); stats then unchanged.
bool ReadStatisticsFile(TFileStore& files, const std::string& path, TStatistics& stats,
                        bool& exists);
// The table trisk-tool and the dialog show: one row per kind.
std::string StatisticsTable(const TStatistics& stats);
// "m:ss" (or "h:mm:ss"), "-" for no win.
std::string DurationText(uint32_t seconds);

// The folder of the program's data: $XDG_DATA_HOME/solitaire-trisk when that
// is an absolute path, else ~/.local/share/solitaire-trisk; empty when there
// is no home either.
std::string StatisticsFolder();
std::string StatisticsPath();

// Counts each game once: a won or lost game takes no further result (undo
// after a win and the same win again, or a restart, change nothing); a game
// with an action that is replaced unfinished, or is on the table when the
// program ends, is abandoned.
class TStatisticsKeeper : public TGameEvents {
  public:
    // path: the statistics file; empty keeps the figures in memory only.
    TStatisticsKeeper(TFileStore& files, TGameDialogs& dialogs, std::string path);

    // Reads the file. A damaged or unreadable one is renamed aside, the player
    // told once, and counting starts afresh.
    void Load();
    // Writes the file atomically; false when the write failed.
    bool Save();
    // The program ends: the game on the table, if it had an action and is not
    // finished, is abandoned; then the figures are written.
    void Finish(bool hadAction);
    void Reset();

    const TStatistics& Figures() const { return stats_; }

    void GameBegun(TGameKind kind, bool restarted, bool hadAction) override;
    void GameWon(uint32_t seconds, uint32_t moves) override;
    void GameLost() override;

  private:
    void Abandon(bool hadAction);

    TFileStore& files_;
    TGameDialogs& dialogs_;
    std::string path_;
    TStatistics stats_{};
    // The game on the table: its kind, whether one is, and whether it ended.
    int kind_ = -1;
    bool ended_ = false;
};

}  // namespace trisk
