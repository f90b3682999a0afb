#include "F_MSG.h"

#include "F_Splash.h"
#include "M_MV.h"
#include "PosFinestre.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

F_MSG::F_MSG()
{
    setObjectName(QStringLiteral("F_MSG"));
    setWindowTitle(App_Title());
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    auto* row = new QHBoxLayout(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(App_Logo(48));
    row->addWidget(Image1, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    Lbl_Head = new QLabel(this);
    Lbl_Head->setObjectName(QStringLiteral("Lbl_Head"));
    QFont f = Lbl_Head->font();
    f.setBold(true);
    Lbl_Head->setFont(f);
    Lbl_Msg = new QLabel(this);
    Lbl_Msg->setObjectName(QStringLiteral("Lbl_Msg"));
    Lbl_Msg->setWordWrap(true);
    texts->addWidget(Lbl_Head);
    texts->addWidget(Lbl_Msg, 1);
    row->addLayout(texts, 1);
    resize(420, 120);
}

void F_MSG::Form_Load()
{
    PosFinestre_Load(this, minHeight_, minWidth_);
}

void F_MSG::Form_Unload(int&)
{
    PosFinestre_Save(this);
}
