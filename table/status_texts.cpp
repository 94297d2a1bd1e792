#include "table/status_texts.h"

#include <cstdio>

namespace trisk {

std::string TitleText(TGameKind kind) {
    return std::string("Solitaire Trisk - ") + GameKindName(kind);
}

std::string GameNumberText(uint32_t number) {
    return "Game #" + std::to_string(number);
}

std::string MovesText(int32_t moveIndex, int32_t actionCount) {
    return "Moves: " + std::to_string(moveIndex) + "/" + std::to_string(actionCount);
}

std::string CardsText(int count) {
    return count > 0 ? "Cards: " + std::to_string(count) : std::string();
}

std::string FormatClock(uint32_t elapsed) {
    const uint32_t hours = elapsed / 3600000u;
    const uint32_t minutes = (elapsed - hours * 3600000u) / 60000u;
    const uint32_t seconds = (elapsed - hours * 3600000u - minutes * 60000u) / 1000u;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", hours, minutes, seconds);
    return text;
}

}  // namespace trisk
