#include "printing/FormPRT.h"

#include "foundation/FocusColour.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Placed.h"
#include "foundation/PosFinestre.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Launcher.h"
#include "platform/TextCodec.h"
#include "platform/printers/PrinterCatalog.h"
#include "printing/GeneraPrtINI.h"
#include "printing/PRT_InitPrinter.h"
#include "printing/PRT_TestPage.h"
#include "qor/Cl_QOR.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>

#include <cmath>

namespace
{

const QString kPrt = QStringLiteral("QOR_PRT.INI");
const QString kDefault = QStringLiteral("Default");

// A profile read into a 255-character buffer: at most 254 characters come back.
QString prtRead(const QString& section, const QString& key, const QString& def = QString())
{
    return IniFile::read(kPrt, section, key, def).left(254);
}

// A settings text that is a number as a whole ("," or "." as decimal mark).
bool toNumber(const QString& text, double& out)
{
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    out = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(out);
}

// The width as load and activation compare it: a text that is no number counts as 0.
double widthValue(const QString& text)
{
    double v = 0;
    return toNumber(text, v) ? v : 0;
}

// Only a Landscape that rounds to 1 ticks the box; anything else, a non-number too,
// leaves it unticked.
bool landscapeTicked(const QString& text)
{
    double v = 0;
    return toNumber(text, v) && std::nearbyint(v) == 1;
}

QString sizeText(float size)
{
    return QString::number(size, 'g', 7);
}

} // namespace

