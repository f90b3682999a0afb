// List events, attachment extraction and the folder buttons.
#include "F_Mail.h"
#include "F_ZipXML.h"
#include "XmlListView.h"

#include "archive/F_XMLCompact.h"
#include "foundation/F_Fold.h"
#include "foundation/StartSettings.h"
#include "foundation/Proc_Qor.h"
#include "foundation/Proc_Qor_Files.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "qor/Cl_QOR.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QSaveFile>

namespace
{
// The e-invoicing hub's portal.
const QString kAgyoPortal = QStringLiteral("https://portale.agyo.example");
const QString kIni = QStringLiteral("QOR_PLCR.INI");

// Where each list layout puts the attachment name and the file name (fields from 1).
struct RowFields {
    int attachment;
    int fileName;
};
constexpr RowFields kRowFields[] = {{9, 2}, {8, 4}, {8, 5}, {8, 7}, {8, 7}, {9, 8}};

// The text of the first attachment element, or nothing when the file has no whole one.
// The closing tag is looked for only after the opening one.
std::optional<QByteArray> attachmentText(const QByteArray& xml)
{
    static const QByteArray open = "<Attachment>";
    static const QByteArray close = "</Attachment>";
    const qsizetype from = xml.indexOf(open);
    if (from < 0) return std::nullopt;
    const qsizetype start = from + open.size();
    const qsizetype to = xml.indexOf(close, start);
    if (to < 0) return std::nullopt;
    // Indented XML breaks the text with blanks, tabs and line ends; none belongs to base64.
    QByteArray text;
    text.reserve(to - start);
    for (qsizetype i = start; i < to; ++i) {
        const char c = xml.at(i);
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') text += c;
    }
    return text;
}

// The extension names both a file this program writes and the program that opens it:
// only plain letters and digits pass.
bool safeExtension(const QString& ext)
{
    if (ext.isEmpty() || ext.size() > 10) return false;
    for (const QChar c : ext)
        if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
              (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
            return false;
    return true;
}

// The name as one line: control, format and line-separator characters become blanks, so
// no line break or direction mark can push the real extension out of sight.
QString oneLine(const QString& name)
{
    QString out = name;
    for (QChar& c : out) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            c = QLatin1Char(' ');
            break;
        default:
            break;
        }
    }
    return out;
}

// Files the desktop would run or install rather than show, by the type it gives them.
bool runnable(const QMimeType& type)
{
    static const char* const kinds[] = {
        "application/x-executable", // programs and every script type
        "application/x-sharedlib",
        "application/x-desktop", // desktop entries run their Exec line
        "application/x-ms-dos-executable",
        "application/x-msi",
        "application/vnd.debian.binary-package",
        "application/x-rpm",
        "application/vnd.flatpak",
        "application/vnd.flatpak.ref",
        "application/vnd.snap",
        "application/vnd.appimage",
        "application/x-iso9660-appimage",
        "application/x-java-archive",
        "application/x-php",
        "text/tcl",
        "text/vbscript",
    };
    for (const char* kind : kinds)
        if (type.inherits(QLatin1String(kind))) return true;
    return false;
}

// The labels that re-run the window's layout as the mouse passes over them.
class MouseMoveHook final : public QObject
{
  public:
    MouseMoveHook(QWidget* w, std::function<void(int, int, int, int)> action)
        : QObject(w), action_(std::move(action))
    {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseMove) {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPoint p = me->position().toPoint();
            int button = 0;
            if (me->buttons() & Qt::LeftButton) button |= 1;
            if (me->buttons() & Qt::RightButton) button |= 2;
            if (me->buttons() & Qt::MiddleButton) button |= 4;
            action_(button, VbForm::vbShift(me->modifiers()), p.x() * 15, p.y() * 15);
        }
        return false;
    }

  private:
    std::function<void(int, int, int, int)> action_;
};
} // namespace

