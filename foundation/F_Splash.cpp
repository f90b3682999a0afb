#include "F_Splash.h"

#include "M_MV.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

QPixmap App_Logo(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x5f, 0x9f));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(size * 2 / 3);
    p.setFont(f);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("P"));
    return pm;
}

F_Splash::F_Splash()
{
    setObjectName(QStringLiteral("F_Splash"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setWindowTitle(App_Title());

    auto* outer = new QVBoxLayout(this);
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    outer->addWidget(Frame1);

    auto* body = new QVBoxLayout(Frame1);
    auto* top = new QHBoxLayout;
    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(App_Logo(64));
    top->addWidget(imgLogo);
    auto* titles = new QVBoxLayout;
    lblProductName = new QLabel(Frame1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    lblVersion = new QLabel(Frame1);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblPlatform = new QLabel(QStringLiteral("Gestalo"), Frame1);
    lblPlatform->setObjectName(QStringLiteral("lblPlatform"));
    titles->addWidget(lblProductName);
    titles->addWidget(lblVersion);
    titles->addWidget(lblPlatform);
    top->addLayout(titles, 1);
    body->addLayout(top);

    lblWarning = new QLabel(QStringLiteral("ATTENDERE !!      Collegamento agli archivi in corso."), Frame1);
    lblWarning->setObjectName(QStringLiteral("lblWarning"));
    body->addWidget(lblWarning);
    lblCredit1 =
        new QLabel(QStringLiteral("Archiviazione e invio delle fatture elettroniche FatturaPA"), Frame1);
    lblCredit1->setObjectName(QStringLiteral("lblCredit1"));
    lblCredit2 = new QLabel(QStringLiteral("Tutti i diritti riservati"), Frame1);
    lblCredit2->setObjectName(QStringLiteral("lblCredit2"));
    body->addWidget(lblCredit1);
    body->addWidget(lblCredit2);
}

void F_Splash::Form_Load()
{
    lblProductName->setText(App_Title());
}
