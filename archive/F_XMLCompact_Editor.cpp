// The code-table record editor: codes and descriptions of one table (Tabella, with the key
// column CampoCod and the description column CampoDes) on the window's own connection.
// The archive has no such table of its own: without it the editor stays switched off.
#include "F_XMLCompact.h"

#include "M_MDB.h"
#include "controls/Ordalis.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QToolBar>

namespace
{
const QString kStart = QStringLiteral("Inizio Inserimento..");

// True when the focus is in the control (or its inner box).
bool focusIn(const QWidget* control)
{
    const QWidget* focus = QApplication::focusWidget();
    return control && focus && (focus == control || control->isAncestorOf(focus));
}
} // namespace

// ---------------------------------------------------------------- set-up

void F_XMLCompact::bindEditor()
{
    Ordalis::SaveHost host;
    host.ControllaSave = [this] { return ControllaSave(); };
    host.AccendiSave = [this] { AccendiSave(); };
    host.SetSave = [this](bool on) { SetSave(on); };
    host.showPrompt = [this](const QString& text) { setStatus(text); };
    for (const TxtCtl* t : {&Txt_Cod, &Txt_Des})
        if (t->widget()) Ordalis::bindSaveConvention(t->widget(), this, host);
    // The code box's own steps run after the binding's.
    Txt_Cod.on(QStringLiteral("Change"), this, [this](const QVariantList&) {
        Guard(QStringLiteral("Txt_Cod_Change"), [this] { Txt_Cod_Change(); });
    });
    Txt_Cod.on(QStringLiteral("LostFocus"), this, [this](const QVariantList&) {
        Guard(QStringLiteral("Txt_Cod_LostFocus"), [this] { Txt_Cod_LostFocus(); });
    });
}

void F_XMLCompact::loadEditor()
{
    tabReady_ = ArchiveOpen() && MDB_ExistTABLE(Cn_DirTmp, Tabella);
    if (tabReady_) return;
    Txt_Cod.setEnabled(false);
    Txt_Des.setEnabled(false);
    for (QAction* a : Toolbar2->actions())
        a->setEnabled(false);
    for (QAction* a : {M_New, M_SaveNew, M_Save, M_Del, M_Ripr, M_Elim, M_RecPrec, M_RecSucc, M_Prt})
        a->setEnabled(false);
}

// ---------------------------------------------------------------- save state

void F_XMLCompact::AccendiSave()
{
    TB_SaveNew->setEnabled(true);
    TB_Save->setEnabled(true);
    TB_New->setEnabled(false);
    Pan_Status->setText(QStringLiteral("Modifica"));
}

void F_XMLCompact::SpegniSave()
{
    TB_SaveNew->setEnabled(false);
    TB_Save->setEnabled(false);
    TB_New->setEnabled(true);
    Pan_Status->setText(QStringLiteral("Visualizzazione"));
}

bool F_XMLCompact::ControllaSave() const
{
    return TB_SaveNew->isEnabled();
}

void F_XMLCompact::SetSave(bool flag)
{
    TB_SaveNew->setEnabled(flag);
    TB_Save->setEnabled(flag);
}

// ---------------------------------------------------------------- boxes

void F_XMLCompact::Txt_Cod_Change()
{
    TB_Ripr->setEnabled(true);
    TB_Elim->setEnabled(false);
}

void F_XMLCompact::Txt_Cod_LostFocus()
{
    const bool m = Txt_Cod.MskModified();
    SetSave(m);
    setStatus(QString());
    Txt_Cod.setText(Mk_Cod(Txt_Cod.Text()));
    // Rewriting the text leaves the state as it was.
    SetSave(m);
    // The row on show is not read again over changes not yet saved.
    const QString code = Txt_Cod.Text();
    if (ControllaSave() && RecCorrente.State() == ado::adStateOpen && !RecCorrente.EOF_() &&
        ado::ValueText(RecCorrente[CampoCod].Value()) == code)
        return;
    CercaCodice(code);
}

void F_XMLCompact::Txt_Cod_KeyDown(int, int) {}

void F_XMLCompact::Fnd_Tab(const QString& text)
{
    if (!tabReady_) return;
    if (text.isEmpty()) {
        SpegniSave();
        TB_New->setEnabled(false);
    } else {
        CercaCodice(text);
    }
}

// ---------------------------------------------------------------- records