FormPRT::FormPRT()
{
    FixedWindow(this, "FormPRT", QStringLiteral("Parametri Stampante"), 5925, 5070);
    // The design's 8-point type, so the captions fit their places.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    auto label = [this](const char* name, const QString& text, const QRect& r) {
        return Placed<QLabel>(this, name, text, r);
    };
    auto button = [this](const char* name, const QString& text, const QRect& r) {
        auto* b = Placed<QPushButton>(this, name, text, r);
        b->setAutoDefault(false);
        return b;
    };
    auto edit = [this](const char* name, const QString& text, const QRect& r, bool locked) {
        auto* e = Placed<QLineEdit>(this, name, text, r);
        e->setReadOnly(locked);
        FocusColour_Install(e);
        return e;
    };
    auto check = [this](const char* name, const QString& text, const QRect& r) {
        return Placed<QCheckBox>(this, name, text, r);
    };

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(Twips(60, 900, 5805, 3540));

    Label11 = label("Label11", QStringLiteral("Stampante"), Twips(60, 150, 1005, 255));
    Cmb_Prt = new QComboBox(this);
    Cmb_Prt->setObjectName(QStringLiteral("Cmb_Prt"));
    Cmb_Prt->setGeometry(Twips(1080, 90, 3480, 330));
    Cmd_SetDef = button("Cmd_SetDef", QStringLiteral("Set Default"), Twips(4680, 75, 1125, 375));
    // Enabled by a selection other than the default printer.
    Cmd_SetDef->setEnabled(false);
    Label12 = label("Label12", QStringLiteral("St. default :"), Twips(60, 570, 1005, 255));
    Lbl_Prt = label("Lbl_Prt", QStringLiteral("Nome Stampante/DEV:"), Twips(1080, 570, 4725, 255));

    Label7 = label("Label7", QStringLiteral("Dati fissi :"), Twips(120, 960, 1335, 255));
    Label8 = label("Label8", QStringLiteral("Righe (1/6\") :"), Twips(120, 1290, 1815, 255));
    Txt_H = edit("Txt_H", QStringLiteral("Txt_H"), Twips(1980, 1260, 735, 285), true);
    Label10 = label("Label10", QStringLiteral("Modo colore :"), Twips(3000, 1290, 1215, 255));
    Txt_Color = edit("Txt_Color", QStringLiteral("2"), Twips(4260, 1260, 495, 285), false);
    Label9 = label("Label9", QStringLiteral("Colonne (1/10\") :"), Twips(120, 1650, 1815, 255));
    Txt_W = edit("Txt_W", QStringLiteral("Txt_W"), Twips(1980, 1620, 735, 285), true);
    Chk_Comp = check("Chk_Comp", QStringLiteral("Stampa comunque compresso !"), Twips(2880, 1620, 2955, 285));
    Chk_Comp->setVisible(false);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setGeometry(Twips(120, 2010, 5685, 30));

    Label2 = label("Label2", QStringLiteral("Righe vuote TOP :"), Twips(120, 2160, 1815, 255));
    Txt_RTop = edit("Txt_RTop", QStringLiteral("2"), Twips(1980, 2130, 735, 285), false);
    Label3 = label("Label3", QStringLiteral("Righe vuote BOTTOM :"), Twips(2880, 2160, 1845, 255));
    Txt_RBot = edit("Txt_RBot", QStringLiteral("2"), Twips(4740, 2130, 495, 285), false);

    Label1 = label("Label1", QStringLiteral("Font :"), Twips(1080, 2550, 1095, 255));
    Label6 = label("Label6", QStringLiteral("Dimensione :"), Twips(3420, 2550, 1095, 255));
    Label4 = label("Label4", QStringLiteral("NORMALE :"), Twips(15, 2850, 1065, 255));
    Txt_Nor = edit("Txt_Nor", QStringLiteral("Txt_Nor"), Twips(1080, 2820, 2280, 285), true);
    Txt_DNor = edit("Txt_DNor", QStringLiteral("Txt_DNor"), Twips(3420, 2820, 735, 285), true);
    Cmd_SelNor = button("Cmd_SelNor", QStringLiteral("Seleziona"), Twips(4260, 2790, 1095, 345));
    Label5 = label("Label5", QStringLiteral("COMPRESSO :"), Twips(15, 3240, 1065, 255));
    Txt_Comp = edit("Txt_Comp", QStringLiteral("Txt_Comp"), Twips(1080, 3210, 2280, 285), true);
    Txt_DComp = edit("Txt_DComp", QStringLiteral("Txt_DComp"), Twips(3420, 3210, 735, 285), true);
    Cmd_SelCom = button("Cmd_SelCom", QStringLiteral("Seleziona"), Twips(4260, 3180, 1095, 345));
    Txt_SComp = edit("Txt_SComp", QStringLiteral("Txt_SComp"), Twips(1080, 3600, 2280, 285), true);
    Txt_DSComp = edit("Txt_DSComp", QStringLiteral("Txt_DSComp"), Twips(3420, 3600, 735, 285), true);
    Cmd_SelSCom = button("Cmd_SelSCom", QStringLiteral("Seleziona"), Twips(4260, 3570, 1095, 345));
    // The super-compressed row shows only while the printer handles landscape.
    for (QWidget* w : {static_cast<QWidget*>(Txt_SComp), static_cast<QWidget*>(Txt_DSComp),
                       static_cast<QWidget*>(Cmd_SelSCom)})
        w->setVisible(false);
    Chk_Land = check("Chk_Land", QStringLiteral("Gestisce il Landscape"), Twips(120, 4020, 2775, 285));

    Cmd_TestPRT = button("Cmd_TestPRT", QStringLiteral("Test stampa"), Twips(120, 4530, 1215, 435));
    Cmd_ReNew = button("Cmd_ReNew", QStringLiteral("Rigenera File"), Twips(1440, 4530, 1215, 435));
    Cmd_ReNew->setToolTip(QStringLiteral("Click-Destro per file INI"));
    Cmd_OK = button("Cmd_OK", QStringLiteral("OK"), Twips(3360, 4530, 1155, 435));
    Cmd_Quit = button("Cmd_Quit", QStringLiteral("Abbandona"), Twips(4620, 4530, 1185, 435));

    // The fields filled from the file or the font dialog, and the colour, show the arrow.
    for (QLineEdit* e : {Txt_H, Txt_W, Txt_Color, Txt_Nor, Txt_DNor, Txt_Comp, Txt_DComp, Txt_SComp, Txt_DSComp})
        e->setCursor(Qt::ArrowCursor);

    auto guarded = [this](const char* name, void (FormPRT::*handler)()) {
        return [this, name, handler] { Guard(QLatin1String(name), [this, handler] { (this->*handler)(); }); };
    };
    connect(Cmb_Prt, &QComboBox::currentIndexChanged, this, guarded("Cmb_Prt_Click", &FormPRT::Cmb_Prt_Click));
    connect(Chk_Land, &QCheckBox::stateChanged, this, guarded("Chk_Land_Click", &FormPRT::Chk_Land_Click));
    connect(Cmd_OK, &QPushButton::clicked, this, guarded("Cmd_OK_Click", &FormPRT::Cmd_OK_Click));
    connect(Cmd_Quit, &QPushButton::clicked, this, guarded("Cmd_Quit_Click", &FormPRT::Cmd_Quit_Click));
    connect(Cmd_SetDef, &QPushButton::clicked, this, guarded("Cmd_SetDef_Click", &FormPRT::Cmd_SetDef_Click));
    connect(Cmd_ReNew, &QPushButton::clicked, this, guarded("Cmd_ReNew_Click", &FormPRT::Cmd_ReNew_Click));
    connect(Cmd_SelNor, &QPushButton::clicked, this, guarded("Cmd_SelNor_Click", &FormPRT::Cmd_SelNor_Click));
    connect(Cmd_SelCom, &QPushButton::clicked, this, guarded("Cmd_SelCom_Click", &FormPRT::Cmd_SelCom_Click));
    connect(Cmd_SelSCom, &QPushButton::clicked, this,
            guarded("Cmd_SelSCom_Click", &FormPRT::Cmd_SelSCom_Click));
    connect(Cmd_TestPRT, &QPushButton::clicked, this,
            guarded("Cmd_TestPRT_Click", &FormPRT::Cmd_TestPRT_Click));
    onMouseUp(Cmd_ReNew, [this](int b, int s, int x, int y) {
        Guard(QStringLiteral("Cmd_ReNew_MouseUp"), [&] { Cmd_ReNew_MouseUp(b, s, x, y); });
    });
    FitCaptions(this);
}