void F_ZipXML::connectEventHandlers()
{
    // A list box's Click: every selection change the user makes, by mouse or keys.
    connect(static_cast<XmlListView*>(Lst_XML), &XmlListView::userSelectionChanged, this,
            [this] { Guard(QStringLiteral("Lst_XML_Click"), [this] { Lst_XML_Click(); }); });
    auto move = [this](QWidget* w, const char* name, void (F_ZipXML::*fn)(int, int, int, int)) {
        new MouseMoveHook(w, [this, name, fn](int b, int s, int x, int y) {
            Guard(QLatin1String(name), [&] { (this->*fn)(b, s, x, y); });
        });
    };
    move(Label1, "Label1_MouseMove", &F_ZipXML::Label1_MouseMove);
    move(Label5, "Label5_MouseMove", &F_ZipXML::Label5_MouseMove);
    move(Lbl_FodZIP, "Lbl_FodZIP_MouseMove", &F_ZipXML::Lbl_FodZIP_MouseMove);
}

void F_ZipXML::Lst_XML_Click()
{
    if (B_Building) return;
    setStatus(QString::number(Lst_XMLRows->SelCount()) + QStringLiteral(" righe selezionate"));
    Chk_ViewXML();
}

void F_ZipXML::Lst_XML_DblClick()
{
    const int index = Lst_XMLRows->ListIndex();
    const int layout = Lst_XMLRows->Layout();
    // The rows keep their fields where the layout they were built with put them.
    if (index < 0 || layout < 0 || layout > 5) {
        Beep();
        return;
    }
    const QString name = Lst_XMLRows->Field(index, kRowFields[layout].attachment);
    const QString path = Lst_XMLRows->FilePath(index);
    if (name.isEmpty() || path.isEmpty()) {
        Beep();
        return;
    }
    // The question shows the name on one line and, below it, the file it becomes: the
    // extension taken is the one after the last dot, whatever the name shows first.
    const QString ext = Qor().FileExt(name).toUpper();
    const QString outName = QStringLiteral("_ALLEGATO.") + ext;
    QString question = QStringLiteral("Confermi visualizzazione Allegato ?\r\n") + oneLine(name);
    if (safeExtension(ext)) question += QStringLiteral("\r\nFile : ") + outName;
    if (MsgBox(question, vb::YesNo | vb::Question, Caption()) == vb::No) {
        Beep();
        return;
    }
    if (!safeExtension(ext)) {
        Beep();
        return;
    }
    const QString viewer = Qor().ExtProgram(ext);

    QFile in(path);
    if (!QFileInfo(path).isFile() || !in.open(QIODevice::ReadOnly)) {
        Beep();
        return;
    }
    const std::optional<QByteArray> text = attachmentText(in.readAll());
    in.close();
    const QByteArray bytes = text ? Base64Dec(QString::fromLatin1(*text)) : QByteArray();
    if (bytes.isEmpty()) {
        // Nothing usable to show: the earlier file of that type stays as it was.
        MsgBox(QStringLiteral("Allegato non trovato nel file :\r\n") + path, vb::OKOnly | vb::Critical,
               Caption());
        Beep();
        return;
    }

    // The earlier file of that type is replaced only by a complete new one.
    const QString out = G_DirApp + outName;
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        MsgBox(QStringLiteral("IMPOSSIBILE SCRIVERE IL FILE !!\r\n") + out, vb::OKOnly | vb::Critical,
               Caption());
        Beep();
        return;
    }
    // A program, script, desktop entry or package is never handed on: the desktop would
    // run it. The clerk is told where it was written.
    if (runnable(QMimeDatabase().mimeTypeForFile(out))) {
        MsgBox(QStringLiteral("L'allegato è un programma o uno script: non viene aperto.\r\n"
                              "File salvato in :\r\n") +
                   out,
               vb::OKOnly | vb::Exclamation, Caption());
        Beep();
        return;
    }
    // No program of the desktop's for the type: the file is there, nothing else is run.
    if (viewer.isEmpty()) {
        MsgBox(QStringLiteral("Nessun programma per aprire i file ") + ext +
                   QStringLiteral(".\r\nFile salvato in :\r\n") + out,
               vb::OKOnly | vb::Exclamation, Caption());
        Beep();
        return;
    }
    if (!launcher().startDetached(viewer, {out})) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\n") + viewer, vb::OKOnly | vb::Critical,
               Caption());
        Beep();
    }
}

void F_ZipXML::Lst_XML_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString header =
        QStringLiteral("_") + Qor().TrChars(Lbl_Hed->text().mid(1), QStringLiteral("|"), QStringLiteral("!"));
    if (!Qor().ShowList(Lst_XML,
                        G_PgmVisualizzatore + QStringLiteral("|") + header + QStringLiteral("  :  ") +
                            FolderKey(),
                        G_DirApp)) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\n") + G_PgmVisualizzatore,
               vb::OKOnly | vb::Critical, Caption());
        Beep();
    }
}

