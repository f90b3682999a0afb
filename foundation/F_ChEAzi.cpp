#include "F_ChEAzi.h"

#include "StartSettings.h"
#include "M_MV.h"
#include "PosFinestre.h"
#include "Proc_MV.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace
{
// The hourglass goes back on every way out of the filling.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

F_ChEAzi::F_ChEAzi()
{
    setObjectName(QStringLiteral("F_ChEAzi"));
    setWindowTitle(QStringLiteral("Cambio Azienda Gestalo."));
    setWindowFlags(Qt::Dialog);
    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("Aziende Presenti."), this));
    Lst_Azi = new QListWidget(this);
    Lst_Azi->setObjectName(QStringLiteral("Lst_Azi"));
    Lst_Azi->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // "Lucida Console"
    v->addWidget(Lst_Azi, 1);
    v->addWidget(new QLabel(QStringLiteral("Doppio Click sulla riga per cambiare Azienda !"), this));
    Frm_Bottom = new QFrame(this);
    Frm_Bottom->setObjectName(QStringLiteral("Frm_Bottom"));
    auto* h = new QHBoxLayout(Frm_Bottom);
    Cmd_UpgAzi = new QPushButton(QStringLiteral("Aggiorna aziende"), Frm_Bottom);
    Cmd_UpgAzi->setObjectName(QStringLiteral("Cmd_UpgAzi"));
    Cmd_ActAzi = new QPushButton(QStringLiteral("Attiva azienda"), Frm_Bottom);
    Cmd_ActAzi->setObjectName(QStringLiteral("Cmd_ActAzi"));
    h->addWidget(Cmd_UpgAzi);
    h->addWidget(Cmd_ActAzi);
    v->addWidget(Frm_Bottom);
    baseBottomMargin_ = v->contentsMargins().bottom();

    connect(Cmd_UpgAzi, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_UpgAzi_Click"), [this] { Cmd_UpgAzi_Click(); }); });
    connect(Cmd_ActAzi, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_ActAzi_Click"), [this] { Cmd_ActAzi_Click(); }); });
    connect(Lst_Azi, &QListWidget::itemDoubleClicked, this,
            [this] { Guard(QStringLiteral("Lst_Azi_DblClick"), [this] { Lst_Azi_DblClick(); }); });
    onMouseUp(Lst_Azi->viewport(), [this](int button, int, int, int) {
        Guard(QStringLiteral("Lst_Azi_MouseUp"), [&] { Lst_Azi_MouseUp(button); });
    });
}

void F_ChEAzi::Form_Load()
{
    Sub_FindAzi();
    // Desktops whose windows need it get a 200-twip margin under the bottom frame.
    QMargins m = layout()->contentsMargins();
    m.setBottom(baseBottomMargin_ + (Qor().LayoutFlag() ? 200 : 0) / TwipsPerPixel);
    layout()->setContentsMargins(m);
    // The laid-out width shows a whole row: the list's own size hint is far narrower.
    adjustSize();
    const int row = qMax(
        Lst_Azi->sizeHintForColumn(0),
        Lst_Azi->fontMetrics().horizontalAdvance(QString(10 + 30 + 20 + 20 + 15 + 15 + 6, QLatin1Char('W'))));
    const int list = row + 2 * Lst_Azi->frameWidth() + Lst_Azi->verticalScrollBar()->sizeHint().width() + 4;
    resize(qMax(width(), list + m.left() + m.right()), height());
    PosFinestre_Load(this); // also the minimum size: Qt's layouts keep the rest in place
}

void F_ChEAzi::Form_Unload(int&)
{
    PosFinestre_Save(this);
}

void F_ChEAzi::Sub_FindAzi()
{
    WaitCursor wait;
    QCoreApplication::processEvents();
    Lst_Azi->clear();
    QString current = QStringLiteral("Sub_FindAzi");
    const QString title = QStringLiteral("FindAzi - ") + MV_Azi;
    auto report = [&](const ado::Error& e) {
        MsgBox(QString::number(e.Number()) + QStringLiteral(": ") + e.Description() + QStringLiteral(" - ") +
                   current,
               vb::OKOnly | vb::Information, title);
        // The open connection's text shows no password (Persist Security Info=False).
        MsgBox(Cn_kSYS.ConnectionString(), vb::OKOnly | vb::Information, title);
    };
    ado::Recordset rs;
    try {
        rs.Open(QStringLiteral("SELECT a.cod_azienda, i.des_ragsoc, a.des_database, a.des_database_com ") +
                    QStringLiteral(" FROM TS_AZIENDE AS a") +
                    QStringLiteral(" LEFT JOIN TS_AZIENDE_INFO AS i ON (a.cod_azienda = i.cod_anagra)") +
                    QStringLiteral(" ORDER BY a.cod_azienda"),
                Cn_kSYS, ado::adOpenForwardOnly, ado::adLockReadOnly);
    } catch (const ado::Error& e) {
        report(e); // no recordset to go on with
        return;
    }
    const QString bar = QStringLiteral("|");
    while (!rs.EOF_()) {
        try {
            const QString code = rs[QStringLiteral("cod_azienda")].toString();
            const QString name = rs[QStringLiteral("des_ragsoc")].toString();
            const QString db = rs[QStringLiteral("des_database")].toString();
            current = QStringLiteral("Leggo dati Azienda : ") + code + QStringLiteral(" - ") + name;
            // Without its database a row would show the current company's versions.
            const QString co = db.isEmpty() ? QString() : MV_VerCO(db);
            const QString ca = db.isEmpty() ? QString() : MV_VerCA(db);
            const QString row = Qor().PadStr(code, 10) + bar + Qor().PadStr(name, 30) + bar +
                                Qor().PadStr(db, 20) + bar +
                                Qor().PadStr(rs[QStringLiteral("des_database_com")].toString(), 20) + bar +
                                Qor().PadStr(co, 15) + bar + Qor().PadStr(ca, 15) + bar;
            auto* item = new QListWidgetItem(row, Lst_Azi);
            item->setData(Qt::UserRole, code); // the whole code, even beyond 10 characters
        } catch (const ado::Error& e) {
            report(e);
        }
        QCoreApplication::processEvents();
        rs.MoveNext();
    }
    rs.Close();
    Qor().ListFit(Lst_Azi, 0);
}

void F_ChEAzi::Lst_Azi_DblClick()
{
    QListWidgetItem* item = Lst_Azi->currentItem();
    if (item && !item->isSelected()) item = nullptr;
    QString code = item ? item->data(Qt::UserRole).toString() : QString();
    if (MsgBox(QStringLiteral(
                   "ATTENZIONE  !!!\r\rVERIFICARE CHE Gestalo SIA CHIUSO E CHE NON CI SIANO ALTRE FINESTRE "
                   "APERTE !!\r\rCONFERMI ?"),
               vb::YesNo | vb::Question, windowTitle()) != vb::Yes) {
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("CONFERMI PASSAGGIO AD AZIENDA : ") + code, vb::YesNo | vb::Question,
               windowTitle()) != vb::Yes) {
        Beep();
        return;
    }
    if (code.isEmpty()) { // no row chosen: nothing to switch to
        Beep();
        return;
    }
    Qor().IniWrite(QStringLiteral("AMBIENTE"), QStringLiteral("Codice Azienda"), code,
                   QStringLiteral("QOR_PLCR.INI"));
    AziOpen(code);
    Unload();
}

void F_ChEAzi::Lst_Azi_MouseUp(int button)
{
    if (button == 2) Qor().ShowList(Lst_Azi, G_PgmVisualizzatore, G_DirApp);
}