int FormPRT::ShowModalFrom(VbForm* opener)
{
    return instance().ShowModal(opener);
}

void FormPRT::loadFields(const QString& section)
{
    Txt_H->setText(prtRead(section, QStringLiteral("Lunghezza")));
    Txt_W->setText(prtRead(section, QStringLiteral("Larghezza")));
    Chk_Land->setChecked(landscapeTicked(prtRead(section, QStringLiteral("Landscape"), QStringLiteral("0"))));
    Txt_Color->setText(prtRead(section, QStringLiteral("Colore")));
    Txt_RTop->setText(prtRead(section, QStringLiteral("Top")));
    Txt_RBot->setText(prtRead(section, QStringLiteral("Bottom")));
    Txt_Nor->setText(prtRead(section, QStringLiteral("FontNorm")));
    Txt_DNor->setText(prtRead(section, QStringLiteral("FontNSiz")));
    Txt_Comp->setText(prtRead(section, QStringLiteral("FontComp")));
    Txt_DComp->setText(prtRead(section, QStringLiteral("FontCSiz")));
    Txt_SComp->setText(prtRead(section, QStringLiteral("FontSComp")));
    Txt_DSComp->setText(prtRead(section, QStringLiteral("FontSCSiz")));
}

void FormPRT::writeFields(const QString& section) const
{
    auto w = [&section](const char* key, const QString& value) {
        IniFile::write(kPrt, section, QLatin1String(key), value);
    };
    w("Lunghezza", Txt_H->text());
    w("Larghezza", Txt_W->text());
    w("Landscape", Chk_Land->isChecked() ? QStringLiteral(" 1") : QStringLiteral(" 0"));
    w("Colore", Txt_Color->text());
    w("Top", Txt_RTop->text());
    w("Bottom", Txt_RBot->text());
    w("FontNorm", Txt_Nor->text());
    w("FontNSiz", Txt_DNor->text());
    w("FontComp", Txt_Comp->text());
    w("FontCSiz", Txt_DComp->text());
    w("FontSComp", Txt_SComp->text());
    w("FontSCSiz", Txt_DSComp->text());
}

void FormPRT::showCompressed()
{
    if (widthValue(Txt_W->text()) > 80) Chk_Comp->setVisible(true);
}

void FormPRT::Form_Load()
{
    // 1.
    loading_ = true;
    noReinit_ = false;
    // 2. Without [Default] the list stays empty; activation generates the file.
    if (IniFile::readSection(kPrt, kDefault).isEmpty()) {
        loading_ = false;
        PosFinestre_Load(this);
        return;
    }
    // 3.
    defaultName_ = prtRead(kDefault, QStringLiteral("Printer"));
    // 4. The printer sections as the file lists them.
    int defaultIndex = -1;
    QFile f(G_DirWin + kPrt);
    if (f.open(QIODevice::ReadOnly)) {
        QString text = TextCodec::decode(f.readAll());
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        int counted = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1Char('['))) continue;
            const int close = line.lastIndexOf(QLatin1Char(']'));
            // A line without its "]" opens no section for the profile functions either.
            if (close < 0) continue;
            const QString name = line.mid(1, close - 1);
            if (name.startsWith(QLatin1String("Default")) || name.startsWith(QLatin1String("System"))) continue;
            Cmb_Prt->addItem(name);
            // An empty name is a prefix of everything and names no printer.
            if (defaultIndex < 0 && !name.isEmpty() && defaultName_.startsWith(name)) defaultIndex = counted;
            ++counted;
        }
    }
    // 5. The default entry is selected at once (entry 0 only when none matched), so the
    // selection handler runs once and only for it.
    loading_ = false;
    if (Cmb_Prt->count() > 0) {
        const int wanted = defaultIndex >= 0 ? defaultIndex : 0;
        if (Cmb_Prt->currentIndex() == wanted)
            Cmb_Prt_Click();
        else
            Cmb_Prt->setCurrentIndex(wanted);
    }
    // 7.
    Lbl_Prt->setText(prtRead(kDefault, QStringLiteral("Printer")));
    loadFields(kDefault);
    // 8.
    PosFinestre_Load(this);
    // 9.
    showCompressed();
}

