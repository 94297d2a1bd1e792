#include "shell/tick_source.h"

#include <QElapsedTimer>

namespace trisk {

// GetTickCount's counterpart: milliseconds of the monotonic clock, wrapping.
uint32_t TMonotonicTicks::TickCount() {
    QElapsedTimer clock;
    clock.start();
    return static_cast<uint32_t>(clock.msecsSinceReference());
}

}  // namespace trisk
