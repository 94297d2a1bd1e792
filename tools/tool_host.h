// The host of trisk-tool: no display, no sound, no waiting. Messages go to
// the error stream; questions are answered Yes (the commands it runs have their
// confirmations off) and the game-over dialog is answered No. Its clock stands
// at 0.
#pragma once

#include <iostream>
#include <ostream>

#include "history/file_store.h"
#include "history/host.h"
#include "history/services.h"

namespace trisk {

class TToolHost : public TGameHost, public TGameDialogs, public TTickSource {
  public:
    explicit TToolHost(std::ostream& err = std::cerr) : err_(err) {}

    // The game's services: this host, its dialogs and clock, and the files of
    // the machine.
    TGameServices Services() { return {*this, *this, *this, PlatformFileStore()}; }

    void ShowMessage(const std::string& text, TMessageKind kind) override;
    bool AskQuestion(const std::string&) override { return true; }
    bool ShowGameOver(bool) override { return false; }
    uint32_t TickCount() override { return 0; }

    void PlaySound(const char*) override {}
    void InvalidateTable() override {}
    void PaintTable() override {}
    void ShowTitle(TGameKind) override {}
    void ShowGameNumber(uint32_t) override {}
    void ShowMoves(int32_t, int32_t) override {}
    void ClearClock() override {}
    void SetStatusText(TStatusPanel, const std::string&) override {}
    void SetCursor(TCursor) override {}
    void ShowGameKind(TGameKind) override {}
    void ActionEnabledChanged(TGameAction, bool) override {}
    bool DealPause(unsigned) override { return true; }
    void StartGameTimer() override {}
    void StopGameTimer() override {}

    // The last message shown, for callers that report it themselves.
    std::string LastMessage;
    bool EchoMessages = true;

  private:
    std::ostream& err_;
};

}  // namespace trisk
