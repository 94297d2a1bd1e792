// What the game shows of itself: the window implements this, and so do the
// tests and trisk-tool. The core itself never touches a display, a sound
// device, a clock or a dialog; the dialogs, the tick source and the files come
// with the other services (history/services.h).
#pragma once

#include <cstdint>
#include <string>

#include "engine/board.h"

namespace trisk {

// The three commands whose enabled state follows the history.
enum class TGameAction { Undo, Redo, GoToBookmark };

enum class TCursor { Arrow, Hand };

// The status bar's panels.
enum class TStatusPanel { GameNumber, Moves, Cards, Clock };

class TGameHost {
  public:
    virtual ~TGameHost() = default;

    // Called only while sound is enabled (the game checks the setting); a
    // sound the card set lacks is the host's to skip.
    virtual void PlaySound(const char* name) = 0;

    // The whole table with its background, repainted at the next paint event.
    virtual void InvalidateTable() = 0;
    // Draw the table now.
    virtual void PaintTable() = 0;
    // What the title and the status panels show; the host words them.
    virtual void ShowTitle(TGameKind kind) = 0;
    virtual void ShowGameNumber(uint32_t number) = 0;
    virtual void ShowMoves(int32_t moveIndex, int32_t actionCount) = 0;
    // The clock panel goes blank until the game timer's next tick.
    virtual void ClearClock() = 0;
    // Text that the presentation words itself (the "Cards:" panel, the clock).
    virtual void SetStatusText(TStatusPanel panel, const std::string& text) = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    // The menu's radio items follow the game kind of a dealt or loaded game.
    virtual void ShowGameKind(TGameKind kind) = 0;
    virtual void ActionEnabledChanged(TGameAction action, bool enabled) = 0;

    // The pause after each card dealt from the stock; the table already shows
    // the card. True when the pause is over on return. False when the host
    // waits on its own: it then calls TGame::ContinueDeal once the pause is
    // over, and holds pointer and key input until the deal ends.
    virtual bool DealPause(unsigned milliseconds) = 0;
    // The one-second game timer; starting a running timer changes nothing.
    virtual void StartGameTimer() = 0;
    virtual void StopGameTimer() = 0;
};

}  // namespace trisk
