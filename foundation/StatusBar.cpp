#include "StatusBar.h"

#include "F_Splash.h"

#include "platform/Clock.h"

#include <QDateTime>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

StatusPanels MakeStatusPanels(QWidget* parent)
{
    StatusPanels s;
    s.St_Bar = new QStatusBar(parent);
    s.St_Bar->setObjectName(QStringLiteral("St_Bar"));
    s.St_Bar->setSizeGripEnabled(true);
    auto panel = [&s](const QString& name, int stretch) {
        auto* p = new QLabel(s.St_Bar);
        p->setObjectName(name);
        p->setTextFormat(Qt::PlainText);
        s.St_Bar->addPermanentWidget(p, stretch);
        return p;
    };
    s.Pan_Msg = panel(QStringLiteral("Pan_Msg"), 1);
    s.Pan_F6 = panel(QStringLiteral("Pan_F6"), 0);
    s.Pan_F6->setText(QStringLiteral("F6"));
    s.Pan_F8 = panel(QStringLiteral("Pan_F8"), 0);
    s.Pan_F8->setText(QStringLiteral("F8"));
    s.Pan_Azi = panel(QStringLiteral("Pan_Azi"), 0);
    s.Pan_Img = panel(QStringLiteral("Pan_Img"), 0);
    s.Pan_Img->setPixmap(App_Logo(14));
    s.Pan_Status = panel(QStringLiteral("Pan_Status"), 0);
    return s;
}

void StartClock(QLabel* time, QLabel* date)
{
    auto show = [t = QPointer<QLabel>(time), d = QPointer<QLabel>(date)] {
        const QDateTime now = appClock().now();
        if (t) t->setText(now.toString(QStringLiteral("hh:mm")));
        if (d) d->setText(now.toString(QStringLiteral("dd/MM/yyyy")));
    };
    show();
    auto* timer = new QTimer(time);
    timer->setInterval(1000);
    QObject::connect(timer, &QTimer::timeout, time, show);
    timer->start();
}