void FormPRT::Form_Activate()
{
    noReinit_ = false;
    if (IniFile::readSection(kPrt, kDefault).isEmpty()) GeneraPrtINI(false);
    Lbl_Prt->setText(prtRead(kDefault, QStringLiteral("Printer")));
    loadFields(kDefault);
    Chk_Land_Click();
    showCompressed();
}

void FormPRT::Form_Deactivate()
{
    Unload();
}

void FormPRT::Form_Unload(int&)
{
    if (!noReinit_) PRT_InitPrinter(Lbl_Prt->text());
    noReinit_ = false;
    PosFinestre_Save(this);
}

void FormPRT::Cmb_Prt_Click()
{
    if (loading_) return;
    const Cl_QOR& q = Qor();
    // 1. to 3.
    const QString selected = Cmb_Prt->currentText();
    Cmd_SetDef->setEnabled(!selected.isEmpty() && selected != defaultName_);
    Lbl_Prt->setText(selected);
    // 4. and 5.
    loadFields(selected);
    double w = 0;
    if (!toNumber(Txt_W->text(), w)) Txt_W->setText(QStringLiteral("132"));
    showCompressed();
    // 6. and 7. An empty name matches nothing: printers without a driver name would
    // otherwise answer a blank device of the record.
    const QString device = q.GetField(Lbl_Prt->text(), 1, QStringLiteral(","), true);
    const QString recordDevice = q.FixStr(G_PrtSet.DeviceName);
    PrinterCatalog& catalog = printerCatalog();
    for (const PrinterInfo& p : catalog.printers()) {
        const bool byDevice = !device.isEmpty() && p.deviceName == device;
        const bool byDriver = !recordDevice.isEmpty() && p.driverName == recordDevice;
        if (!byDevice && !byDriver) continue;
        // 8.
        catalog.setCurrent(p);
        G_PrtSet.DriverName = p.driverName;
        G_PrtSet.DeviceName = p.deviceName;
        G_PrtSet.Port = p.port;
        // 9. A section carrying the printer's exact name makes it the default at once.
        if (selected == q.FixStr(G_PrtSet.DeviceName).trimmed() + QLatin1Char(',') + q.FixStr(G_PrtSet.Port).trimmed())
            Cmd_SetDef_Click();
        return;
    }
}

void FormPRT::Chk_Land_Click()
{
    const bool on = Chk_Land->isChecked();
    Txt_SComp->setVisible(on);
    Txt_DSComp->setVisible(on);
    Cmd_SelSCom->setVisible(on);
}

void FormPRT::Cmd_OK_Click()
{
    const QString section = Cmb_Prt->currentText();
    // Nothing listed: a section named "" would be listed as a printer next time.
    if (!section.isEmpty()) {
        writeFields(section);
        if (prtRead(kDefault, QStringLiteral("Printer")) == section) writeFields(kDefault);
        Qor().IniWrite(QStringLiteral("PrtOut"), QStringLiteral("Choosed"), section, QStringLiteral("QOR_PLCR.INI"));
    }
    setModalResult(Accepted);
    Unload();
}

void FormPRT::Cmd_Quit_Click()
{
    Unload();
}

void FormPRT::Cmd_SetDef_Click()
{
    const QString selected = Cmb_Prt->currentText();
    if (selected.isEmpty()) return;
    IniFile::write(kPrt, kDefault, QStringLiteral("Printer"), selected);
    defaultName_ = selected;
    Cmd_SetDef->setEnabled(false);
    Lbl_Prt->setText(selected.trimmed());
    writeFields(kDefault);
    writeFields(Lbl_Prt->text());
    PRT_InitPrinter(Lbl_Prt->text());
}

