// The text control's page: a few properties on one page, the key-lookup settings
// in "QOR_CTRL.INI" and the host-code generator.
#include "PropertyPages.h"

#include "CodeGen.h"
#include "OrdalisControl.h"
#include "PropertyPagesPrivate.h"
#include "Txt_.h"
#include "VbNumber.h"

#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "qor/Cl_QOR.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>

namespace Ordalis
{

namespace
{

const QString kIni = QStringLiteral("QOR_CTRL.INI");
const QString kSection = QStringLiteral("OrdalisTxt");

// The kinds' names as the keys carry them.
QString kindName(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral("Ternio");
    case 1:
        return QStringLiteral("Gestalo");
    case 2:
        return QStringLiteral("MDB");
    default:
        return {};
    }
}

// A profile read with its buffer: the limit counts the closing zero.
QString readKey(const QString& key, const QString& def, int buffer)
{
    return IniFile::read(kIni, kSection, key, def).left(buffer - 1);
}

QLabel* label(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

} // namespace

ProprietaTxt::ProprietaTxt(PageHost* host, QWidget* parent)
    : PropertyPage(host, QStringLiteral("Txt_"), QStringLiteral("Txt_Nome"), QStringLiteral("Txt_Code"),
                   parent)
{
    setObjectName(QStringLiteral("ProprietaTxt"));
    filling_ = true;

    Cmd_GetProp = new QPushButton(QStringLiteral("Get Properties"), this);
    Cmd_GetProp->setObjectName(QStringLiteral("Cmd_GetProp"));
    PageLineEdit* maxVisible = addEdit(QStringLiteral("txtMaxVisible"), true, true);
    txtMaxVisible = maxVisible;
    Cmd_RecalcW = new QPushButton(QStringLiteral("Recalc"), this);
    Cmd_RecalcW->setObjectName(QStringLiteral("Cmd_RecalcW"));
    Txt_Wide = addEdit(QStringLiteral("Txt_Wide"), true, true);
    txtMaxLength = addEdit(QStringLiteral("txtMaxLength"), true, true);
    PageLineEdit* decimals = addEdit(QStringLiteral("txtDecimalPlace"), true, true);
    txtDecimalPlace = decimals;
    Cmd_RecalcT = new QPushButton(QStringLiteral("Recalc"), this);
    Cmd_RecalcT->setObjectName(QStringLiteral("Cmd_RecalcT"));
    Txt_Tag = addEdit(QStringLiteral("Txt_Tag"), true, true);
    Cmb_Allign = new QComboBox(this);
    Cmb_Allign->setObjectName(QStringLiteral("Cmb_Allign"));
    Chk_AllowLoCase = new QCheckBox(QStringLiteral("AllowLoCase :"), this);
    Chk_AllowLoCase->setObjectName(QStringLiteral("Chk_AllowLoCase"));
    txtPrompt = addEdit(QStringLiteral("txtPrompt"), true, true);
    connect(Txt_Nome, &QLineEdit::textChanged, this, [this] { markChanged(); });

    Frm_Key = new QGroupBox(QStringLiteral("Frame1"), this);
    Frm_Key->setObjectName(QStringLiteral("Frm_Key"));
    Chk_IsKey = new QCheckBox(QStringLiteral("IsKey"), Frm_Key);
    Chk_IsKey->setObjectName(QStringLiteral("Chk_IsKey"));
    auto* group = new QButtonGroup(Frm_Key);
    const char* kinds[] = {"Ternio", "Gestalo", "MDB"};
    for (int i = 0; i < 3; ++i) {
        auto* o = new QRadioButton(QLatin1String(kinds[i]), Frm_Key);
        o->setObjectName(QStringLiteral("Opt_Key(%1)").arg(i));
        group->addButton(o, i);
        Opt_Key << o;
        connect(o, &QRadioButton::clicked, this, [this, i] { runStep([this, i] { loadKind(i); }); });
    }
    auto* tabella = new PageLineEdit(Frm_Key);
    tabella->setObjectName(QStringLiteral("Txt_Tabella"));
    Txt_Tabella = tabella;
    auto* campo = new PageLineEdit(Frm_Key);
    campo->setObjectName(QStringLiteral("Txt_Campo"));
    Txt_Campo = campo;
    Txt_Tabella->setFont(QFont(QStringLiteral("Arial")));
    Txt_Campo->setFont(QFont(QStringLiteral("Arial")));
    Chk_Zeroes = new QCheckBox(QStringLiteral("Filled with zeroes"), Frm_Key);
    Chk_Zeroes->setObjectName(QStringLiteral("Chk_Zeroes"));
    Chk_SBar = new QCheckBox(QStringLiteral("Ignore StatusBar"), this);
    Chk_SBar->setObjectName(QStringLiteral("Chk_SBar"));
    Chk_TBar = new QCheckBox(QStringLiteral("Ignore Toolbar"), this);
    Chk_TBar->setObjectName(QStringLiteral("Chk_TBar"));
    Cmd_Code->setText(QStringLiteral("Create Std. Code"));
    Lbl_Name = label(QStringLiteral("Lbl_Name"), this);
    Lbl_Name->setObjectName(QStringLiteral("Lbl_Name"));

    // Layout, in the tab order a user goes through the fields.
    auto* g = new QGridLayout(this);
    int r = 0;
    g->addWidget(label(QStringLiteral("Control Name :"), this), r, 0);
    g->addWidget(Txt_Nome, r, 1);
    g->addWidget(Cmd_GetProp, r, 2);
    g->addWidget(Lbl_Name, r, 3);
    ++r;
    g->addWidget(label(QStringLiteral("Visible Chars:"), this), r, 0);
    g->addWidget(txtMaxVisible, r, 1);
    g->addWidget(Cmd_RecalcW, r, 2);
    g->addWidget(label(QStringLiteral("Width"), this), r, 3);
    g->addWidget(Txt_Wide, r, 4);
    ++r;
    g->addWidget(label(QStringLiteral("Max Chars:"), this), r, 0);
    g->addWidget(txtMaxLength, r, 1);
    ++r;
    g->addWidget(label(QStringLiteral("DecimalPlace:"), this), r, 0);
    g->addWidget(txtDecimalPlace, r, 1);
    g->addWidget(Cmd_RecalcT, r, 2);
    g->addWidget(label(QStringLiteral("Tag"), this), r, 3);
    g->addWidget(Txt_Tag, r, 4);
    ++r;
    g->addWidget(Cmb_Allign, r, 1);
    g->addWidget(Chk_AllowLoCase, r, 3, 1, 2);
    ++r;
    g->addWidget(label(QStringLiteral("Prompt :"), this), r, 0);
    g->addWidget(txtPrompt, r, 1, 1, 4);
    ++r;
    auto* k = new QGridLayout(Frm_Key);
    k->addWidget(Chk_IsKey, 0, 0);
    for (int i = 0; i < 3; ++i)
        k->addWidget(Opt_Key[i], 0, i + 1);
    k->addWidget(label(QStringLiteral("Table :"), Frm_Key), 1, 0);
    k->addWidget(Txt_Tabella, 1, 1, 1, 3);
    k->addWidget(label(QStringLiteral("Field :"), Frm_Key), 2, 0);
    k->addWidget(Txt_Campo, 2, 1, 1, 3);
    k->addWidget(Chk_Zeroes, 3, 0, 1, 4);
    g->addWidget(Frm_Key, r, 0, 1, 5);
    ++r;
    g->addWidget(Chk_SBar, r, 0, 1, 2);
    g->addWidget(Chk_TBar, r, 2, 1, 2);
    ++r;
    g->addWidget(Cmd_Code, r, 0, 1, 2);
    g->addWidget(Cmd_CRite, r, 4);
    ++r;
    g->addWidget(Txt_Code, r, 0, 1, 5);
    Txt_Code->setMinimumSize(420, 180);

    // Events of the fields.
    maxVisible->onExit = [this] { runStep([this] { widthStep(true); }); };
    connect(Cmd_RecalcW, &QPushButton::clicked, this, [this] { runStep([this] { widthStep(false); }); });
    decimals->onExit = [this] { runStep([this] { decimalsStep(); }); };
    connect(Cmd_RecalcT, &QPushButton::clicked, this, [this] { runStep([this] { decimalsStep(); }); });
    tabella->onExit = [this] {
        if (Opt_Key[1]->isChecked()) Txt_Tabella->setText(Txt_Tabella->text().toUpper());
    };
    campo->onExit = [this] {
        if (Opt_Key[1]->isChecked()) Txt_Campo->setText(Txt_Campo->text().toLower());
    };
    connect(Chk_AllowLoCase, &QCheckBox::clicked, this, [this] { markChanged(); });
    // A new alignment is a change like any other field's; left out, a page where only
    // the alignment changed offered no Apply and OK dropped the choice.
    connect(Cmb_Allign, &QComboBox::activated, this, [this] { markChanged(); });
    connect(Cmd_GetProp, &QPushButton::clicked, this, [this] { runStep([this] { getPropertiesStep(); }); });
    tabChain({Txt_Nome,        Cmd_GetProp, txtMaxVisible, Cmd_RecalcW, Txt_Wide,        txtMaxLength,
              txtDecimalPlace, Cmd_RecalcT, Txt_Tag,       Cmb_Allign,  Chk_AllowLoCase, txtPrompt,
              Chk_IsKey,       Opt_Key[0],  Opt_Key[1],    Opt_Key[2],  Txt_Tabella,     Txt_Campo,
              Chk_Zeroes,      Chk_SBar,    Chk_TBar,      Cmd_Code,    Cmd_CRite,       Txt_Code});
    Chk_IsKey->installEventFilter(this);
    Txt_Code->installEventFilter(this);

    // Page initialisation.
    txtDecimalPlace->clear();
    Opt_Key[0]->setChecked(true);
    Txt_Tabella->clear();
    Txt_Campo->clear();
    Cmb_Allign->clear();
    Cmb_Allign->addItems({QStringLiteral("0 Left"), QStringLiteral("1 Right"), QStringLiteral("2 Center")});
    Cmb_Allign->setCurrentIndex(0);
    filling_ = false;
}

QString ProprietaTxt::displayName() const
{
    return QStringLiteral("ProprietàTxt");
}

bool ProprietaTxt::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Chk_IsKey && e->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
        // The step moves the focus itself: it runs once the focus has left the box.
        QTimer::singleShot(0, this, [this] { runStep([this] { lookupStep(); }); });
        return false;
    }
    return PropertyPage::eventFilter(watched, e);
}

