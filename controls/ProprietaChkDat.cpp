// The check and date controls' pages: a few properties and the host-code generator.
#include "PropertyPages.h"

#include "CodeGen.h"
#include "PropertyPagesPrivate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace Ordalis
{

namespace
{

QLabel* label(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

QCheckBox* check(const QString& name, const QString& caption, QWidget* parent)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

// A Single as VB writes it: seven significant digits at most.
QString singleText(double v)
{
    return plainNumber(QString::number(v, 'g', 7).toDouble());
}

} // namespace

// ---------------------------------------------------------------- check page

ProprietaChk::ProprietaChk(PageHost* host, QWidget* parent)
    : PropertyPage(host, QStringLiteral("Chk_"), QStringLiteral("Chk_"), QStringLiteral("Chk_Code"), parent)
{
    setObjectName(QStringLiteral("ProprietaChk"));
    filling_ = true;
    txtCaption = addEdit(QStringLiteral("txtCaption"), true, true);
    txtPrompt = addEdit(QStringLiteral("txtPrompt"), true, true);
    Cmb_Align = new QComboBox(this);
    Cmb_Align->setObjectName(QStringLiteral("Cmb_Align"));
    Chk_Tristate = check(QStringLiteral("Chk_Tristate"), QStringLiteral("TriState"), this);
    Chk_TBar = check(QStringLiteral("Chk_TBar"), QStringLiteral("Ignora Toolbar"), this);
    Chk_SBar = check(QStringLiteral("Chk_SBar"), QStringLiteral("Ignora StatusBar"), this);
    Cmd_Code->setText(QStringLiteral("Genera Codice Standard"));

    auto* g = new QGridLayout(this);
    g->addWidget(label(QStringLiteral("Nome Controllo :"), this), 0, 0);
    g->addWidget(Txt_Nome, 0, 1);
    g->addWidget(label(QStringLiteral("Caption:"), this), 1, 0);
    g->addWidget(txtCaption, 1, 1, 1, 2);
    g->addWidget(label(QStringLiteral("Prompt :"), this), 2, 0);
    g->addWidget(txtPrompt, 2, 1, 1, 2);
    g->addWidget(label(QStringLiteral("Alignment :"), this), 3, 0);
    g->addWidget(Cmb_Align, 3, 1);
    g->addWidget(Chk_Tristate, 4, 0);
    g->addWidget(Chk_TBar, 4, 1);
    g->addWidget(Chk_SBar, 4, 2);
    g->addWidget(Cmd_Code, 5, 0, 1, 2);
    g->addWidget(Cmd_CRite, 5, 2);
    g->addWidget(Txt_Code, 6, 0, 1, 3);
    Txt_Code->setMinimumSize(420, 180);

    tabChain({Txt_Nome, txtCaption, txtPrompt, Cmb_Align, Chk_Tristate, Chk_TBar, Chk_SBar, Cmd_Code,
              Cmd_CRite, Txt_Code});

    // A choice of the user marks the page; one made by the page does not.
    connect(Cmb_Align, &QComboBox::activated, this, [this] { markChanged(); });

    // Page initialisation.
    Cmb_Align->clear();
    Cmb_Align->addItems({QStringLiteral("0|Left"), QStringLiteral("1|Right")});
    Cmb_Align->setCurrentIndex(0);
    filling_ = false;
}

QString ProprietaChk::displayName() const
{
    return QStringLiteral("ProprietàChk");
}

void ProprietaChk::selectionStep()
{
    txtCaption->setText(get(QStringLiteral("Caption")).toString());
    txtPrompt->setText(get(QStringLiteral("Prompt")).toString());
    const int a = get(QStringLiteral("Alignment")).toInt();
    if (a < 0 || a >= Cmb_Align->count()) raise(QStringLiteral("Valore della proprietà non valido"));
    Cmb_Align->setCurrentIndex(a);
}

void ProprietaChk::applyStep()
{
    put(QStringLiteral("Caption"), txtCaption->text());
    put(QStringLiteral("Prompt"), txtPrompt->text());
    put(QStringLiteral("Alignment"), Cmb_Align->currentIndex());
}

void ProprietaChk::codeStep()
{
    const bool tb = Chk_TBar->isChecked();
    const bool sb = Chk_SBar->isChecked();
    if (nameRefused()) return;
    showCode(GenChkCode(Txt_Nome->text(), txtCaption->text(), Chk_Tristate->isChecked(), tb, sb));
}

// ---------------------------------------------------------------- date page

ProprietaDat::ProprietaDat(PageHost* host, QWidget* parent)
    : PropertyPage(host, QStringLiteral("Dat_"), QStringLiteral("Dat_"), QStringLiteral("Txt_Code"), parent)
{
    setObjectName(QStringLiteral("ProprietaDat"));
    filling_ = true;
    txtPrompt = addEdit(QStringLiteral("txtPrompt"), true, true);
    Txt_DimFont = addEdit(QStringLiteral("Txt_DimFont"), true, false);
    Command1 = new QPushButton(QStringLiteral("Set"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Chk_TBar = check(QStringLiteral("Chk_TBar"), QStringLiteral("Ignora Toolbar"), this);
    Chk_SBar = check(QStringLiteral("Chk_SBar"), QStringLiteral("Ignora StatusBar"), this);
    Cmd_Code->setText(QStringLiteral("Genera Codice Standard"));

    auto* g = new QGridLayout(this);
    g->addWidget(label(QStringLiteral("Nome Controllo :"), this), 0, 0);
    g->addWidget(Txt_Nome, 0, 1);
    g->addWidget(label(QStringLiteral("Prompt"), this), 1, 0);
    g->addWidget(txtPrompt, 1, 1, 1, 3);
    g->addWidget(label(QStringLiteral("Dimensione Font"), this), 2, 0);
    g->addWidget(Txt_DimFont, 2, 1);
    g->addWidget(Command1, 2, 2);
    g->addWidget(label(QStringLiteral("Tra 5 e 26"), this), 2, 3);
    g->addWidget(Chk_TBar, 3, 0);
    g->addWidget(Chk_SBar, 3, 1);
    g->addWidget(Cmd_Code, 4, 0, 1, 2);
    g->addWidget(Cmd_CRite, 4, 3);
    g->addWidget(Txt_Code, 5, 0, 1, 4);
    Txt_Code->setMinimumSize(420, 180);

    tabChain({Txt_Nome, txtPrompt, Txt_DimFont, Command1, Chk_TBar, Chk_SBar, Cmd_Code, Cmd_CRite, Txt_Code});
    connect(Command1, &QPushButton::clicked, this, [this] { runStep([this] { setStep(); }); });

    // Page initialisation.
    txtPrompt->setText(QString());
    filling_ = false;
}

QString ProprietaDat::displayName() const
{
    return QStringLiteral("ProprietàDat");
}

void ProprietaDat::selectionStep()
{
    txtPrompt->setText(get(QStringLiteral("Prompt")).toString());
    Txt_DimFont->setText(singleText(get(QStringLiteral("FntSize")).toDouble()));
}

void ProprietaDat::applyStep()
{
    put(QStringLiteral("Prompt"), txtPrompt->text());
    QFont font = get(QStringLiteral("Font")).value<QFont>();
    double s = font.pointSizeF();
    if (!Txt_DimFont->text().isEmpty()) {
        s = fieldNumber(Txt_DimFont->text());
        if (s > 5 && s < 24) {
            font.setPointSizeF(s);
            put(QStringLiteral("Font"), font);
            put(QStringLiteral("FntSize"), s);
        }
    }
    // Width and height only grow, also for a size the font did not take.
    if (s * 138 > get(QStringLiteral("Wide")).toDouble()) put(QStringLiteral("Wide"), toLong(s * 138));
    if (s * 27 > get(QStringLiteral("Heig")).toDouble()) put(QStringLiteral("Heig"), toLong(s * 27));
}

void ProprietaDat::setStep()
{
    if (Txt_DimFont->text().isEmpty()) return;
    const double v = fieldNumber(Txt_DimFont->text());
    if (v >= 5 && v <= 26) put(QStringLiteral("FntSize"), v);
}

void ProprietaDat::codeStep()
{
    if (nameRefused()) return;
    showCode(GenDatCode(Txt_Nome->text(), Chk_TBar->isChecked(), Chk_SBar->isChecked()));
}

} // namespace Ordalis
