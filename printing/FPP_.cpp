#include "printing/FPP_.h"

#include "foundation/FocusColour.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Placed.h"
#include "foundation/PosFinestre.h"
#include "foundation/StatusBar.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Launcher.h"
#include "printing/F_DbP.h"
#include "printing/FormPRT.h"
#include "printing/PRT_InitPrinter.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QValidator>

QString G_DestStampa;

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");

// The file name field. Whatever the user puts in it (a paste, a drop, as well as keys)
// obeys the typing rules: the characters keys could type, letters in upper case, no more
// than the typing limit allows, cut where the limit falls; a change that would bring
// nothing is refused, as a key past the limit is. A name the program sets stays whole.
class FileNameEdit final : public QLineEdit
{
  public:
    FileNameEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent)
    {
        setValidator(new Rule(this));
    }

  protected:
    bool event(QEvent* e) override
    {
        ++userDepth_; // the user's changes all come in an event to the field
        const bool done = QLineEdit::event(e);
        --userDepth_;
        return done;
    }

  private:
    class Rule final : public QValidator
    {
      public:
        explicit Rule(FileNameEdit* e) : QValidator(e), e_(e), last_(e->text())
        {
            connect(e, &QLineEdit::textChanged, this, [this](const QString& t) { last_ = t; });
        }

        State validate(QString& input, int& pos) const override
        {
            if (e_->userDepth_ == 0) return Acceptable;
            // What was put in lies between the unchanged start and end of the text.
            const qsizetype n = qMin(input.size(), last_.size());
            qsizetype head = 0;
            while (head < n && input.at(head) == last_.at(head))
                ++head;
            qsizetype tail = 0;
            while (tail < n - head && input.at(input.size() - 1 - tail) == last_.at(last_.size() - 1 - tail))
                ++tail;
            const QString added = input.mid(head, input.size() - head - tail);
            if (added.isEmpty()) return Acceptable; // only a deletion
            const qsizetype kept = input.size() - added.size();
            QString typed;
            for (const QChar c : added) {
                if (c.unicode() < 32 || c.unicode() == 127) continue;
                if (kept + typed.size() >= FPP_::MaxTyped) break;
                typed += QChar(FPP_::Txt_FIL_KeyPress(c.unicode()));
            }
            if (typed.isEmpty()) return Invalid;
            input = input.left(head) + typed + input.right(tail);
            pos = static_cast<int>(head + typed.size());
            return Acceptable;
        }

      private:
        const FileNameEdit* e_;
        QString last_;
    };

    int userDepth_ = 0;
};

} // namespace

