#include "F_List.h"

#include "List_Pos.h"
#include "foundation/StartSettings.h"
#include "foundation/ListFont.h"
#include "foundation/PosFinestre.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "printing/F_DbP.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QUrl>
#include <QVBoxLayout>

QString G_NomeLista;
QString G_RigaLista;
QString G_ItemLista;
bool B_Rs2List = false;

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kCrLf = QStringLiteral("\r\n");

} // namespace

// ---------------------------------------------------------------- rows

ListaRows::ListaRows(QObject* parent) : QAbstractListModel(parent), selection_(this) {}

int ListaRows::AddItem(const QString& row, qint64 item)
{
    const int at = ListCount();
    beginInsertRows({}, at, at);
    rows_.append(row);
    items_.append(item);
    endInsertRows();
    newIndex_ = at;
    return at;
}

void ListaRows::Clear()
{
    beginResetModel();
    rows_.clear();
    items_.clear();
    newIndex_ = -1;
    endResetModel();
    selection_.clear();
}

void ListaRows::RemoveItem(int index)
{
    RemoveRange(index, 1);
}

void ListaRows::RemoveRange(int first, int count)
{
    if (first < 0 || count <= 0 || first >= ListCount()) return;
    count = qMin(count, ListCount() - first);
    beginRemoveRows({}, first, first + count - 1);
    rows_.remove(first, count);
    items_.remove(first, count);
    endRemoveRows();
}

void ListaRows::RemoveFlagged(const QList<bool>& drop)
{
    beginResetModel();
    qsizetype w = 0;
    for (qsizetype r = 0; r < rows_.size(); ++r) {
        if (r < drop.size() && drop.at(r)) continue;
        if (w != r) {
            rows_[w] = std::move(rows_[r]);
            items_[w] = items_[r];
        }
        ++w;
    }
    rows_.resize(w);
    items_.resize(w);
    endResetModel();
    selection_.clear();
}

int ListaRows::ListIndex() const
{
    const QModelIndexList sel = selection_.selectedIndexes();
    return sel.isEmpty() ? -1 : sel.first().row();
}

void ListaRows::setListIndex(int index)
{
    if (index < 0 || index >= ListCount()) {
        selection_.clearSelection();
        return;
    }
    selection_.setCurrentIndex(this->index(index, 0), QItemSelectionModel::ClearAndSelect);
}

int ListaRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ListCount();
}

QVariant ListaRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= ListCount()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return rows_.at(index.row());
    if (role == Qt::UserRole) return items_.at(index.row());
    return {};
}

// ---------------------------------------------------------------- window

namespace
{

QPushButton* button(const QString& name, const QString& caption, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty()) b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

} // namespace

