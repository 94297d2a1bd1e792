// The machine's tick source: milliseconds of the monotonic clock, unsigned
// and wrapping at 2^32.
#pragma once

#include "history/services.h"

namespace trisk {

class TMonotonicTicks : public TTickSource {
  public:
    uint32_t TickCount() override;
};

}  // namespace trisk
