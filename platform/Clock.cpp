#include "Clock.h"

#include <QElapsedTimer>
#include <QThread>

namespace Plicora {

namespace {

class SystemClock final : public Clock {
public:
    SystemClock() { timer_.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 nowMsSinceEpoch() const override { return QDateTime::currentMSecsSinceEpoch(); }
    qint64 monotonicMs() const override { return timer_.elapsed(); }
    void sleepMs(qint64 ms) override
    {
        if (ms > 0)
            QThread::msleep(static_cast<unsigned long>(ms));
    }

private:
    QElapsedTimer timer_;
};

std::unique_ptr<Clock>& slot()
{
    static std::unique_ptr<Clock> s = std::make_unique<SystemClock>();
    return s;
}

} // namespace

Clock& appClock()
{
    return *slot();
}

void setClock(std::unique_ptr<Clock> c)
{
    slot() = c ? std::move(c) : std::make_unique<SystemClock>();
}

} // namespace Plicora
