#include "printing/F_DbP.h"

#include "foundation/FocusColour.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/ModRegistro.h"
#include "foundation/Placed.h"
#include "foundation/PosFinestre.h"
#include "platform/Dialogs.h"
#include "platform/FixedFont.h"
#include "platform/IniFile.h"
#include "platform/Launcher.h"
#include "platform/TextCodec.h"
#include "platform/printers/PrinterObject.h"
#include "printing/PRT_Stampa.h"
#include "qor/Cl_QOR.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("Stampe su Disco");
const QString kTip = QStringLiteral("Programma visualizzatore : ");

// The profile read of a 255-character buffer: at most 254 characters come back.
QString profileRead(const QString& key, const QString& def)
{
    return IniFile::read(kIni, kSec, key, def).left(254);
}

// Lines of a print-to-disk file, ended by CR LF, LF or a lone CR; a last line without
// its end counts too.
class LineReader
{
  public:
    enum Status { Line, End, Error };
    explicit LineReader(QFile& f) : f_(f) {}

    Status next(QByteArray& line)
    {
        for (;;) {
            for (qsizetype i = pos_; i < buf_.size(); ++i) {
                const char c = buf_.at(i);
                if (c != '\n' && c != '\r') continue;
                if (c == '\r' && i + 1 == buf_.size() && !eof_) break; // its LF may follow
                line = buf_.mid(pos_, i - pos_);
                pos_ = i + 1;
                if (c == '\r' && pos_ < buf_.size() && buf_.at(pos_) == '\n') ++pos_;
                return Line;
            }
            if (eof_) {
                if (pos_ >= buf_.size()) return End;
                line = buf_.mid(pos_);
                pos_ = buf_.size();
                return Line;
            }
            buf_.remove(0, pos_);
            pos_ = 0;
            const QByteArray more = f_.read(1 << 16);
            if (more.isEmpty()) {
                if (f_.error() != QFileDevice::NoError || !f_.atEnd()) return Error;
                eof_ = true;
            }
            buf_ += more;
        }
    }

  private:
    QFile& f_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    bool eof_ = false;
};

} // namespace

