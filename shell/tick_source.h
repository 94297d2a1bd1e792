// The tick count of the game clock: milliseconds since a fixed origin,
// unsigned and wrapping at 2^32. The program reads the monotonic clock; tests
// put in a clock of their own.
#pragma once

#include <cstdint>

namespace trisk {

class TTickSource {
  public:
    virtual ~TTickSource() = default;
    virtual uint32_t TickCount() = 0;
};

class TMonotonicTicks : public TTickSource {
  public:
    uint32_t TickCount() override;
};

}  // namespace trisk