void FormPRT::Cmd_ReNew_Click()
{
    const Cl_QOR& q = Qor();
    const QString title = windowTitle();
    G_Risp = MsgBox(QStringLiteral("CONFERMI RIGENERAZIONE FILE PRT_INI ?"), vb::YesNo | vb::Critical, title);
    if (G_Risp == vb::No) return;
    G_Risp = MsgBox(QStringLiteral("Genero solo le stampanti aggiunte ??"),
                    vb::YesNo | vb::Question | vb::DefaultButton2, title);
    if (G_Risp == vb::No) {
        Beep();
        return;
    }

    const QString backup = G_DirApp + QStringLiteral("QOR_PRTk.INI");
    const QString settings = G_DirWin + kPrt;
    QString step;
    // A failed step is logged and told; the next one runs.
    auto fail = [&](int number, const QString& description) {
        const QString text = QString::number(number) + QStringLiteral(" : ") + description + QStringLiteral(" (") +
                             step + QLatin1Char(')');
        q.WriteLog(QStringLiteral("***** FormPRT.CMD_RENEW ERROR : ") + text, 0, Pth_DebugLog, true);
        q.WriteLog(QStringLiteral("      F_PrK = ") + backup, 0, Pth_DebugLog, true);
        q.WriteLog(QStringLiteral("      F_Prt = ") + settings, 0, Pth_DebugLog, true);
        MsgBox(text, vb::OKOnly | vb::Critical, QStringLiteral("FormPRT.Cmd_ReNew_Click ERR"));
    };

    step = QStringLiteral("Prima di: FilExist()");
    q.FileExists(backup);
    // The old backup is not deleted first: the new copy replaces it whole, or it stays.
    step = QStringLiteral("Prima di: Kill");
    step = QStringLiteral("Prima di: Name");
    {
        QFile in(settings);
        QSaveFile out(backup);
        if (!in.open(QIODevice::ReadOnly)) {
            fail(int(in.error()), in.errorString());
        } else {
            const QByteArray bytes = in.readAll();
            if (in.error() != QFileDevice::NoError)
                fail(int(in.error()), in.errorString());
            else if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
                fail(int(out.error()), out.errorString());
        }
    }
    step = QStringLiteral("Prima di: GeneraPrtINI");
    GeneraPrtINI(true);
    step = QStringLiteral("Prima di End");
    MsgBox(QStringLiteral("RIGENERATO IL FILE 'QOR_PRT.INI' !"), vb::OKOnly | vb::Information);
}

void FormPRT::Cmd_ReNew_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString path = G_DirWin + kPrt;
    if (!Qor().FileExists(path)) return;
    if (!launcher().startDetached(G_PgmVisualizzatore, {path})) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\n") + G_PgmVisualizzatore,
               vb::OKOnly | vb::Critical, windowTitle());
        Beep();
    }
}

void FormPRT::chooseFont(QLineEdit* name, QLineEdit* size, int row)
{
    QFont initial(name->text());
    double pt = 0;
    // A size the file spoils still lets the dialog mend it.
    if (toNumber(size->text(), pt) && pt > 0 && pt < 10000) initial.setPointSizeF(pt);
    const std::optional<QFont> chosen = dialogs().chooseFont(initial, true);
    if (!chosen) return;
    if (chosen->family() == QLatin1String(" ")) return;
    const float points = float(chosen->pointSizeF());
    name->setText(chosen->family());
    size->setText(sizeText(points));
    switch (row) {
    case 0:
        G_PrtSet.FontNorm = name->text();
        G_PrtSet.FontNSiz = points;
        break;
    case 1:
        G_PrtSet.FontComp = name->text();
        G_PrtSet.FontCSiz = points;
        break;
    default:
        G_PrtSet.FontSComp = name->text();
        G_PrtSet.FontSCSiz = points;
        break;
    }
}

void FormPRT::Cmd_SelNor_Click()
{
    chooseFont(Txt_Nor, Txt_DNor, 0);
}

void FormPRT::Cmd_SelCom_Click()
{
    chooseFont(Txt_Comp, Txt_DComp, 1);
}

void FormPRT::Cmd_SelSCom_Click()
{
    chooseFont(Txt_SComp, Txt_DSComp, 2);
}

void FormPRT::Cmd_TestPRT_Click()
{
    PrtTestValues v;
    v.title = windowTitle();
    v.printer = Lbl_Prt->text();
    v.righe = Txt_H->text();
    v.colonne = Txt_W->text();
    v.colore = Txt_Color->text();
    v.top = Txt_RTop->text();
    v.bottom = Txt_RBot->text();
    v.fontNor = Txt_Nor->text();
    v.sizeNor = Txt_DNor->text();
    v.fontComp = Txt_Comp->text();
    v.sizeComp = Txt_DComp->text();
    v.fontSComp = Txt_SComp->text();
    v.sizeSComp = Txt_DSComp->text();
    v.landscape = Chk_Land->isChecked();
    PRT_TestPage(v);
}