F_DbP::F_DbP()
{
    FixedWindow(this, "F_DbP", QStringLiteral("Stampe su Disco"), 7575, 2400);

    const QFont lucida = fixedPitchFont(QStringLiteral("Lucida Console"), 9);
    auto label = [this](const char* name, const QString& text, const QRect& r) {
        return Placed<QLabel>(this, name, text, r);
    };
    auto button = [this](const char* name, const QString& text, const QRect& r) {
        auto* b = Placed<QPushButton>(this, name, text, r);
        // A focused button answers Enter itself; Enter elsewhere is the default button's.
        b->setAutoDefault(true);
        return b;
    };
    auto edit = [this](const char* name, const QString& text, const QRect& r) {
        return Placed<QLineEdit>(this, name, text, r);
    };

    Label1 = label("Label1", QStringLiteral("Estensione :"), Twips(120, 120, 975, 255));
    Cmb_Ext = new QComboBox(this);
    Cmb_Ext->setObjectName(QStringLiteral("Cmb_Ext"));
    Cmb_Ext->setEditable(false);
    Cmb_Ext->setGeometry(Twips(1080, 120, 1095, 300));
    Cmb_Ext->setFont(lucida);
    Cmd_Fil = button("Cmd_Fil", QStringLiteral("Cerca Files"), Twips(2280, 120, 1095, 375));
    Cmd_Fil->setDefault(true);
    Label4 = label("Label4", QString(), Twips(4200, 240, 615, 255));
    Cmd_Edit = button("Cmd_Edit", QStringLiteral("Scelta Editor"), Twips(6480, 120, 975, 495));
    Label2 = label("Label2", QStringLiteral("Ultima directory :"), Twips(120, 720, 1335, 255));
    Txt_Dir = edit("Txt_Dir", QStringLiteral("C:\\"), Twips(1440, 720, 6015, 285));
    Txt_Dir->setFont(lucida);
    Label3 = label("Label3", QStringLiteral("Nome file completo."), Twips(120, 1080, 1455, 255));
    Txt_FIL = edit("Txt_FIL", QStringLiteral("Txt_Fil"), Twips(120, 1320, 7335, 285));
    // Hidden and locked: it only carries the extension setting. No length limit, so a
    // stored value is kept whole.
    Txt_Ext = edit("Txt_Ext", QStringLiteral("DBP"), Twips(4200, 1680, 495, 285));
    Txt_Ext->setReadOnly(true);
    Txt_Ext->setVisible(false);
    Cmd_RePrint = button("Cmd_RePrint", QStringLiteral("Ristampa"), Twips(5400, 1680, 975, 495));
    Cmd_View = button("Cmd_View", QStringLiteral("Visualizza"), Twips(6480, 1680, 975, 495));

    // Tab order 0..8 (the labels take no focus).
    QWidget* order[] = {Cmb_Ext, Cmd_Fil, Txt_Dir, Txt_FIL, Cmd_Edit, Cmd_RePrint, Cmd_View, Txt_Ext};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QLineEdit* e : {Txt_Dir, Txt_FIL})
        FocusColour_Install(e);

    connect(Cmd_Fil, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_Fil_Click"), [this] { Cmd_Fil_Click(); }); });
    connect(Cmd_RePrint, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_RePrint_Click"), [this] { Cmd_RePrint_Click(); }); });
    connect(Cmd_View, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_View_Click"), [this] { Cmd_View_Click(); }); });
    connect(Cmd_Edit, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_Edit_Click"), [this] { Cmd_Edit_Click(); }); });
    onMouseUp(Cmd_View, [this](int b, int s, int x, int y) {
        Guard(QStringLiteral("Cmd_View_MouseUp"), [&] { Cmd_View_MouseUp(b, s, x, y); });
    });
    setKeyPreview(true);
    FitCaptions(this);
}

void F_DbP::Form_Load()
{
    const Cl_QOR& q = Qor();
    // 1.
    if (Cmb_Ext->count() == 0) {
        Cmb_Ext->addItems({QString(), QStringLiteral("LOG"), QStringLiteral("TXT")});
        Cmb_Ext->setCurrentIndex(1);
    }
    // 2.
    PosFinestre_Load(this, defHeight_, defWidth_);
    // 3.
    Txt_Dir->setText(profileRead(QStringLiteral("Directory"), QStringLiteral("C:\\")));
    Txt_FIL->setText(profileRead(QStringLiteral("UltimoFile"), QString()));
    // 4.
    Txt_Ext->setText(q.IniRead(kSec, QStringLiteral("ExtCmb"), QString(), kIni));
    if (!Txt_Ext->text().isEmpty()) {
        const int at = q.ComboFind(Cmb_Ext, Txt_Ext->text(), 1);
        if (at >= 0) Cmb_Ext->setCurrentIndex(at);
    }
    // 5.
    const QString estensione = profileRead(QStringLiteral("Estensione"), QStringLiteral("DBP"));
    Txt_Ext->setText(Cmb_Ext->currentText().trimmed().isEmpty() ? estensione : Cmb_Ext->currentText());
    // 6. and 7. With no viewer of its own the window takes the one the start-up chose: a
    // fixed Windows program name would not start here, and closing would store it.
    viewer_ = profileRead(QStringLiteral("PgmVisualizzatore"), G_PgmVisualizzatore);
    Cmd_Edit->setToolTip(kTip + viewer_);
    Cmd_View->setToolTip(kTip + viewer_);
}

void F_DbP::Form_Unload(int&)
{
    PosFinestre_Save(this);
    IniFile::write(kIni, kSec, QStringLiteral("Directory"), Txt_Dir->text());
    IniFile::write(kIni, kSec, QStringLiteral("UltimoFile"), Txt_FIL->text());
    IniFile::write(kIni, kSec, QStringLiteral("Estensione"), Txt_Ext->text());
    Qor().IniWrite(kSec, QStringLiteral("ExtCmb"), Cmb_Ext->currentText().trimmed(), kIni);
    IniFile::write(kIni, kSec, QStringLiteral("PgmVisualizzatore"), viewer_);
}

void F_DbP::Form_KeyDown(int keyCode, int)
{
    // Enter is the default button's, unless a button has the focus: that one takes it
    // itself (the default button too, so it runs once).
    if (keyCode != 13) return;
    if (qobject_cast<QPushButton*>(focusWidget())) return;
    Cmd_Fil_Click();
}

QString F_DbP::dialogFolder(const QString& text)
{
    if (!QDir::isAbsolutePath(text)) return QDir::currentPath();
    QString p = QDir::cleanPath(text);
    while (!QFileInfo(p).isDir()) {
        const QString up = QFileInfo(p).path();
        if (up == p) break;
        p = up;
    }
    return p;
}

void F_DbP::Cmd_Fil_Click()
{
    QString ext = Cmb_Ext->currentText().trimmed();
    if (ext.isEmpty()) ext = QStringLiteral("*");
    const QString patterns = ext == QLatin1String("*") ? QStringLiteral("*")
                                                       : QStringLiteral("*.") + ext.toUpper() +
                                                             QStringLiteral(" *.") + ext.toLower();
    const QString file =
        dialogs().openFile(QStringLiteral("Stampe su disco."), dialogFolder(Txt_Dir->text()),
                           QStringLiteral("Stampe su Disco (") + patterns + QLatin1Char(')'));
    if (file.isEmpty()) return;
    Txt_FIL->setText(file);
    Txt_Dir->setText(file.left(file.size() - QFileInfo(file).fileName().size()));
}

void F_DbP::Cmd_RePrint_Click()
{
    const QString path = Txt_FIL->text();
    G_Risp = MsgBox(QStringLiteral("Confermi ristampa documento : \r") + path, vb::YesNo | vb::Question,
                    windowTitle());
    if (G_Risp != vb::Yes) return;
    if (!Qor().FileExists(path)) return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        MsgBox(QStringLiteral("IMPOSSIBILE LEGGERE IL FILE !!\r\n") + path, vb::OKOnly | vb::Critical,
               windowTitle());
        return;
    }
    if (f.size() == 0) return;

    QString failure;
    {
        PrtRun run;
        PrinterObject& p = Printer();
        G_PrtOut = QStringLiteral("PRT");
        PRT_Stampa(QStringLiteral("INIT"));
        G_PrtPasso = 0.9;
        G_PrtRiga = 0;
        p.setCurrentY(0);
        p.setCurrentX(0);
        LineReader reader(f);
        bool broken = false;
        for (;;) {
            QByteArray bytes;
            const LineReader::Status st = reader.next(bytes);
            if (st == LineReader::End) break;
            if (st == LineReader::Error) {
                broken = true;
                break;
            }
            PRT_Stampa(TextCodec::decode(bytes));
            // A job that could not start takes no more lines.
            if (p.jobFailed()) break;
            if (G_PrtRiga > G_PrtMaxRow) {
                PRT_Stampa(QStringLiteral("EJEC"));
                p.setCurrentY(0);
                p.setCurrentX(0);
            }
        }
        if (broken)
            run.abandon();
        else
            PRT_Stampa(QStringLiteral("STOP"));
        failure = run.failureText();
    }
    if (!failure.isEmpty()) {
        MsgBox(failure, vb::OKOnly | vb::Critical, QStringLiteral("Stampe su Disco"));
        Beep();
    }
}

void F_DbP::Cmd_View_Click()
{
    const QString file = Txt_FIL->text();
    const QStringList args = file.isEmpty() ? QStringList() : QStringList{file};
    if (!launcher().startDetached(viewer_, args)) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\n") + viewer_, vb::OKOnly | vb::Critical,
               windowTitle());
        Beep();
    }
}

