// Search, selection and list tools, adding and opening folders, the XML viewer.
#include "F_ZipXML.h"

#include "foundation/F_Fold.h"
#include "foundation/ModRegistro.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "printing/F_List.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");

// Search fields 1..5 (counterpart, document date, number, type, file name): the column of
// each in the six layouts; the counterpart has one column for issued and one for received.
int searchColumn(int layout, int field, int attPas)
{
    static constexpr int counterpart[6][2] = {{7, 8}, {6, 7}, {6, 7}, {2, 1}, {1, 2}, {7, 6}};
    static constexpr int others[6][4] = {{6, 5, 4, 2}, {5, 1, 2, 4}, {1, 2, 3, 5},
                                         {3, 4, 5, 7}, {3, 4, 5, 7}, {3, 4, 5, 8}};
    if (layout < 1 || layout > 5) layout = 0;
    if (field == 1) return counterpart[layout][attPas == 1 ? 1 : 0];
    if (field >= 2 && field <= 5) return others[layout][field - 2];
    return 0;
}

} // namespace

void F_ZipXML::Cmd_Find_Click()
{
    const int field = Cmb_Sel->currentIndex();
    const int kind = AttPas();
    const int column = searchColumn(Lst_XMLRows->Layout(), field, kind);
    const QString text = Txt_Find.Text().trimmed().toUpper();
    const int count = Lst_XMLRows->ListCount();
    if (text.isEmpty() || count == 0) {
        Beep();
        return;
    }
    QList<bool> on(count, false);
    for (int i = 0; i < count; ++i) {
        const QString value = column == 0 ? Lst_XMLRows->List(i) : Lst_XMLRows->Field(i, column);
        on[i] = value.toUpper().contains(text);
    }
    Lst_XMLRows->setSelectedRows(on);
    setStatus(QString::number(Lst_XMLRows->SelCount()) + QStringLiteral(" righe selezionate"));
    Beep();
}

void F_ZipXML::Cmd_Find_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    if (Lst_XMLRows->SelCount() == 0) {
        Beep();
        return;
    }
    F_List& list = F_List::instance();
    list.Lst_Lista->Clear();
    for (int i : Lst_XMLRows->selectedRows())
        list.Lst_Lista->AddItem(Lst_XMLRows->List(i));
    if (list.Lst_Lista->ListCount() > 0) {
        const QString name = QStringLiteral("XMLSelezionati");
        list.Tag = name;
        list.setWindowTitle(name);
        list.setAHelp_INI(name);
        list.setAHelp_ROW(QStringLiteral("ROW"));
        G_NomeLista = name;
        list.ShowModal();
    }
}

void F_ZipXML::Cmd_SelAll_Click()
{
    if (Lst_XMLRows->ListCount() == 0) {
        Beep();
        return;
    }
    Lst_XMLRows->selectAll(true);
    setStatus(QString::number(Lst_XMLRows->SelCount()) + QStringLiteral(" righe selezionate"));
    Chk_ViewXML();
    Beep();
}

void F_ZipXML::Cmd_SelAll_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    if (Lst_XMLRows->ListCount() == 0) {
        Beep();
        return;
    }
    Lst_XMLRows->selectAll(false);
    Chk_ViewXML();
    Beep();
}

void F_ZipXML::Cmd_SelInv_Click()
{
    if (Lst_XMLRows->ListCount() == 0) {
        Beep();
        return;
    }
    Lst_XMLRows->invertSelection();
    setStatus(QString::number(Lst_XMLRows->SelCount()) + QStringLiteral(" righe selezionate"));
    Chk_ViewXML();
    Beep();
}

void F_ZipXML::Cmd_SelInv_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    // With no built rows the layout on show is the one the next rows will have.
    const int layout = Lst_XMLRows->ListCount() == 0 ? Cmb_Ord->currentIndex() : Lst_XMLRows->Layout();
    if (layout != 0) {
        MsgBox(QStringLiteral("Ordinamento Files NON utilizzabile per la Selezione dei Documenti NON "
                              "Inviati !!\""),
               vb::OKOnly | vb::Critical, windowTitle());
        Beep();
        return;
    }
    const int count = Lst_XMLRows->ListCount();
    if (count == 0) {
        MsgBox(QStringLiteral("Nessun Documento in elenco !!"), vb::OKOnly | vb::Critical, windowTitle());
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi selezione Files MAI Inviati ?"), vb::YesNo | vb::Question,
               windowTitle()) == vb::No) {
        Beep();
        return;
    }
    QList<bool> on(count, false);
    for (int i = 0; i < count; ++i)
        on[i] = Lst_XMLRows->Field(i, 10).isEmpty();
    Lst_XMLRows->setSelectedRows(on);
}