F_List::F_List()
{
    setObjectName(QStringLiteral("F_List"));
    setWindowTitle(QStringLiteral("Lista"));
    setFont(listFont(0));
    // client area 8925 x 4440 twips
    resize(8925 / TwipsPerPixel, 4440 / TwipsPerPixel);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(3, 1, 3, 3);
    root->setSpacing(2);
    Lbl_Head = new QLabel(this);
    Lbl_Head->setObjectName(QStringLiteral("Lbl_Head"));
    Lbl_Head->setFont(listFont(8.25));
    Lbl_Head->setTextFormat(Qt::PlainText);
    Lbl_Head->setMinimumWidth(1);
    root->addWidget(Lbl_Head);

    Lst_Lista = new ListaRows(this);
    Lst_ListaView = new QListView(this);
    Lst_ListaView->setObjectName(QStringLiteral("Lst_Lista"));
    Lst_ListaView->setFont(listFont(8.25));
    Lst_ListaView->setSelectionMode(QAbstractItemView::SingleSelection);
    Lst_ListaView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lst_ListaView->setUniformItemSizes(true);
    Lst_ListaView->setModel(Lst_Lista);
    delete Lst_ListaView->selectionModel();
    Lst_ListaView->setSelectionModel(Lst_Lista->selection());
    Lst_ListaView->viewport()->installEventFilter(this);
    root->addWidget(Lst_ListaView, 1);

    Frm_But = new QFrame(this);
    Frm_But->setObjectName(QStringLiteral("Frm_But"));
    auto* grid = new QGridLayout(Frm_But);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(3);
    Lbl_Qta = new QLabel(Frm_But);
    Lbl_Qta->setObjectName(QStringLiteral("Lbl_Qta"));
    Lbl_Qta->setToolTip(QStringLiteral("Click Destro per salvare la lista !"));
    Lbl_Qta->setMinimumWidth(90);
    Cmd_Big = button(QStringLiteral("Cmd_Big"), QStringLiteral("A+"), QStringLiteral("Aumenta il Carattere"),
                     Frm_But);
    Cmd_Litt = button(QStringLiteral("Cmd_Litt"), QStringLiteral("A-"), QStringLiteral("Riduce il Carattere"),
                      Frm_But);
    for (QPushButton* b : {Cmd_Big, Cmd_Litt}) {
        b->setFixedSize(375 / TwipsPerPixel, 375 / TwipsPerPixel);
        b->setAttribute(Qt::WA_Hover);
        b->installEventFilter(this);
    }
    Txt_Cerca = new QLineEdit(Frm_But);
    Txt_Cerca->setObjectName(QStringLiteral("Txt_Cerca"));
    Txt_Cerca->setToolTip(QStringLiteral("Inserire il testo da cercare."));
    Txt_Cerca->setMaxLength(254);
    Txt_Cerca->installEventFilter(this);
    Cmd_Cerca = button(QStringLiteral("Cmd_Cerca"), QStringLiteral("Cerca (F6)"),
                       QStringLiteral("Click-Dx per cambio testo da cercare."), Frm_But);
    Cmd_Lascia = button(QStringLiteral("Cmd_Lascia"), QStringLiteral("Affina (F7)"), QString(), Frm_But);
    Cmd_View = button(QStringLiteral("Cmd_View"), QStringLiteral("Visualizza"),
                      QStringLiteral("Visualizza la lista come file anche stampabile."), Frm_But);
    Cmd_OK = button(QStringLiteral("Cmd_OK"), QStringLiteral("OK (Invio)"), QString(), Frm_But);
    Cmd_Cancel = button(QStringLiteral("Cmd_Cancel"), QStringLiteral("Cancel (ESC)"), QString(), Frm_But);
    Cmd_Before = button(QStringLiteral("Cmd_Before"), QStringLiteral("Elimina righe prima"),
                        QStringLiteral("Visualizza la lista come file anche stampabile."), Frm_But);
    Cmd_After = button(QStringLiteral("Cmd_After"), QStringLiteral("Elimina righe dopo"),
                       QStringLiteral("Visualizza la lista come file anche stampabile."), Frm_But);
    grid->addWidget(Lbl_Qta, 0, 0, 1, 2);
    grid->addWidget(Cmd_Big, 1, 0);
    grid->addWidget(Cmd_Litt, 1, 1);
    grid->addWidget(Txt_Cerca, 0, 2, 1, 2);
    grid->addWidget(Cmd_Cerca, 1, 2);
    grid->addWidget(Cmd_Lascia, 1, 3);
    grid->addWidget(Cmd_View, 0, 4);
    grid->addWidget(Cmd_Before, 1, 4);
    grid->addWidget(Cmd_After, 1, 5);
    grid->addWidget(Cmd_OK, 0, 6);
    grid->addWidget(Cmd_Cancel, 1, 6);
    grid->setColumnStretch(2, 1);
    root->addWidget(Frm_But);
    setKeyPreview(true);

    auto run = [this](const char* name, void (F_List::*fn)()) {
        return [this, name, fn] { Guard(QLatin1String(name), [this, fn] { (this->*fn)(); }); };
    };
    auto up = [this](QWidget* w, const char* name, void (F_List::*fn)(int, int, int, int)) {
        onMouseUp(w, [this, name, fn](int b, int s, int x, int y) {
            Guard(QLatin1String(name), [&] { (this->*fn)(b, s, x, y); });
        });
    };
    connect(Cmd_Cerca, &QPushButton::clicked, this, run("Cmd_Cerca_Click", &F_List::Cmd_Cerca_Click));
    up(Cmd_Cerca, "Cmd_Cerca_MouseUp", &F_List::Cmd_Cerca_MouseUp);
    connect(Cmd_Lascia, &QPushButton::clicked, this, run("Cmd_Lascia_Click", &F_List::Cmd_Lascia_Click));
    connect(Cmd_After, &QPushButton::clicked, this, run("Cmd_After_Click", &F_List::Cmd_After_Click));
    connect(Cmd_Before, &QPushButton::clicked, this, run("Cmd_Before_Click", &F_List::Cmd_Before_Click));
    connect(Cmd_Big, &QPushButton::clicked, this, run("Cmd_Big_Click", &F_List::Cmd_Big_Click));
    connect(Cmd_Litt, &QPushButton::clicked, this, run("Cmd_Litt_Click", &F_List::Cmd_Litt_Click));
    connect(Cmd_View, &QPushButton::clicked, this, run("Cmd_View_Click", &F_List::Cmd_View_Click));
    up(Cmd_View, "Cmd_View_MouseUp", &F_List::Cmd_View_MouseUp);
    up(Lbl_Qta, "Lbl_Qta_MouseUp", &F_List::Lbl_Qta_MouseUp);
    up(Lst_ListaView->viewport(), "Lst_Lista_MouseUp", &F_List::Lst_Lista_MouseUp);
    connect(Lst_ListaView, &QListView::doubleClicked, this,
            run("Lst_Lista_DblClick", &F_List::Lst_Lista_DblClick));
    connect(Cmd_OK, &QPushButton::clicked, this, run("Cmd_OK_Click", &F_List::Cmd_OK_Click));
    connect(Cmd_Cancel, &QPushButton::clicked, this, run("Cmd_Cancel_Click", &F_List::Cmd_Cancel_Click));
}

