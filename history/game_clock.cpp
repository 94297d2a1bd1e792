#include "history/game_clock.h"

#include "history/host.h"
#include "history/services.h"

namespace trisk {

void TGameClock::StartClock() {
    gameStartTicks_ = ticks_.TickCount();
    host_.StartGameTimer();
}

void TGameClock::StopClock() {
    host_.StopGameTimer();
}

void TGameClock::PauseClock() {
    host_.StopGameTimer();
    gameStartTicks_ = ticks_.TickCount() - gameStartTicks_;
}

void TGameClock::ResumeClock() {
    host_.StartGameTimer();
    gameStartTicks_ = ticks_.TickCount() - gameStartTicks_;
}

uint32_t TGameClock::ElapsedTicks() {
    return ticks_.TickCount() - gameStartTicks_;
}

void TGameClock::RestoreClock(uint32_t elapsed) {
    host_.ClearClock();
    gameStartTicks_ = ticks_.TickCount() - elapsed;
    host_.StartGameTimer();
}

}  // namespace trisk
