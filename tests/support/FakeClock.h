#pragma once
#include "platform/Clock.h"

#include <QList>

// A clock that stands still until the test (or a pause) moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 10), QTime(9, 0)))
        : now_(start) {}
    QDateTime now() const override { return now_; }
    qint64 monotonicMs() const override { return mono_; }
    void sleepMs(qint64 ms) override
    {
        sleeps << ms;
        advance(ms);
    }
    void advance(qint64 ms)
    {
        mono_ += ms;
        now_ = now_.addMSecs(ms);
    }
    void set(const QDateTime& t) { now_ = t; }

    QList<qint64> sleeps;

private:
    QDateTime now_;
    qint64 mono_ = 1000;
};
