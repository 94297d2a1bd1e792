#include "table/clock.h"

#include <cstdio>

namespace trisk {

std::string FormatClock(uint32_t elapsed) {
    const uint32_t hours = elapsed / 3600000u;
    const uint32_t minutes = (elapsed - hours * 3600000u) / 60000u;
    const uint32_t seconds = (elapsed - hours * 3600000u - minutes * 60000u) / 1000u;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", hours, minutes, seconds);
    return text;
}

}  // namespace trisk
