// The host of trisk-tool: no display, no sound, no waiting. Messages go to
// the error stream; questions are answered Yes (the commands it runs have their
// confirmations off) and the game-over dialog is answered No.
#pragma once

#include <iostream>
#include <ostream>

#include "history/host.h"

namespace trisk {

class TToolHost : public TGameHost {
  public:
    explicit TToolHost(std::ostream& err = std::cerr) : err_(err) {}

    void ShowMessage(const std::string& text, TMessageKind kind) override;
    bool AskQuestion(const std::string&) override { return true; }
    void PlaySound(const char*) override {}
    void InvalidateTable() override {}
    void PaintTable() override {}
    void SetTitle(const std::string&) override {}
    void SetStatusText(TStatusPanel, const std::string&) override {}
    void SetCursor(TCursor) override {}
    void ShowGameKind(TGameKind) override {}
    void ActionEnabledChanged(TGameAction, bool) override {}
    void DealPause(unsigned) override {}
    uint32_t TickCount() override { return 0; }
    void StartGameTimer() override {}
    void StopGameTimer() override {}
    bool ShowGameOver(bool) override { return false; }

    // The last message shown, for callers that report it themselves.
    std::string LastMessage;
    bool EchoMessages = true;

  private:
    std::ostream& err_;
};

}  // namespace trisk