void F_XMLCompact::PulisciMaschera()
{
    Txt_Cod.setEnabled(true);
    Txt_Cod.setText(QString());
    Txt_Des.setText(QString());
    // Emptied by the editor, not typed: a box with the focus compares on leaving with the
    // text it was entered with, so it is entered anew, or leaving it would hand the
    // emptying back as a change and offer to save two empty boxes.
    for (TxtCtl* t : {&Txt_Cod, &Txt_Des})
        if (focusIn(t->widget())) {
            QApplication::focusWidget()->clearFocus();
            t->SetFocus();
        }
    Txt_Cod.setMskModified(false);
    Txt_Des.setMskModified(false);
    SpegniSave();
    TB_Ripr->setEnabled(false);
    Pan_Status->setText(kStart);
}

bool F_XMLCompact::SalvaSeModificato()
{
    if (!ControllaSave()) return true;
    if (MsgBox(QStringLiteral("Salvo i Dati ?"), vb::YesNo | vb::Question, Caption()) != vb::Yes) {
        SpegniSave();
        return true;
    }
    QString code = Txt_Cod.Text();
    // A row without a code could never be reached again by its code, nor deleted.
    if (code.trimmed().isEmpty()) {
        Beep();
        return false;
    }
    if (code == QStringLiteral("000000") || Qor().ToDouble(code) == 0) code = Mk_Cod(code);
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ") + Tabella + QStringLiteral(" WHERE ") + CampoCod +
                QStringLiteral("=?"),
            Cn_DirTmp, ado::adOpenKeyset, ado::adLockOptimistic, QVariantList{code});
    if (rs.EOF_()) {
        rs.AddNew();
        rs[CampoCod] = Mk_Cod(code);
    }
    rs[CampoDes] = Txt_Des.Text();
    rs.Update();
    rs.Close();
    SpegniSave();
    return true;
}

namespace
{
// Moves the focus to the code box for the editor's own steps. A box takes what the
// editor wrote into it while it had the focus for a change of its own, and hands it back
// when it is left: the save state is put back as the step left it. A code box that has
// the focus already is entered anew, so that it starts from the text now shown (leaving
// it may look up the row just shown, which changes nothing).
void focusCode(F_XMLCompact& w)
{
    const bool on = w.ControllaSave();
    QWidget* cod = w.Txt_Cod.widget();
    if (!cod || !cod->isEnabled()) return;
    if (focusIn(cod)) QApplication::focusWidget()->clearFocus();
    w.Txt_Cod.SetFocus();
    w.SetSave(on);
    w.Txt_Cod.setMskModified(on);
}

// The previous (back) or next code from the one in the box; past either end the walk
// starts again from the other end, with a beep.
void walk(F_XMLCompact& w, bool back)
{
    if (!w.SalvaSeModificato()) return;
    const QString code = F_XMLCompact::Mk_Cod(w.Txt_Cod.Text());
    const QString head = QStringLiteral("SELECT TOP 1 * FROM ") + w.Tabella;
    const QString order =
        QStringLiteral(" ORDER BY ") + w.CampoCod + (back ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    ado::Recordset rs;
    if (code.trimmed().isEmpty())
        rs.Open(head + order, w.Cn_DirTmp, ado::adOpenKeyset, ado::adLockOptimistic);
    else
        rs.Open(head + QStringLiteral(" WHERE ") + w.CampoCod +
                    (back ? QStringLiteral("<?") : QStringLiteral(">?")) + order,
                w.Cn_DirTmp, ado::adOpenKeyset, ado::adLockOptimistic, QVariantList{code});
    if (rs.EOF_()) {
        rs.Close();
        Beep();
        rs.Open(head + order, w.Cn_DirTmp, ado::adOpenKeyset, ado::adLockOptimistic);
        if (rs.EOF_()) {
            Beep();
            rs.Close();
            return;
        }
    }
    w.MostraRecord(&rs);
    rs.Close();
    focusCode(w);
}
} // namespace

void F_XMLCompact::NuovoRecord()
{
    if (!SalvaSeModificato()) return;
    PulisciMaschera();
    SpegniSave();
    TB_Ripr->setEnabled(false);
    TB_Elim->setEnabled(false);
    TB_New->setEnabled(false);
    Pan_Status->setText(kStart);
    focusCode(*this);
}

void F_XMLCompact::RecPrec()
{
    walk(*this, true);
}

void F_XMLCompact::RecSucc()
{
    walk(*this, false);
}

void F_XMLCompact::MostraRecord(ado::Recordset* rs)
{
    if (!rs || rs->State() != ado::adStateOpen || rs->EOF_() || rs->BOF()) {
        Beep();
        return;
    }
    const QString code = ado::ValueText((*rs)[CampoCod].Value());
    const QString des = ado::ValueText((*rs)[CampoDes].Value());
    const ado::Recordset kept = rs->Clone();
    Txt_Cod.setText(code);
    Txt_Des.setText(des);
    RecCorrente = kept;
    SpegniSave();
    TB_Elim->setEnabled(true);
    TB_Ripr->setEnabled(false);
}

void F_XMLCompact::CercaCodice(const QString& code)
{
    if (code.isEmpty()) return;
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ") + Tabella + QStringLiteral(" WHERE ") + CampoCod +
                QStringLiteral("=?"),
            Cn_DirTmp, ado::adOpenKeyset, ado::adLockOptimistic,
            QVariantList{Qor().GetField(code, 1, QStringLiteral("|"))});
    if (!rs.EOF_()) {
        RecCorrente = rs.Clone();
        MostraRecord(&rs);
        // The key of a shown row cannot be edited. A code box that loses the focus so
        // hands back the code just shown as a change of its own: the state stays.
        const bool on = ControllaSave();
        Txt_Cod.setEnabled(false);
        SetSave(on);
    }
    rs.Close();
}