double F_List::fontSize() const
{
    return Lst_ListaView->font().pointSizeF();
}

void F_List::setListFontSize(double size)
{
    if (size <= 0) return;
    QFont f = Lst_ListaView->font();
    f.setPointSizeF(size);
    Lst_ListaView->setFont(f);
    QFont h = Lbl_Head->font();
    h.setPointSizeF(size);
    Lbl_Head->setFont(h);
}

void F_List::Form_Load()
{
    if (!s_aHelpIni.isEmpty()) {
        s_frame = Qor().FrameExtra() ? 200 : 0;
        List_LoadPos(this, G_NomeLista, s_minHeight, s_minWidth);
    } else {
        s_minWidth = width() * TwipsPerPixel;
        s_minHeight = height() * TwipsPerPixel;
        s_frame = Qor().FrameExtra() ? 200 : 0;
    }
    Lst_Lista->Clear();
    G_RigaLista.clear();
    Lbl_Head->setText(QString());
    Txt_Cerca->setFont(Lst_ListaView->font());
    Txt_Cerca->clear();
    Lbl_Qta->setText(QString());
}

void F_List::Form_Activate()
{
    List_LoadPos(this, G_NomeLista, s_minHeight, s_minWidth);
    if (Txt_Cerca->text().isEmpty()) {
        QString stored =
            Qor().IniRead(QStringLiteral("PosHelp"), G_NomeLista + QStringLiteral("C"), QString(), kIni);
        stored = stored.left(254);
        if (stored == QStringLiteral("Txt_Cerca")) stored.clear();
        Txt_Cerca->setText(stored);
    }
    ContaRighe();
    Layout();
    if (isUnloaded()) return;
    const int count = Lst_Lista->ListCount();
    if (count > 0 && !s_aHelpRow.isEmpty()) {
        int found = 0;
        for (int i = 0; i < count; ++i) {
            if (Lst_Lista->List(i).startsWith(s_aHelpRow, Qt::CaseSensitive)) {
                found = i;
                break;
            }
        }
        Lst_Lista->setListIndex(found);
    }
    QPointer<F_List> self(this);
    QCoreApplication::processEvents();
    if (!self || isUnloaded()) return;
    if (Lst_Lista->ListCount() > 0 && !B_Rs2List) Qor().ListAdjust(Lst_ListaView, Lst_Lista->ListCount() - 1);
}

