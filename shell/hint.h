// The hint: on request, a search for a winning line from the position on the
// table, run on a copy of the position in a worker thread so the window stays
// responsive. Its answer is the line's first step: the card to move is picked
// up as a click on its pile would, and its target pile (or the stock) is framed
// for a moment. A hint is not a step of the game: it changes neither the
// position, the counters nor the history, only the selection.
//
// Any change of the game while the search runs makes its answer worthless:
// the window reports every repaint here (GameChanged), the search is told to
// stop, and an answer that still arrives for an older position is dropped.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include "engine/rules.h"
#include "solver/solver.h"

namespace trisk {

class TGame;
class TGameDialogs;
class TTableView;

class THint : public QObject {
  public:
    // The search gives up after this long or when it holds this much memory.
    static constexpr std::chrono::milliseconds kSearchTime{5000};
    static constexpr uint64_t kSearchMemory = 128ull << 20;
    // How long the target pile stays framed.
    static constexpr int kMarkMilliseconds = 1500;

    // table shows the busy cursor while searching and the mark; the answers
    // that find nothing are plain messages.
    THint(TGame& game, TTableView& table, TGameDialogs& dialogs);
    // Stops a running search and waits for its thread.
    ~THint() override;

    // The H key: starts a search unless one runs already.
    void Ask();
    // The window is about to show the game anew: a changed position cancels
    // the search and takes the mark away.
    void GameChanged();
    // Cancels the search and drops the mark (the window closes).
    void Cancel();

    bool Searching() const { return searching_; }
    // The framed pile; group -1 is the stock.
    std::optional<TPileRef> Mark() const;

  private:
    // What a search was asked about: the position and the history's counters.
    struct TState {
        TPosition Position;
        int32_t MoveIndex = 0;
        int32_t ActionCount = 0;
    };
    TState CurrentState() const;
    bool StateChanged() const;
    void Finished(uint64_t generation, const TSolveResult& result);
    void Show(const TAction& action);
    void SetMark(TPileRef pile, std::optional<TPileRef> from = std::nullopt);
    void ClearMark();

    void Message(const char* text);

    TGame& game_;
    TTableView& table_;
    TGameDialogs& dialogs_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool searching_ = false;
    // Counts the searches and the changes; an answer carries the number its
    // search started with and counts only while that is still current.
    uint64_t generation_ = 0;
    TState asked_;
    // Set while the hint itself changes the selection.
    bool showing_ = false;
    QTimer markTimer_;
};

}  // namespace trisk
