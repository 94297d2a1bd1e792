// What the game takes from the world around it, given whole when the game is
// made: the host that shows it, the dialogs that ask and tell the player, the
// clock's tick source and the file store of saved games. The window, the
// tests and trisk-tool each put their own together.
#pragma once

#include <cstdint>
#include <string>

#include "engine/board.h"

namespace trisk {

class TFileStore;
class TGameHost;

// Plain failures are message boxes with an OK button; Information marks the
// internal-fault messages, which normal play never shows.
enum class TMessageKind { Plain, Information };

// The modal steps the game itself takes.
class TGameDialogs {
  public:
    virtual ~TGameDialogs() = default;
    virtual void ShowMessage(const std::string& text, TMessageKind kind) = 0;
    // A Yes/No question captioned "Solitaire Trisk"; true only for Yes.
    virtual bool AskQuestion(const std::string& text) = 0;
    // The modal game-over dialog; true when the player wants to play again.
    virtual bool ShowGameOver(bool won) = 0;
};

// The tick count of the game clock: milliseconds since some fixed origin,
// unsigned and wrapping at 2^32.
class TTickSource {
  public:
    virtual ~TTickSource() = default;
    virtual uint32_t TickCount() = 0;
};

// What the game tells about the game on the table, for the statistics
// (history/statistics.h).
class TGameEvents {
  public:
    virtual ~TGameEvents() = default;
    // A new game of kind is on the table (dealt or loaded). restarted: the
    // same game again from its deal. hadAction: the game it replaces had at
    // least one action (a move or a stock click).
    virtual void GameBegun(TGameKind kind, bool restarted, bool hadAction) = 0;
    virtual void GameWon(uint32_t seconds, uint32_t moves) = 0;
    virtual void GameLost() = 0;
};

struct TGameServices {
    TGameHost& Host;
    TGameDialogs& Dialogs;
    TTickSource& Ticks;
    TFileStore& Files;
    // Told of games begun, won and lost; none by default.
    TGameEvents* Events = nullptr;
};

}  // namespace trisk