void F_List::ContaRighe()
{
    const int count = Lst_Lista->ListCount();
    if (count <= 0) return;
    Lst_Lista->setListIndex(0);
    Lbl_Qta->setText(QString::number(count) +
                     (count == 1 ? QStringLiteral(" riga.") : QStringLiteral(" righe.")));
}

void F_List::Layout()
{
    // The Qt layouts keep the frame at the bottom and give the list the rest; only the
    // smallest size is enforced here.
    if (!isMaximized()) {
        const int minW = s_minWidth / TwipsPerPixel;
        const int minH = s_minHeight / TwipsPerPixel;
        if (width() < minW || height() < minH) resize(qMax(width(), minW), qMax(height(), minH));
        setMinimumSize(minW, minH);
    }
    QPointer<F_List> self(this);
    QCoreApplication::processEvents();
    if (!self || isUnloaded()) return;
    if (!B_Rs2List) Qor().ListAdjust(Lst_ListaView, 0);
    QCoreApplication::processEvents();
}

void F_List::Cmd_Cerca_Click()
{
    QPointer<F_List> self(this);
    Layout();
    if (!self || isUnloaded()) return;
    searchFlag_ = false;
    const QString s = Txt_Cerca->text().trimmed().toUpper();
    const int count = Lst_Lista->ListCount();
    if (count == 0 || s.isEmpty()) {
        Beep();
        return;
    }
    const int start = Lst_Lista->ListIndex();
    auto scan = [&](int from, int to) {
        for (int i = from; i <= to; ++i)
            if (Lst_Lista->List(i).toUpper().contains(s)) return i;
        return -1;
    };
    int found = -1;
    if (start < count - 1) found = scan(start + 1, count - 1);
    if (found < 0 && start > 0) found = scan(0, start - 1);
    if (found < 0) {
        Beep();
        return;
    }
    Lst_Lista->setListIndex(found);
    Lst_ListaView->scrollTo(Lst_Lista->index(found, 0));
}

void F_List::Cmd_Cerca_MouseUp(int button, int, int, int)
{
    if (button == 2) Txt_Cerca->setFocus();
}

void F_List::Cmd_Lascia_Click()
{
    const QString s = Txt_Cerca->text().trimmed().toUpper();
    if (s.isEmpty() || Lst_Lista->ListCount() == 0) {
        Beep();
        return;
    }
    QPointer<F_List> self(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Lst_ListaView->setVisible(false);
    // Removals between two progress stops go in as one change, so the pass stays linear;
    // at each stop the list holds exactly the rows the one-by-one removal would leave.
    int i = 0;
    QList<bool> drop;
    int dropped = 0;
    while (i + dropped < Lst_Lista->ListCount()) {
        const int row = i + dropped;
        if (Lst_Lista->List(row).toUpper().contains(s)) {
            ++i;
            continue;
        }
        if (drop.size() < Lst_Lista->ListCount()) drop.resize(Lst_Lista->ListCount(), false);
        drop[row] = true;
        ++dropped;
        const int remaining = Lst_Lista->ListCount() - dropped;
        if (remaining % 250 == 0) {
            Lst_Lista->RemoveFlagged(drop);
            drop.clear();
            dropped = 0;
            Lbl_Qta->setText(QString::number(remaining));
            QCoreApplication::processEvents();
            if (!self || isUnloaded()) {
                QApplication::restoreOverrideCursor();
                return;
            }
        }
    }
    if (dropped > 0) Lst_Lista->RemoveFlagged(drop);
    Lst_ListaView->setVisible(true);
    ContaRighe();
    QApplication::restoreOverrideCursor();
}

void F_List::Cmd_After_Click()
{
    const int count = Lst_Lista->ListCount();
    const int sel = Lst_Lista->ListIndex();
    if (count < 2 || sel < 0 || sel > count - 2) {
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi eliminazione righe SUCCESSIVE ?"), vb::YesNo | vb::Question,
               windowTitle()) != vb::Yes) {
        Beep();
        return;
    }
    QPointer<F_List> self(this);
    Lst_ListaView->setVisible(false);
    QCoreApplication::processEvents();
    if (!self || isUnloaded()) return;
    const int now = Lst_Lista->ListIndex() < 0 ? sel : Lst_Lista->ListIndex();
    Lst_Lista->RemoveRange(now + 1, Lst_Lista->ListCount() - now - 1);
    Lst_ListaView->setVisible(true);
}