void F_XMLCompact::EliminaRecord()
{
    if (!SalvaSeModificato()) return;
    if (MsgBox(QStringLiteral("Confermi cancellazione ?"), vb::YesNo | vb::Question, Caption()) != vb::Yes) {
        Beep();
        return;
    }
    const QString code = Txt_Cod.Text();
    // Every row of the code goes: one left behind would show again under it.
    if (!code.trimmed().isEmpty())
        Cn_DirTmp.Execute(QStringLiteral("DELETE FROM ") + Tabella + QStringLiteral(" WHERE ") + CampoCod +
                              QStringLiteral("=?"),
                          {code});
    PulisciMaschera();
}

void F_XMLCompact::RipristinaRecord()
{
    if (MsgBox(QStringLiteral("I dati sono stati modificati. Vuoi ripristinare ?"), vb::YesNo | vb::Question,
               Caption()) != vb::Yes)
        return;
    if (Txt_Cod.Text().trimmed().isEmpty()) return;
    MostraRecord(RecCorrente.State() == ado::adStateOpen ? &RecCorrente : nullptr);
}

// ---------------------------------------------------------------- commands

void F_XMLCompact::editorCommand(const QString& key)
{
    if (!tabReady_) return;
    if (key == QLatin1String("TB_New")) {
        NuovoRecord();
    } else if (key == QLatin1String("TB_SaveNew")) {
        if (SalvaSeModificato()) NuovoRecord();
    } else if (key == QLatin1String("TB_Save")) {
        if (SalvaSeModificato()) Txt_Cod.setEnabled(true);
    } else if (key == QLatin1String("TB_Elim")) {
        EliminaRecord();
    } else if (key == QLatin1String("TB_Ripr")) {
        RipristinaRecord();
    } else if (key == QLatin1String("TB_Prev")) {
        RecPrec();
    } else if (key == QLatin1String("TB_Succ")) {
        RecSucc();
    } else if (key == QLatin1String("TB_Prt")) {
        SalvaSeModificato();
    }
}

void F_XMLCompact::Toolbar2_ButtonClick(QAction* button)
{
    if (button) editorCommand(button->objectName());
}

void F_XMLCompact::M_New_Click()
{
    editorCommand(QStringLiteral("TB_New"));
}

void F_XMLCompact::M_SaveNew_Click()
{
    editorCommand(QStringLiteral("TB_SaveNew"));
}

void F_XMLCompact::M_Save_Click()
{
    editorCommand(QStringLiteral("TB_Save"));
}

void F_XMLCompact::M_Del_Click()
{
    editorCommand(QStringLiteral("TB_Elim"));
}

void F_XMLCompact::M_Ripr_Click()
{
    editorCommand(QStringLiteral("TB_Ripr"));
}

void F_XMLCompact::M_Elim_Click()
{
    editorCommand(QStringLiteral("TB_Elim"));
}

void F_XMLCompact::M_RecPrec_Click()
{
    editorCommand(QStringLiteral("TB_Prev"));
}

void F_XMLCompact::M_RecSucc_Click()
{
    editorCommand(QStringLiteral("TB_Succ"));
}

void F_XMLCompact::M_Prt_Click()
{
    editorCommand(QStringLiteral("TB_Prt"));
}