void F_ZipXML::Cmd_Litt_Click()
{
    const double size = Lst_XML->font().pointSizeF() - 1;
    if (size > 6) {
        QFont f = Lst_XML->font();
        f.setPointSizeF(size);
        Lst_XML->setFont(f);
        QFont h = Lbl_Hed->font();
        h.setPointSizeF(size);
        Lbl_Hed->setFont(h);
        Qor().ListFit(Lst_XML, N_LongestRow);
    } else {
        Beep();
    }
    QCoreApplication::processEvents();
}

void F_ZipXML::Cmd_NewDir_Click()
{
    // Only a confirmed choice adds a folder: after a cancel the stored one is an older answer.
    if (!F_Fold::Choose(QStringLiteral("XML"), this)) return;
    QString path = Qor().IniRead(QStringLiteral("Fold_Folders"), QStringLiteral("XML"), QString(), kIni);
    if (path.isEmpty()) return;
    path = Qor().PathSlash(path);
    if (Qor().ComboFind(Cmb_FoldXML, path, 1) < 0) {
        Cmb_FoldXML->addItem(path);
        setFoldListIndex(Cmb_FoldXML->count() - 1);
    }
}

static void openFolder(const QString& folder, const QString& title)
{
    if (folder.isEmpty()) return;
    if (!launcher().openFolder(folder)) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\nExplorer"), vb::OKOnly | vb::Critical,
               title);
        Beep();
    }
}

void F_ZipXML::Cmd_NewDir_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    openFolder(Cmb_FoldXML->currentText().trimmed(), windowTitle());
}

void F_ZipXML::Cmd_OpenXml_Click()
{
    openFolder(Txt_DirZIP.Text().trimmed(), windowTitle());
}

void F_ZipXML::Cmd_Temp_Click()
{
    Cmd_DelDir_MouseUp(2, 0, 0, 0);
}

void F_ZipXML::Cmd_ViewXML_Click()
{
    const QString viewer = Qor().IniRead(kSec, QStringLiteral("XMLViewer"), QString(), kIni);
    if (viewer.isEmpty()) {
        MsgBox(QStringLiteral("Definire il programma per visualizzare gli XML con il Click-Destro !!\r\n"
                              "( Internet Explorer : iexplorer.exe)"),
               vb::OKOnly | vb::Critical, windowTitle());
        Beep();
        return;
    }
    const QList<int> selected = Lst_XMLRows->selectedRows();
    if (selected.isEmpty()) {
        Beep();
        return;
    }
    if (selected.size() > 1) {
        MsgBox(QStringLiteral("Troppi files Selezionati !!"), vb::OKOnly | vb::Critical, windowTitle());
        Beep();
        return;
    }
    // The file the selected row was built from, with its full path as the list keeps it.
    const int row = selected.first();
    const QString name = Lst_XMLRows->FilePath(row);
    const QFileInfo fi(name);
    if (name.isEmpty() || !fi.isFile() || fi.size() == 0) {
        const QString shown =
            name.isEmpty() ? Lst_XMLRows->Field(row, searchColumn(Lst_XMLRows->Layout(), 5, 0)) : name;
        MsgBox(QStringLiteral("File Inesistente o vuoto !!\r\n( ") + shown + QStringLiteral(" )"),
               vb::OKOnly | vb::Critical, windowTitle());
        Beep();
        return;
    }
    if (!launcher().startDetached(viewer, {name})) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\n") + viewer, vb::OKOnly | vb::Critical,
               windowTitle());
        Beep();
    }
}

void F_ZipXML::Cmd_ViewXML_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString viewer = Qor().IniRead(kSec, QStringLiteral("XMLViewer"), QString(), kIni);
    const QString start = viewer.isEmpty() ? Reg_SysFolder(1, false) : Qor().PathFolder(viewer);
    const QString chosen = dialogs().openFile(QStringLiteral("Programmi visualizzatori."), start,
                                              QStringLiteral("Programmi visualizzatori (*)"));
    if (chosen.isEmpty()) return;
    const QFileInfo fi(chosen);
    if (!fi.isFile() || !fi.isExecutable()) {
        Beep();
        return;
    }
    Qor().IniWrite(kSec, QStringLiteral("XMLViewer"), chosen, kIni);
}