QString F_DbP::chooseViewer(const QString& folder)
{
    // "*.EXE" stands for the executable files.
    const QString file = dialogs().openFile(QStringLiteral("Programmi visualizzatori."), folder,
                                            QStringLiteral("Programmi visualizzatori (*)"));
    if (file.isEmpty()) return {};
    const QFileInfo fi(file);
    if (!fi.isFile() || !fi.isExecutable()) {
        Beep();
        return {};
    }
    return file;
}

void F_DbP::setViewerTip(QPushButton* b) const
{
    b->setToolTip(kTip + viewer_ + QStringLiteral(" - Mouse destro per cambiare!"));
}

void F_DbP::Cmd_Edit_Click()
{
    const QString file = chooseViewer(dialogFolder(Reg_SysFolder(1, false)));
    if (file.isEmpty()) return;
    viewer_ = file;
    setViewerTip(Cmd_View);
    if (Qor().FileExists(file)) {
        IniFile::write(kIni, kSec, QStringLiteral("PgmVisualizzatore"), viewer_);
        G_PgmVisualizzatore = viewer_;
    }
}

void F_DbP::Cmd_View_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString file = chooseViewer(QString());
    if (file.isEmpty()) return;
    viewer_ = file;
    setViewerTip(Cmd_View);
}