void ProprietaTxt::selectionStep()
{
    txtMaxLength->setText(plainNumber(get(QStringLiteral("MaxLength")).toDouble()));
    Txt_Wide->setText(plainNumber(get(QStringLiteral("Wide")).toDouble()));
    txtMaxVisible->setText(plainNumber(std::floor((fieldNumber(Txt_Wide->text()) - 90) / 105)));
    Chk_AllowLoCase->setChecked(get(QStringLiteral("AllowLoCase")).toBool());
    txtDecimalPlace->setText(plainNumber(get(QStringLiteral("DecimalPlace")).toDouble()));
    Txt_Tag->setText(get(QStringLiteral("TagZ")).toString());
    if (Txt_Tag->text().isEmpty()) txtDecimalPlace->setText(QString());
    const int a = get(QStringLiteral("Alignment")).toInt();
    if (a < 0 || a >= Cmb_Allign->count()) raise(QStringLiteral("Valore della proprietà non valido"));
    Cmb_Allign->setCurrentIndex(a);
    txtPrompt->setText(get(QStringLiteral("Prompt")).toString());
}

void ProprietaTxt::applyStep()
{
    put(QStringLiteral("MaxLength"), toLong(fieldNumber(txtMaxLength->text())));
    put(QStringLiteral("Wide"), toLong(fieldNumber(Txt_Wide->text())));
    put(QStringLiteral("AllowLoCase"), Chk_AllowLoCase->isChecked());
    put(QStringLiteral("DecimalPlace"), toLong(fieldNumber(txtDecimalPlace->text())));
    put(QStringLiteral("TagZ"), Txt_Tag->text());
    put(QStringLiteral("Alignment"), Cmb_Allign->currentIndex());
    put(QStringLiteral("Prompt"), txtPrompt->text());
    put(QStringLiteral("Heig"), 285);
}