FPP_::FPP_()
{
    FixedWindow(this, "FPP_", QStringLiteral("Stampa"), 5805, 4650);
    // The design's 8-point type, so the captions fit their places.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    Frm_Bottom = new QFrame(this);
    Frm_Bottom->setObjectName(QStringLiteral("Frm_Bottom"));
    Frm_Bottom->setWindowTitle(QStringLiteral("Frame1")); // a frame without border shows no caption
    Frm_Bottom->setFrameShape(QFrame::NoFrame);
    Frm_Bottom->setGeometry(Twips(0, 2280, 5775, 2055));

    Frame2 = new QGroupBox(QStringLiteral("Destinazione"), Frm_Bottom);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(Twips(120, 0, 5535, 1170));

    auto option = [this](int index, const QString& text, const QRect& r) {
        auto* o = new QRadioButton(text, Frame2);
        o->setObjectName(QStringLiteral("Opt_PRT_%1").arg(index));
        o->setGeometry(r);
        Opt_PRT[index] = o;
    };
    auto edit = [this](const char* name, const QRect& r) {
        auto* e = Placed<QLineEdit>(Frame2, name, QString(), r);
        FocusColour_Install(e);
        return e;
    };
    auto button = [this](const char* name, const QString& text, const QRect& r) {
        auto* b = Placed<QPushButton>(Frm_Bottom, name, text, r);
        // A focused button answers Enter itself, as the default one does elsewhere.
        b->setAutoDefault(true);
        return b;
    };

    option(0, QStringLiteral("Stampante"), Twips(105, 315, 1170, 225));
    Txt_PRT = edit("Txt_PRT", Twips(1320, 315, 4095, 285));
    Txt_PRT->setReadOnly(true);
    Txt_PRT->setCursor(Qt::ArrowCursor);
    Txt_PRT->setEnabled(false);
    Txt_PRT->setToolTip(QStringLiteral("Doppio-Click per Cambio/Parametri Stampante"));
    option(1, QStringLiteral("File"), Twips(105, 735, 645, 225));
    Txt_FIL = Placed<FileNameEdit>(Frame2, "Txt_FIL", QString(), Twips(1320, 720, 4065, 285));
    FocusColour_Install(Txt_FIL);

    Cmd_PRT = button("Cmd_PRT", QStringLiteral("Stampa"), Twips(495, 1380, 1170, 540));
    Cmd_PRT->setDefault(true);
    Cmd_View = button("Cmd_View", QStringLiteral("Vedi file"), Twips(1935, 1380, 1170, 540));
    Cmd_View->setToolTip(QStringLiteral("Click Destro per Stampe su Disco"));
    Chk_View = new QCheckBox(Frm_Bottom);
    Chk_View->setObjectName(QStringLiteral("Chk_View"));
    Chk_View->setGeometry(Twips(3135, 1500, 255, 255));
    Chk_View->setToolTip(QStringLiteral("Visualizza file al termine della stampa !!"));
    Chk_Quit = button("Chk_Quit", QStringLiteral("Abbandona"), Twips(4095, 1380, 1170, 540));
    Chk_Quit->setToolTip(QStringLiteral("ESC per Abbandonare la Stampa."));

    St_Status = new QStatusBar(this);
    St_Status->setObjectName(QStringLiteral("St_Status"));
    St_Status->setSizeGripEnabled(false);
    St_Status->setGeometry(0, 4335 / TwipsPerPixel, width(), height() - 4335 / TwipsPerPixel);
    auto panel = [this](const char* name, bool stretch) {
        auto* l = new QLabel(St_Status);
        l->setObjectName(QLatin1String(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        if (stretch)
            St_Status->addWidget(l, 1);
        else
            St_Status->addPermanentWidget(l);
        return l;
    };
    Pan_Msg = panel("Pan_Msg", true);
    // The lock-key and insert indicators stay empty: their state cannot be read portably.
    Pan_Num = panel("Pan_Num", false);
    Pan_Caps = panel("Pan_Caps", false);
    Pan_Ins = panel("Pan_Ins", false);
    Pan_Time = panel("Pan_Time", false);
    Pan_Date = panel("Pan_Date", false);
    for (QLabel* l : {Pan_Num, Pan_Caps, Pan_Ins})
        l->setMinimumWidth(24);
    StartClock(Pan_Time, Pan_Date);

    QWidget* order[] = {Opt_PRT[0], Txt_PRT, Opt_PRT[1], Txt_FIL, Cmd_PRT, Chk_Quit, Chk_View, Cmd_View};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (int i = 0; i < 2; ++i)
        connect(Opt_PRT[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) Guard(QStringLiteral("Opt_PRT_Click"), [this, i] { Opt_PRT_Click(i); });
        });
    connect(Cmd_PRT, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_PRT_Click"), [this] { Cmd_PRT_Click(); }); });
    connect(Chk_Quit, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Chk_Quit_Click"), [this] { Chk_Quit_Click(); }); });
    connect(Cmd_View, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_View_Click"), [this] { Cmd_View_Click(); }); });
    onMouseUp(Cmd_View, [this](int b, int s, int x, int y) {
        Guard(QStringLiteral("Cmd_View_MouseUp"), [&] { Cmd_View_MouseUp(b, s, x, y); });
    });
    onDblClick(Txt_PRT, [this] { Guard(QStringLiteral("Txt_PRT_DblClick"), [this] { Txt_PRT_DblClick(); }); });
    setKeyPreview(true);
    FitCaptions(this);
}

void FPP_::AccendiSave() {}

void FPP_::SpegniSave() {}

void FPP_::SetSave(bool) {}

bool FPP_::ControllaSave()
{
    return false;
}

void FPP_::Form_Load()
{
    // 1.
    fileName_ = G_DestStampa;
    G_DestStampa.clear();
    // 2.
    Txt_PRT->setText(G_PrtSet.Nome.text());
    Txt_FIL->setText(fileName_);
    // 3.
    update();
    Txt_FIL->setEnabled(true);
}

void FPP_::Form_Activate()
{
    // 1. Only 1 ticks the box.
    G_IniRet = IniFile::readInt(kIni, windowTitle(), QStringLiteral("View"), 0);
    Chk_View->setChecked(G_IniRet == 1);
    // 2.
    Txt_PRT->setText(G_PrtSet.Nome.text().trimmed());
    Txt_FIL->setText(fileName_);
    update();
    Txt_FIL->setEnabled(true);
    // 3.
    G_IniRet = IniFile::readInt(kIni, windowTitle(), QStringLiteral("Dest"), 0);
    if (G_IniRet < 0) G_IniRet = 0;
    if (G_IniRet > 1) G_IniRet = 1;
    const int dest = G_IniRet;
    Opt_PRT[dest]->setChecked(true);
    Opt_PRT_Click(dest);
}

void FPP_::Opt_PRT_Click(int index)
{
    const bool file = index == 1;
    Txt_FIL->setEnabled(file);
    Txt_PRT->setEnabled(!file);
}

void FPP_::Cmd_PRT_Click()
{
    G_Risp = MsgBox(QStringLiteral("Confermi stampa?"), vb::YesNo | vb::Question, windowTitle());
    if (G_Risp == vb::Yes)
        G_DestStampa = Opt_PRT[0]->isChecked() ? QStringLiteral("printer") : Txt_FIL->text();
    else
        G_DestStampa.clear();
    Unload();
}

void FPP_::Chk_Quit_Click()
{
    G_DestStampa.clear();
    Unload();
}

void FPP_::Cmd_View_Click()
{
    const QString file = Txt_FIL->text();
    if (MsgBox(QStringLiteral("Confermi visualizzazione ?"), vb::YesNo | vb::Question, file) != vb::Yes) return;
    const QStringList args = file.isEmpty() ? QStringList() : QStringList{file};
    if (!launcher().startDetached(G_PgmVisualizzatore, args)) {
        MsgBox(QStringLiteral("Impossibile avviare il programma :\r\n") + G_PgmVisualizzatore,
               vb::OKOnly | vb::Critical, windowTitle());
        Beep();
    }
}

void FPP_::Cmd_View_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    F_DbP::instance().ShowModal(this);
}

void FPP_::Txt_PRT_DblClick()
{
    if (!Txt_PRT->isEnabled()) return;
    FormPRT::ShowModalFrom(this);
    if (isUnloaded()) return;
    Txt_PRT->setText(G_PrtSet.Nome.text().trimmed());
}

int FPP_::Txt_FIL_KeyPress(int keyAscii)
{
    if (keyAscii >= 'a' && keyAscii <= 'z') return keyAscii - ('a' - 'A');
    return keyAscii;
}

void FPP_::Form_KeyDown(int keyCode, int)
{
    if (keyCode == 27) {
        Chk_Quit_Click();
        return;
    }
    // Enter is the default button's, unless another button has the focus (it answers itself).
    if (keyCode != 13) return;
    if (qobject_cast<QPushButton*>(focusWidget())) return;
    Cmd_PRT_Click();
}

void FPP_::Form_Unload(int&)
{
    const QString section = windowTitle();
    G_IniRet = IniFile::write(kIni, section, QStringLiteral("Dest"),
                              Opt_PRT[0]->isChecked() ? QStringLiteral("0") : QStringLiteral("1"))
                   ? 1
                   : 0;
    G_IniRet = IniFile::write(kIni, section, QStringLiteral("View"),
                              QLatin1Char(' ') + QString::number(Chk_View->isChecked() ? 1 : 0))
                   ? 1
                   : 0;
}
