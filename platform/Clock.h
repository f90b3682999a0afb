#pragma once
#include "platform/Shared.h"
#include <QDateTime>

#include <memory>

namespace Plicora PLICORA_SHARED {

// The program's clock. Tests install a fake one so that dates and pauses are theirs.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0; // local time, milliseconds included
    // The same moment as milliseconds since 1970 UTC: no local-time conversion, so it
    // is cheap enough to tell whether a second has passed.
    virtual qint64 nowMsSinceEpoch() const { return now().toMSecsSinceEpoch(); }
    // Milliseconds from an arbitrary start; never goes back, does not wrap at midnight.
    virtual qint64 monotonicMs() const = 0;
    // Blocks the calling thread for the given time.
    virtual void sleepMs(qint64 ms) = 0;
};

Clock& appClock();
void setClock(std::unique_ptr<Clock> c);

} // namespace Plicora

using Plicora::Clock;
using Plicora::appClock;
using Plicora::setClock;
