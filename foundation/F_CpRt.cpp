#include "F_CpRt.h"

#include "F_Splash.h"
#include "M_MV.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

namespace
{
const QString kOwnTitle = QStringLiteral("Informazioni su Plicora");
} // namespace

QString F_CpRt::MakerWebAddress()
{
    return QStringLiteral("https://www.plicora.example");
}

QString F_CpRt::PartnerDefaultAddress()
{
    return QStringLiteral("https://www.partner.example");
}

QString F_CpRt::YearText(int year)
{
    return year > 2019 ? QStringLiteral("2019/") + QString::number(year) : QString::number(year);
}

F_CpRt::F_CpRt()
{
    setObjectName(QStringLiteral("F_CpRt"));
    setWindowTitle(kOwnTitle);
    setWindowFlags(Qt::Dialog);

    auto* g = new QGridLayout(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(App_Logo(64));
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(App_Logo(32));
    Label4 = new QLabel(QStringLiteral("Plicora - archiviazione e invio delle fatture elettroniche"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label5 = new QLabel(QStringLiteral("Assistenza : assistenza@plicora.example"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Lbl_Cod = new QLabel(this);
    Lbl_Cod->setObjectName(QStringLiteral("Lbl_Cod"));
    Lbl_Web = new QLabel(QStringLiteral("<a href=\"#\">www.plicora.example</a>"), this);
    Lbl_Web->setObjectName(QStringLiteral("Lbl_Web"));
    Lbl_Web->setCursor(Qt::PointingHandCursor);
    Lbl_Parner = new QLabel(this);
    Lbl_Parner->setObjectName(QStringLiteral("Lbl_Parner"));
    Lbl_Parner->setCursor(Qt::PointingHandCursor);
    Lbl_IndirIP = new QLabel(QStringLiteral("Indirizzo IP :"), this);
    Lbl_IndirIP->setObjectName(QStringLiteral("Lbl_IndirIP"));
    Lbl_IP = new QLabel(this);
    Lbl_IP->setObjectName(QStringLiteral("Lbl_IP"));

    g->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
    g->addWidget(Label4, 0, 1, 1, 2);
    g->addWidget(Lbl_Cod, 1, 1, 1, 2);
    g->addWidget(Label5, 2, 1, 1, 2);
    g->addWidget(Lbl_Web, 3, 1, 1, 2);
    g->addWidget(Image2, 4, 0);
    g->addWidget(Lbl_Parner, 4, 1, 1, 2);
    g->addWidget(Lbl_IndirIP, 5, 1);
    g->addWidget(Lbl_IP, 5, 2);

    // Every plain part closes the window; the links open their address first.
    for (QLabel* l : {Image1, Image2, Label4, Label5, Lbl_Cod, Lbl_IP})
        onClick(l, [this] { Guard(QStringLiteral("F_CpRt_Click"), [this] { Unload(); }); });
    onClick(Lbl_Web, [this] { Guard(QStringLiteral("Lbl_Web_Click"), [this] { Lbl_Web_Click(); }); });
    onClick(Lbl_Parner,
            [this] { Guard(QStringLiteral("Lbl_Parner_Click"), [this] { Lbl_Parner_Click(); }); });
}

void F_CpRt::Form_Load()
{
    setWindowTitle(kOwnTitle + QStringLiteral(" - ") + YearText(appClock().now().date().year()));
    Lbl_IndirIP->setVisible(true);
    // The utility class's answer about the machine of the program folder; shown only when numeric.
    const QString value = Qor().ComputerName();
    bool numeric = false;
    value.trimmed().toDouble(&numeric);
    if (numeric) {
        Lbl_IP->setText(value);
    } else {
        Lbl_IP->clear();
        Lbl_IndirIP->setVisible(false);
    }
}

void F_CpRt::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) Guard(QStringLiteral("Form_Click"), [this] { Form_Click(); });
}

void F_CpRt::Lbl_Web_Click()
{
    Qor().OpenURL(MakerWebAddress());
    Unload();
}

void F_CpRt::Lbl_Parner_Click()
{
    const QString tip = Lbl_Parner->toolTip();
    Qor().OpenURL(tip.isEmpty() ? PartnerDefaultAddress() : tip);
    Unload();
}