void F_List::Cmd_Before_Click()
{
    const int count = Lst_Lista->ListCount();
    const int sel = Lst_Lista->ListIndex();
    if (count < 2 || sel < 1) {
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi eliminazione righe PRECEDENTI ?"), vb::YesNo | vb::Question,
               windowTitle()) != vb::Yes) {
        Beep();
        return;
    }
    QPointer<F_List> self(this);
    Lst_ListaView->setVisible(false);
    QCoreApplication::processEvents();
    if (!self || isUnloaded()) return;
    const int now = Lst_Lista->ListIndex() < 0 ? sel : Lst_Lista->ListIndex();
    Lst_Lista->RemoveRange(0, qMin(now, Lst_Lista->ListCount()));
    Lst_ListaView->setVisible(true);
}

void F_List::Cmd_Big_Click()
{
    const double size = fontSize() + 1;
    if (!(size < 15)) {
        Beep();
        return;
    }
    setListFontSize(size);
    Qor().ListAdjust(Lst_ListaView, Lst_Lista->ListCount() - 1);
    QPointer<F_List> self(this);
    QCoreApplication::processEvents();
    if (!self || isUnloaded()) return;
    Layout();
}

void F_List::Cmd_Litt_Click()
{
    const double size = fontSize() - 1;
    if (!(size > 5)) {
        Beep();
        return;
    }
    setListFontSize(size);
    Qor().ListAdjust(Lst_ListaView, Lst_Lista->ListCount() - 1);
    QPointer<F_List> self(this);
    QCoreApplication::processEvents();
    if (!self || isUnloaded()) return;
    Layout();
}

void F_List::Cmd_Big_MouseMove()
{
    const double cur = fontSize();
    Cmd_Big->setToolTip(QStringLiteral("Aumenta il Carattere :") + List_NumText(cur) + QStringLiteral("->") +
                        List_NumText(cur + 1));
}

void F_List::Cmd_Litt_MouseMove()
{
    const double cur = fontSize();
    Cmd_Litt->setToolTip(QStringLiteral("Riduce il Carattere :") + List_NumText(cur) + QStringLiteral("->") +
                         List_NumText(cur - 1));
}

bool F_List::writeLines(const QString& path, const QStringList& lines, bool finalBreak)
{
    QSaveFile f(path);
    bool ok = f.open(QIODevice::WriteOnly);
    if (ok) {
        QByteArray bytes;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            bytes += lines.at(i).toUtf8();
            if (finalBreak || i + 1 < lines.size()) bytes += "\r\n";
        }
        ok = f.write(bytes) == bytes.size() && f.commit();
    }
    if (!ok) {
        MsgBox(QStringLiteral("IMPOSSIBILE SCRIVERE IL FILE !!") + kCrLf + path, vb::OKOnly | vb::Critical,
               windowTitle());
        Beep();
    }
    return ok;
}

void F_List::startViewer(const QString& viewer, const QString& file)
{
    if (!launcher().startDetached(viewer, {file})) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :") + kCrLf + viewer,
               vb::OKOnly | vb::Critical, windowTitle());
        Beep();
    }
}

