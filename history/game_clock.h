// The game clock. GameStartTicks holds the start tick while the clock runs
// and the elapsed time while it is paused; all arithmetic wraps modulo 2^32.
// The host's one-second timer, which shows the time, runs with the clock.
#pragma once

#include <cstdint>

namespace trisk {

class TGameHost;
class TTickSource;

class TGameClock {
  public:
    TGameClock(TGameHost& host, TTickSource& ticks) : host_(host), ticks_(ticks) {}

    void StartClock();
    void StopClock();
    void PauseClock();
    void ResumeClock();
    uint32_t ElapsedTicks();
    // Runs the clock as if it had been started elapsed milliseconds ago.
    void RestoreClock(uint32_t elapsed);
    uint32_t GameStartTicks() const { return gameStartTicks_; }

  private:
    TGameHost& host_;
    TTickSource& ticks_;
    uint32_t gameStartTicks_ = 0;
};

}  // namespace trisk