void ProprietaTxt::decimalsStep()
{
    const QString t = txtDecimalPlace->text();
    Txt_Tag->setText(VbNumber::isNumeric(t) ? QStringLiteral("N") + t : QString());
}

void ProprietaTxt::widthStep(bool fromFocusExit)
{
    const QString t = txtMaxVisible->text();
    if (!VbNumber::isNumeric(t) && !t.trimmed().isEmpty()) {
        auto show = [] {
            MsgBox(QStringLiteral("Visible Width Value Not Valid !"), vb::OKOnly | vb::Critical,
                   QStringLiteral("Txt_"));
        };
        // A modal box inside the focus change would enter the focus chain again.
        if (fromFocusExit)
            QTimer::singleShot(0, this, show);
        else
            show();
        return;
    }
    const double v = fieldNumber(t);
    if (v > 0) {
        Txt_Wide->setText(plainNumber(v * 105 + 90));
        if (fieldNumber(txtMaxLength->text()) == 0) txtMaxLength->setText(t);
    }
}

void ProprietaTxt::loadKind(int kind)
{
    const QString k = kindName(kind);
    if (k.isEmpty()) return;
    Txt_Tabella->setText(readKey(QStringLiteral("Tabella") + k, QString(), 49));
    Txt_Campo->setText(readKey(QStringLiteral("Campo") + k, QString(), 49));
}