void F_List::Cmd_View_Click()
{
    const int count = Lst_Lista->ListCount();
    if (count == 0) return;
    const QString name =
        Qor().TrChars(windowTitle(), QStringLiteral(" "), QStringLiteral("_")) + QStringLiteral(".DBP");
    const QString path = QDir::current().absoluteFilePath(name);
    const QString head = Lbl_Head->text();
    const int n = static_cast<int>(Qor().MinOf(Qor().MaxOf(head.size(), Lst_Lista->List(0).size()), 129));
    QStringList lines{head, Qor().Replicate(n, QStringLiteral("-"))};
    for (int i = 0; i < count; ++i) {
        if (i == 0 && Lst_Lista->List(0) == head) continue;
        lines << Lst_Lista->List(i);
    }
    if (!writeLines(path, lines)) return;
    if (!G_PgmVisualizzatore.isEmpty()) {
        startViewer(G_PgmVisualizzatore, path);
    } else {
        // No viewer set: the desktop's own program for the file.
        if (!launcher().openUrl(QUrl::fromLocalFile(path).toString())) {
            MsgBox(QStringLiteral("Impossibile avviare il programma :") + kCrLf +
                       QStringLiteral("NOTEPAD.EXE"),
                   vb::OKOnly | vb::Critical, windowTitle());
        }
        Beep();
    }
}

void F_List::Cmd_View_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    try {
        F_DbP::instance().ShowModal(this);
    } catch (...) {
        Beep();
    }
}

void F_List::Lbl_Qta_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    QString path, title;
    if (G_NomeLista.isEmpty()) {
        path = G_DirApp + QStringLiteral("RS_F_LIST.TXT");
        title = QStringLiteral("F_LIST");
    } else {
        path = G_DirApp + QStringLiteral("RS_") + G_NomeLista + QStringLiteral(".TXT");
        title = G_NomeLista;
    }
    const QString cr = QStringLiteral("\r");
    if (MsgBox(QStringLiteral("Salvo le righe sul file :") + cr + cr + path + QStringLiteral(" ?"), vb::YesNo,
               title) != vb::Yes)
        return;
    QStringList lines;
    lines.reserve(Lst_Lista->ListCount());
    for (int i = 0; i < Lst_Lista->ListCount(); ++i)
        lines << Lst_Lista->List(i);
    if (!writeLines(path, lines)) return;
    Beep();
    if (MsgBox(QStringLiteral("SALVATAGGIO RIGHE SU FILE: ") + cr + path + cr +
                   QStringLiteral(" COMPLETATO !!") + cr + cr + QStringLiteral("Visualizzo il file ?"),
               vb::YesNo, QStringLiteral("LIST SAVE")) == vb::Yes)
        startViewer(G_PgmVisualizzatore, path);
}

void F_List::Lst_Lista_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const int sel = Lst_Lista->ListIndex();
    const QString r = sel >= 0 ? Lst_Lista->List(sel) : QString();
    const QString title = windowTitle();
    if (MsgBox(QStringLiteral("Vedi riga con PIPE ?"), vb::YesNo | vb::DefaultButton2, title) != vb::Yes)
        return;
    QString t = title + kCrLf + Qor().Replicate(static_cast<int>(title.size()), QStringLiteral("=")) + kCrLf;
    const QString sep = QStringLiteral("|");
    QString h;
    if (!Lbl_Head->text().isEmpty()) h = Qor().Replace(Lbl_Head->text(), QStringLiteral("!"), sep);
    const QString tag = Cmd_View->property("Tag").toString().trimmed();
    const int fields = Qor().FieldCount(r, sep);
    if (!tag.isEmpty() && tag.contains(sep) && Qor().FieldCount(tag, sep) == fields) h = tag;
    for (int i = 1; i <= fields; ++i)
        t += Qor().FormatNum(i, 4, 0) + sep + Qor().PadStr(Qor().GetField(h, i, sep, true), 25) + sep +
             Qor().GetField(r, i, sep, false) + QStringLiteral("<") + kCrLf;
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("PIPE.TMP"));
    if (!writeLines(path, {t}, true)) return;
    startViewer(G_PgmVisualizzatore, path);
}

