// What the game takes from the world around it, given whole when the game is
// made: the host that shows it, the dialogs that ask and tell the player, the
// clock's tick source and the file store of saved games. The window, the
// tests and trisk-tool each put their own together.
#pragma once

#include <cstdint>
#include <string>

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

struct TGameServices {
    TGameHost& Host;
    TGameDialogs& Dialogs;
    TTickSource& Ticks;
    TFileStore& Files;
};

}  // namespace trisk