void ProprietaTxt::lookupStep()
{
    const QList<QWidget*> fields{Opt_Key[0], Opt_Key[1], Opt_Key[2], Txt_Tabella, Txt_Campo};
    if (Chk_IsKey->isChecked()) {
        for (QWidget* w : fields)
            w->setEnabled(true);
        const QString tip = readKey(QStringLiteral("TipKey"), QStringLiteral("0"), 4);
        if (!tip.isEmpty()) {
            const double n = fieldNumber(tip);
            // Another kind than the three leaves the selection as it is.
            if (n == 0 || n == 1 || n == 2) {
                // The step runs queued, after the pending window messages: the option
                // takes the focus straight away.
                QRadioButton* o = Opt_Key[int(n)];
                o->setChecked(true);
                o->setFocus(Qt::OtherFocusReason);
            }
        }
    } else {
        for (QWidget* w : fields)
            w->setEnabled(false);
    }
    loadKind(Qor().OptionIndex(Opt_Key));
}

void ProprietaTxt::getPropertiesStep()
{
    const QString maxLength = plainNumber(get(QStringLiteral("MaxLength")).toDouble());
    txtMaxVisible->setText(maxLength);
    txtMaxLength->setText(maxLength);
    Txt_Wide->setText(plainNumber(fieldNumber(txtMaxVisible->text()) * 105 + 90));
    const QString text = get(QStringLiteral("Text")).toString();
    auto* t = qobject_cast<Txt_*>(selected());
    if (!t) raise(QStringLiteral("Tipo non corrispondente"));
    const double w = OrdalisControl::toTwips(t->Padre()->width());
    const QString v = plainNumber(std::nearbyint((w - 90) / 105));
    txtMaxVisible->setText(v);
    txtMaxLength->setText(v);
    Txt_Wide->setText(plainNumber(w));
    if (!VbNumber::isNumeric(text))
        Txt_Nome->setText(text.left(4).toUpper() == QLatin1String("TXT_") ? text
                                                                          : QStringLiteral("Txt_") + text);
}

void ProprietaTxt::codeStep()
{
    const bool tb = Chk_TBar->isChecked();
    const bool sb = Chk_SBar->isChecked();
    const int kind = Qor().OptionIndex(Opt_Key);
    // The settings are kept before the name is checked; a failed write stops nothing.
    IniFile::write(kIni, kSection, QStringLiteral("TipKey"), QString::number(kind));
    const QString k = kindName(kind);
    if (!k.isEmpty()) {
        IniFile::write(kIni, kSection, QStringLiteral("Tabella") + k, Txt_Tabella->text());
        IniFile::write(kIni, kSection, QStringLiteral("Campo") + k, Txt_Campo->text());
    }
    if (nameRefused()) return;
    showCode(GenTxtCode(Txt_Nome->text(), Txt_Tabella->text(), Txt_Campo->text(), txtMaxLength->text(), kind,
                        Chk_IsKey->isChecked(), Chk_Zeroes->isChecked(), tb, sb));
}

} // namespace Ordalis