void F_List::Lst_Lista_DblClick()
{
    const int sel = Lst_Lista->ListIndex();
    if (sel < 0) return;
    G_RigaLista = Lst_Lista->List(sel);
    const qint64 item = Lst_Lista->ItemData(sel);
    G_ItemLista = item > 0 ? QString::number(item) : QStringLiteral("0");
    setModalResult(Accepted);
    Unload();
}

void F_List::Cmd_OK_Click()
{
    const int sel = Lst_Lista->ListIndex();
    G_RigaLista = sel >= 0 ? Lst_Lista->List(sel) : QString();
    setModalResult(Accepted);
    Unload();
}

void F_List::Cmd_Cancel_Click()
{
    G_RigaLista.clear();
    Unload();
}

void F_List::Txt_Cerca_GotFocus()
{
    searchFlag_ = true;
    Txt_Cerca->setStyleSheet(QStringLiteral("QLineEdit { background-color: #FFFF80; }"));
}

void F_List::Txt_Cerca_LostFocus()
{
    searchFlag_ = false;
    Txt_Cerca->setStyleSheet(QString());
}

void F_List::Form_KeyDown(int keyCode, int shift)
{
    if (keyCode == 117) { // F6
        if (shift != 0) {
            Txt_Cerca->setFocus();
            Txt_Cerca->selectAll();
            return;
        }
        // In the box, the box's own handling of the key clears the flag (see eventFilter).
        if (!searchFlag_) Cmd_Cerca_Click();
    } else if (keyCode == 118) { // F7
        if (!searchFlag_) Cmd_Lascia_Click();
    } else if (keyCode == 13 && shift == 0) {
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        if (focused && focused->window() == this && focused != Cmd_OK)
            focused->click();
        else
            Cmd_OK_Click();
    } else if (keyCode == 27) {
        Cmd_Cancel_Click();
    }
}

bool F_List::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Txt_Cerca) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F6 &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && searchFlag_) {
            searchFlag_ = false; // a first F6 in the box only clears the flag
            return true;
        }
        if (event->type() == QEvent::FocusIn) Txt_Cerca_GotFocus();
        if (event->type() == QEvent::FocusOut) Txt_Cerca_LostFocus();
    } else if (watched == Cmd_Big || watched == Cmd_Litt) {
        if (event->type() == QEvent::HoverMove || event->type() == QEvent::HoverEnter ||
            event->type() == QEvent::MouseMove) {
            if (watched == Cmd_Big)
                Cmd_Big_MouseMove();
            else
                Cmd_Litt_MouseMove();
        }
    } else if (watched == Lst_ListaView->viewport()) {
        // A right press does not move the selection, as a list box's did not.
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
            return true;
    }
    if (event->type() == QEvent::KeyRelease) lastKeyTarget_ = nullptr; // the next press is a new key
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        // A key the focused control leaves goes on to its parents: search and refine run once.
        auto* ke = static_cast<QKeyEvent*>(event);
        auto* w = static_cast<QWidget*>(watched);
        const bool again = event == lastKeyEvent_ && ke->key() == lastKey_ && lastKeyTarget_ &&
                           (w == lastKeyTarget_ || w->isAncestorOf(lastKeyTarget_));
        if (w->window() == this) {
            if (again) return false;
            lastKeyEvent_ = event;
            lastKey_ = ke->key();
            lastKeyTarget_ = w;
        }
    }
    return VbForm::eventFilter(watched, event);
}

void F_List::Form_Unload(int&)
{
    if (!G_NomeLista.trimmed().isEmpty()) {
        List_SavePos(this, G_NomeLista);
        Qor().IniWrite(QStringLiteral("PosHelp"), G_NomeLista + QStringLiteral("C"), Txt_Cerca->text(), kIni);
    }
    Lst_Lista->Clear();
}
