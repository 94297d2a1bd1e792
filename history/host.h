// What the game asks of the world around it: the window implements this, and
// so do the tests and trisk-tool. The core itself never touches a display, a
// sound device, a clock or a dialog.
#pragma once

#include <cstdint>
#include <string>

#include "engine/board.h"

namespace trisk {

// Plain failures are message boxes with an OK button; Information marks the
// internal-fault messages, which normal play never shows.
enum class TMessageKind { Plain, Information };

// The three commands whose enabled state follows the history.
enum class TGameAction { Undo, Redo, GoToBookmark };

enum class TCursor { Arrow, Hand };

// The status bar's panels that the game writes.
enum class TStatusPanel { GameNumber, Moves, Cards, Clock };

class TGameHost {
  public:
    virtual ~TGameHost() = default;

    virtual void ShowMessage(const std::string& text, TMessageKind kind) = 0;
    // A Yes/No question captioned "Solitaire Trisk"; true only for Yes.
    virtual bool AskQuestion(const std::string& text) = 0;
    // Called only while sound is enabled (the game checks the setting); a
    // sound the card set lacks is the host's to skip.
    virtual void PlaySound(const char* name) = 0;

    // The whole table with its background, repainted at the next paint event.
    virtual void InvalidateTable() = 0;
    // Draw the table now.
    virtual void PaintTable() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetStatusText(TStatusPanel panel, const std::string& text) = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    // The menu's radio items follow the game kind of a dealt or loaded game.
    virtual void ShowGameKind(TGameKind kind) = 0;
    virtual void ActionEnabledChanged(TGameAction action, bool enabled) = 0;

    // The pause after each card dealt from the stock: the table shows the card
    // before the next one, and pointer input waits until the deal is over.
    virtual void DealPause(unsigned milliseconds) = 0;
    // Milliseconds since some fixed origin, unsigned and wrapping.
    virtual uint32_t TickCount() = 0;
    // The one-second game timer; starting a running timer changes nothing.
    virtual void StartGameTimer() = 0;
    virtual void StopGameTimer() = 0;

    // The modal game-over dialog; true when the player wants to play again.
    virtual bool ShowGameOver(bool won) = 0;
};

}  // namespace trisk
