// How the window's title and its status panels word the game.
#pragma once

#include <cstdint>
#include <string>

#include "engine/board.h"

namespace trisk {

// "Solitaire Trisk - " and the kind's name.
std::string TitleText(TGameKind kind);
// "Game #" and the number.
std::string GameNumberText(uint32_t number);
// "Moves: " with the move index and the action count.
std::string MovesText(int32_t moveIndex, int32_t actionCount);
// "Cards: " and the count of the pile under the pointer; empty for none.
std::string CardsText(int count);
// Elapsed milliseconds as "hh:mm:ss"; hours go on past 99.
std::string FormatClock(uint32_t elapsed);

}  // namespace trisk
