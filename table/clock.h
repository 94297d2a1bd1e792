// The text of the clock panel.
#pragma once

#include <cstdint>
#include <string>

namespace trisk {

// Elapsed milliseconds as "hh:mm:ss"; hours go on past 99.
std::string FormatClock(uint32_t elapsed);

}  // namespace trisk