void F_ZipXML::Label1_MouseMove(int, int, int, int)
{
    Form_Resize();
}

void F_ZipXML::Label5_MouseMove(int, int, int, int)
{
    Form_Resize();
}

void F_ZipXML::Lbl_FodZIP_MouseMove(int, int, int, int)
{
    Form_Resize();
}

void F_ZipXML::Lbl_FodZIP_DblClick()
{
    OpenVirtualStore();
}

void F_ZipXML::Cmd_Agyo_Click()
{
    Qor().OpenURL(kAgyoPortal);
}

void F_ZipXML::Cmd_Big_Click()
{
    const int size = Lst_XML->font().pointSize() + 1;
    if (size < 9) {
        QFont f = Lst_XML->font();
        f.setPointSize(size);
        Lst_XML->setFont(f);
        QFont h = Lbl_Hed->font();
        h.setPointSize(size);
        Lbl_Hed->setFont(h);
        Qor().ListFit(Lst_XML, N_LongestRow);
    } else {
        Beep();
    }
    QCoreApplication::processEvents();
}

void F_ZipXML::Cmd_CfgMail_Click()
{
    F_Mail::instance().ShowModal(this);
}

void F_ZipXML::Cmd_CfgMail_MouseUp(int button, int, int, int)
{
    if (button == 2) Do_InviaMail(QString(), QStringLiteral("... Testo Libero ..."), QString());
}

void F_ZipXML::Cmd_DelDir_Click()
{
    if (Cmb_FoldXML->count() == 0) {
        Beep();
        return;
    }
    const QString shown = Cmb_FoldXML->currentIndex() < 0 ? QString() : Cmb_FoldXML->currentText().trimmed();
    if (shown.isEmpty()) {
        MsgBox(QStringLiteral("Nessuna Cartella Selezionata !!"), vb::OKOnly | vb::Critical, Caption());
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi eliminazione dall'elenco della cartella :\r\n") + shown,
               vb::YesNo | vb::Question | vb::DefaultButton2, Caption()) == vb::No) {
        Beep();
        return;
    }
    // Only the list entry goes: the folder stays in the archive.
    Cmb_FoldXML->removeItem(Cmb_FoldXML->currentIndex());
    if (Cmb_FoldXML->count() > 0) {
        setFoldListIndex(0);
    } else {
        Cmb_FoldXML->setCurrentIndex(-1);
        // Nothing of the last folder stays behind: its rows would be packed and mailed under
        // no folder and its key would name the next ZIP. The window is as at load without folders.
        Lst_XMLRows->Clear();
        Lst_XML->setToolTip(QString());
        Lbl_LastDo->setText(QStringLiteral("__/__/____"));
        Lbl_LastDo->setToolTip(QString());
    }
}

void F_ZipXML::Cmd_DelDir_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    F_XMLCompact& w = F_XMLCompact::instance();
    // Without its archive the maintenance window has nothing to show (it said why at load).
    if (!w.ArchiveOpen()) {
        w.Unload();
        return;
    }
    w.Lbl_Azi->setText(Lbl_Azi->text());
    w.ShowModal(this);
}

void F_ZipXML::Cmd_DirZIP_Click()
{
    // The chooser starts from the folder it stored for this key; a cancel changes nothing.
    if (!F_Fold::Choose(QStringLiteral("PCLR"), this)) return;
    const QString folder =
        Qor().IniRead(QStringLiteral("Fold_Folders"), QStringLiteral("PCLR"), QString(), kIni);
    if (folder.trimmed().isEmpty()) return;
    Txt_DirZIP.setText(Qor().PathSlash(folder.trimmed()).trimmed());
    const QString sent = Txt_DirZIP.Text() + QStringLiteral("Inviati");
    if (!QFileInfo(sent).isDir() && !QDir().mkpath(sent)) {
        MsgBox(QStringLiteral("IMPOSSIBILE SCRIVERE IL FILE !!\r\n") + sent, vb::OKOnly | vb::Critical,
               Caption());
        Beep();
    }
}

void F_ZipXML::Cmd_DirZIP_MouseUp(int button, int, int, int)
{
    if (button == 2) Cmd_OpenXml_Click();
}
