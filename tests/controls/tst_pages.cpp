// The design-time pages without a designer: a fake host whose selection holds
// real controls and which logs every write; the page in its dialog, shown and
// active; fields typed and left as a user does.
#include "controls/CodeGen.h"
#include "controls/Ordalis.h"
#include "controls/PropertyPages.h"
#include "controls/frmAbout.h"

#include "platform/IniFile.h"
#include "support/FixedPitch.h"
#include "support/TestEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace Ordalis;

namespace
{

// The designer's side of a page: the selection, and every write it is asked for.
class FakeHost : public PageHost
{
  public:
    QList<QObject*> controls;
    QStringList writes; // "Name=value", in order, also the refused ones
    QList<QObject*> targets;
    int commands = 0;
    int open = 0;

    QList<QObject*> selection() const override { return controls; }
    bool setProperty(QObject* control, const QString& name, const QVariant& value, QString* why) override
    {
        writes << name + QLatin1Char('=') + text(value);
        targets << control;
        if (dispPut(control, name, value)) return true;
        if (why) *why = dispError(control);
        return false;
    }
    void beginCommand(const QString&) override
    {
        ++commands;
        ++open;
    }
    void endCommand() override { --open; }
    static QString text(const QVariant& v)
    {
        if (v.typeId() == QMetaType::QFont) return QString::number(v.value<QFont>().pointSizeF());
        return v.toString();
    }
};

const char* const kIni = "QOR_CTRL.INI";

} // namespace

class TstPages : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void cleanup();

    void openingWritesNothing_data();
    void openingWritesNothing();
    void codeBoxIsFixedPitch_data() { openingWritesNothing_data(); }
    void codeBoxIsFixedPitch();
    void aboutButton_data();
    void aboutButton();
    void emptySelection_data();
    void emptySelection();
    void nameEntry_data();
    void nameEntry();
    void entrySelectsTheText_data();
    void entrySelectsTheText();
    void generatorFromThePage_data();
    void generatorFromThePage();
    void refusedPutStopsTheApply_data();
    void refusedPutStopsTheApply();

    void txtSelection_data();
    void txtSelection();
    void txtApplyAndReopen();
    void txtAlignmentAlone_data();
    void txtAlignmentAlone();
    void txtDecimals_data();
    void txtDecimals();
    void txtWidthStep_data();
    void txtWidthStep();
    void txtGetProperties_data();
    void txtGetProperties();
    void txtOnlyTheFirstIsWritten();
    void txtGestaloCasing_data();
    void txtGestaloCasing();
    void txtLookupStep_data();
    void txtLookupStep();
    void txtKindRemembered();
    void txtSettingsKeys_data();
    void txtSettingsKeys();

    void chkPage();

    void datApply_data();
    void datApply();
    void datSetLeavesThePageUnchanged();

  private:
    std::unique_ptr<TestEnv> env_;
    FakeHost host_;
    QList<QWidget*> made_;
    PropertyPageDialog* dlg_ = nullptr;

    QWidget* control(const char* cls);
    void open(const QString& cls);
    void close();
    PropertyPage* page() const { return dlg_->page(); }
    template <class T> T* field(const char* name) const
    {
        T* w = dlg_->findChild<T*>(QLatin1String(name));
        if (!w) qWarning("no field %s", name);
        return w;
    }
    QLineEdit* edit(const char* name) const { return field<QLineEdit>(name); }
    // Types into a field in place of its text, then leaves it for the next field.
    void type(const char* name, const QString& text);
    void leave(QWidget* w);
    void click(const char* name);
    // Ticks IsKey and leaves it: the lookup step runs once the focus has moved.
    void tickIsKey();
};

void TstPages::init()
{
    env_ = std::make_unique<TestEnv>();
    host_ = FakeHost();
    frmAbout::setShowHook([](frmAbout*) { QFAIL("about box not expected"); });
}

void TstPages::cleanup()
{
    close();
    qDeleteAll(made_);
    made_.clear();
    frmAbout::setShowHook({});
    env_.reset();
}

QWidget* TstPages::control(const char* cls)
{
    QWidget* w = createControl(QStringLiteral("Ordalis.") + QLatin1String(cls));
    made_ << w;
    host_.controls << w;
    return w;
}

void TstPages::open(const QString& cls)
{
    close();
    PropertyPage* p = createPropertyPage(cls, &host_);
    QVERIFY(p);
    dlg_ = new PropertyPageDialog(p);
    dlg_->show();
    dlg_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg_));
}

void TstPages::close()
{
    delete dlg_;
    dlg_ = nullptr;
}

void TstPages::leave(QWidget* w)
{
    QWidget* next = w->nextInFocusChain();
    while (next && (!next->isEnabled() || !(next->focusPolicy() & Qt::TabFocus)))
        next = next->nextInFocusChain();
    next->setFocus(Qt::TabFocusReason);
    QVERIFY(!w->hasFocus());
}

void TstPages::type(const char* name, const QString& text)
{
    QLineEdit* e = edit(name);
    QVERIFY(e);
    e->setFocus(Qt::TabFocusReason);
    QVERIFY2(e->hasFocus(), name);
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, text);
    QCOMPARE(e->text(), text);
    leave(e);
}

void TstPages::click(const char* name)
{
    auto* b = dlg_->findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(b, name);
    QVERIFY2(b->isEnabled(), name);
    // A check or option box takes a click on its mark, whatever room the layout gives it.
    const bool mark = qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, mark ? QPoint(6, b->height() / 2) : QPoint());
}

void TstPages::tickIsKey()
{
    click("Chk_IsKey");
    leave(field<QWidget>("Chk_IsKey"));
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------- every page

void TstPages::openingWritesNothing_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("title");
    QTest::newRow("text") << "Txt_" << QString::fromUtf8("ProprietàTxt");
    QTest::newRow("check") << "Chk_" << QString::fromUtf8("ProprietàChk");
    QTest::newRow("date") << "Dat_" << QString::fromUtf8("ProprietàDat");
}

void TstPages::openingWritesNothing()
{
    QFETCH(QString, cls);
    QFETCH(QString, title);
    QWidget* c = control(cls.toLatin1().constData());
    // A stored text control with an empty tag and decimals: OK must not force Heig or DecimalPlace.
    if (cls == QLatin1String("Txt_")) QVERIFY(dispPut(c, QStringLiteral("Heig"), 400));
    open(cls);
    QCOMPARE(dlg_->windowTitle(), title);
    QVERIFY(!page()->Changed());
    QVERIFY(!dlg_->applyButton->isEnabled());
    QVERIFY(host_.writes.isEmpty());
    click("OK");
    QVERIFY(!dlg_->isVisible());
    QVERIFY(host_.writes.isEmpty());
    QCOMPARE(host_.commands, 0);
    if (cls == QLatin1String("Txt_")) {
        QCOMPARE(dispGet(c, QStringLiteral("Heig")).toInt(), 400);
        QCOMPARE(dispGet(c, QStringLiteral("DecimalPlace")).toInt(), 2);
    }
    QVERIFY(env_->dialogs().calls.isEmpty());
}

void TstPages::codeBoxIsFixedPitch()
{
    // The generated lines keep their indentation in columns.
    QFETCH(QString, cls);
    control(cls.toLatin1().constData());
    open(cls);
    const QFont f = field<QPlainTextEdit>("Txt_Code")->font();
    QCOMPARE(f.family(), QStringLiteral("Lucida Console"));
    QVERIFY2(showsFixedPitch(f), qPrintable(QFontInfo(f).family()));
}

void TstPages::aboutButton_data()
{
    openingWritesNothing_data();
}

void TstPages::aboutButton()
{
    QFETCH(QString, cls);
    control(cls.toLatin1().constData());
    open(cls);
    int shown = 0;
    frmAbout::setShowHook([&shown](frmAbout*) { ++shown; });
    click("Cmd_CRite");
    QCOMPARE(shown, 1);
    QVERIFY(host_.writes.isEmpty());
}

void TstPages::emptySelection_data()
{
    openingWritesNothing_data();
}

void TstPages::emptySelection()
{
    QFETCH(QString, cls);
    QVERIFY(canUnloadNow());
    open(cls);
    QVERIFY(!canUnloadNow()); // a page keeps the library loaded
    if (cls == QLatin1String("Txt_")) {
        click("Cmd_GetProp");
        type("txtMaxVisible", QStringLiteral("5"));
    } else if (cls == QLatin1String("Dat_")) {
        type("Txt_DimFont", QStringLiteral("12"));
        click("Command1");
    } else {
        type("txtCaption", QStringLiteral("Si"));
    }
    QVERIFY(page()->Changed());
    click("Applica");
    click("OK");
    QVERIFY(!dlg_->isVisible());
    QVERIFY(host_.writes.isEmpty());
    QVERIFY(env_->dialogs().calls.isEmpty());
    close();
    QVERIFY(canUnloadNow());
}

void TstPages::nameEntry_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("selected");
    QTest::newRow("text, Txt_Cod") << "Txt_"
                                   << "Txt_Cod"
                                   << "Cod";
    QTest::newRow("text, prefix alone") << "Txt_"
                                        << "Txt_"
                                        << "";
    QTest::newRow("text, other case") << "Txt_"
                                      << "txt_Cod"
                                      << "";
    QTest::newRow("check, Chk_Ok") << "Chk_"
                                   << "Chk_Ok"
                                   << "Ok";
    QTest::newRow("check, chk_Ok") << "Chk_"
                                   << "chk_Ok"
                                   << "";
    QTest::newRow("date, Dat_Doc") << "Dat_"
                                   << "Dat_Doc"
                                   << "Doc";
    QTest::newRow("date, DAT_Doc") << "Dat_"
                                   << "DAT_Doc"
                                   << "";
}

void TstPages::nameEntry()
{
    QFETCH(QString, cls);
    QFETCH(QString, name);
    QFETCH(QString, selected);
    control(cls.toLatin1().constData());
    open(cls);
    QLineEdit* n = edit("Txt_Nome");
    n->setText(name);
    leave(n); // the focus was there already
    // A tab into the box (which would select it all) ends with the page's selection.
    n->setFocus(Qt::TabFocusReason);
    QCOMPARE(n->selectedText(), selected);
    QCOMPARE(n->cursorPosition(), int(name.size()));
}

void TstPages::entrySelectsTheText_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<bool>("selects");
    for (const char* f :
         {"Txt_Tag", "Txt_Wide", "txtDecimalPlace", "txtMaxLength", "txtMaxVisible", "txtPrompt"})
        QTest::newRow(f) << "Txt_" << f << true;
    QTest::newRow("Txt_Tabella") << "Txt_"
                                 << "Txt_Tabella" << false;
    QTest::newRow("check, txtCaption") << "Chk_"
                                       << "txtCaption" << true;
    QTest::newRow("check, txtPrompt") << "Chk_"
                                      << "txtPrompt" << true;
    QTest::newRow("date, txtPrompt") << "Dat_"
                                     << "txtPrompt" << true;
    QTest::newRow("date, Txt_DimFont") << "Dat_"
                                       << "Txt_DimFont" << false;
}

void TstPages::entrySelectsTheText()
{
    QFETCH(QString, cls);
    QFETCH(QString, fieldName);
    QFETCH(bool, selects);
    control(cls.toLatin1().constData());
    open(cls);
    QLineEdit* e = edit(fieldName.toLatin1().constData());
    e->setText(QStringLiteral("12345"));
    e->setCursorPosition(2);
    // Entered by code or the mouse: the box itself would not select.
    e->setFocus(Qt::OtherFocusReason);
    QVERIFY(e->hasFocus());
    QCOMPARE(e->selectedText(), selects ? QStringLiteral("12345") : QString());
}

void TstPages::generatorFromThePage_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("text, Txt_Cod") << "Txt_"
                                   << "Txt_Cod" << false;
    QTest::newRow("text, Txt_") << "Txt_"
                                << "Txt_" << true;
    QTest::newRow("text, txt_") << "Txt_"
                                << "txt_" << true;
    QTest::newRow("text, TXT_") << "Txt_"
                                << "TXT_" << true;
    QTest::newRow("text, Chk_ accepted") << "Txt_"
                                         << "Chk_" << false;
    QTest::newRow("text, Cod accepted") << "Txt_"
                                        << "Cod" << false;
    QTest::newRow("check, Chk_Ok") << "Chk_"
                                   << "Chk_Ok" << false;
    QTest::newRow("check, chk_") << "Chk_"
                                 << "chk_" << true;
    QTest::newRow("date, Dat_Doc") << "Dat_"
                                   << "Dat_Doc" << false;
    QTest::newRow("date, dat_") << "Dat_"
                                << "dat_" << true;
}

void TstPages::generatorFromThePage()
{
    QFETCH(QString, cls);
    QFETCH(QString, name);
    QFETCH(bool, refused);
    control(cls.toLatin1().constData());
    open(cls);
    type("Txt_Nome", name);
    QString expected;
    if (cls == QLatin1String("Txt_")) {
        tickIsKey();
        click("Opt_Key(2)");
        type("Txt_Tabella", QStringLiteral("T_ANAGR"));
        type("Txt_Campo", QStringLiteral("COD"));
        type("txtMaxLength", QStringLiteral("6"));
        click("Chk_Zeroes");
        click("Chk_SBar");
        expected = GenTxtCode(name, QStringLiteral("T_ANAGR"), QStringLiteral("COD"), QStringLiteral("6"), 2,
                              true, true, false, true);
    } else if (cls == QLatin1String("Chk_")) {
        type("txtCaption", QStringLiteral("Spento"));
        click("Chk_Tristate");
        click("Chk_TBar");
        expected = GenChkCode(name, QStringLiteral("Spento"), true, true, false);
    } else {
        click("Chk_TBar");
        click("Chk_SBar");
        expected = GenDatCode(name, true, true);
    }
    auto* code = field<QPlainTextEdit>("Txt_Code");
    const QString before = code->toPlainText();
    if (refused) env_->dialogs().answer(vb::OK);
    click("Cmd_Code");
    if (refused) {
        QCOMPARE(env_->dialogs().calls.size(), 1);
        const auto c = env_->dialogs().calls.first();
        QCOMPARE(c.text, QStringLiteral("Nome Errato !"));
        QCOMPARE(c.icon(), int(vb::Critical));
        QCOMPARE(c.title, QStringLiteral("Ordalis"));
        QVERIFY(edit("Txt_Nome")->hasFocus());
        QCOMPARE(edit("Txt_Nome")->cursorPosition(), int(name.size()));
        QCOMPARE(code->toPlainText(), before);
    } else {
        QVERIFY(env_->dialogs().calls.isEmpty());
        QVERIFY(code->hasFocus());
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(code->toPlainText(), expected);
        QCOMPARE(code->textCursor().selectedText().size(), expected.size());
        // Ctrl+A selects it all again after a click inside.
        QTextCursor tc = code->textCursor();
        tc.setPosition(3);
        code->setTextCursor(tc);
        QTest::keyClick(code, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(code->textCursor().selectedText().size(), expected.size());
    }
    if (cls == QLatin1String("Txt_")) {
        // The settings are kept also when the name is refused.
        QCOMPARE(IniFile::read(QLatin1String(kIni), QStringLiteral("OrdalisTxt"), QStringLiteral("TipKey")),
                 QStringLiteral("2"));
        QCOMPARE(
            IniFile::read(QLatin1String(kIni), QStringLiteral("OrdalisTxt"), QStringLiteral("TabellaMDB")),
            QStringLiteral("T_ANAGR"));
        QCOMPARE(IniFile::read(QLatin1String(kIni), QStringLiteral("OrdalisTxt"), QStringLiteral("CampoMDB")),
                 QStringLiteral("COD"));
        QVERIFY(QFile::exists(env_->winDir() + QLatin1String(kIni)));
    }
    QVERIFY(host_.writes.isEmpty()); // the generator writes no property
}

void TstPages::refusedPutStopsTheApply_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("written"); // names of the writes asked for
    QTest::addColumn<QString>("reason");
    const QStringList upToDecimals{"MaxLength", "Wide", "AllowLoCase", "DecimalPlace"};
    QTest::newRow("DecimalPlace 40000") << "Txt_"
                                        << "txtDecimalPlace"
                                        << "40000" << upToDecimals << "Overflow";
    QTest::newRow("Wide beyond a Long") << "Txt_"
                                        << "Txt_Wide"
                                        << "99999999999" << QStringList{"MaxLength"} << "Overflow";
    QTest::newRow("negative Max Chars")
        << "Txt_"
        << "txtMaxLength"
        << "-5" << QStringList{"MaxLength"} << QString::fromUtf8("Valore della proprietà non valido");
    QTest::newRow("date, font size held by no Long")
        << "Dat_"
        << "Txt_DimFont"
        << "99999999999999999999" << QStringList{"Prompt"} << "Overflow";
}

void TstPages::refusedPutStopsTheApply()
{
    QFETCH(QString, cls);
    QFETCH(QString, fieldName);
    QFETCH(QString, value);
    QFETCH(QStringList, written);
    QFETCH(QString, reason);
    QWidget* c = control(cls.toLatin1().constData());
    if (cls == QLatin1String("Txt_")) {
        QVERIFY(dispPut(c, QStringLiteral("TagZ"), QStringLiteral("N2")));
        QVERIFY(dispPut(c, QStringLiteral("Prompt"), QStringLiteral("Vecchio")));
    }
    open(cls);
    type(fieldName.toLatin1().constData(), value);
    env_->dialogs().answer(vb::OK);
    click("OK");
    QVERIFY(dlg_->isVisible()); // the page stays open
    QVERIFY(page()->Changed());
    QStringList names;
    for (const QString& w : host_.writes)
        names << w.section(QLatin1Char('='), 0, 0);
    QCOMPARE(names, written);
    QCOMPARE(host_.open, 0); // the command was closed all the same
    QCOMPARE(env_->dialogs().calls.size(), 1);
    QCOMPARE(env_->dialogs().calls.first().text, reason);
    QCOMPARE(env_->dialogs().calls.first().icon(), int(vb::Critical));
    QCOMPARE(env_->dialogs().calls.first().title, QStringLiteral("Ordalis"));
    if (cls == QLatin1String("Txt_"))
        QCOMPARE(dispGet(c, QStringLiteral("Prompt")).toString(), QStringLiteral("Vecchio"));
}

// ---------------------------------------------------------------- text page

void TstPages::txtSelection_data()
{
    QTest::addColumn<int>("wide");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("visible");
    QTest::addColumn<QString>("decimalsShown");
    QTest::newRow("700 shows 5") << 700 << "N2" << 2 << "5"
                                 << "2";
    QTest::newRow("615 shows 5") << 615 << "N3" << 3 << "5"
                                 << "3";
    QTest::newRow("0 shows -1") << 0 << "N0" << 0 << "-1"
                                << "0";
    QTest::newRow("empty tag empties the decimals") << 1350 << "" << 4 << "12"
                                                    << "";
}

void TstPages::txtSelection()
{
    QFETCH(int, wide);
    QFETCH(QString, tag);
    QFETCH(int, decimals);
    QFETCH(QString, visible);
    QFETCH(QString, decimalsShown);
    QWidget* c = control("Txt_");
    QVERIFY(dispPut(c, QStringLiteral("Wide"), wide));
    QVERIFY(dispPut(c, QStringLiteral("TagZ"), tag));
    QVERIFY(dispPut(c, QStringLiteral("DecimalPlace"), decimals));
    QVERIFY(dispPut(c, QStringLiteral("MaxLength"), 12));
    QVERIFY(dispPut(c, QStringLiteral("AllowLoCase"), true));
    QVERIFY(dispPut(c, QStringLiteral("Alignment"), 2));
    QVERIFY(dispPut(c, QStringLiteral("Prompt"), QStringLiteral("Codice")));
    open(QStringLiteral("Txt_"));
    QCOMPARE(edit("Txt_Wide")->text(), QString::number(wide));
    QCOMPARE(edit("txtMaxVisible")->text(), visible);
    QCOMPARE(edit("txtMaxLength")->text(), QStringLiteral("12"));
    QCOMPARE(edit("txtDecimalPlace")->text(), decimalsShown);
    QCOMPARE(edit("Txt_Tag")->text(), tag);
    QVERIFY(field<QCheckBox>("Chk_AllowLoCase")->isChecked());
    auto* align = field<QComboBox>("Cmb_Allign");
    QCOMPARE(align->count(), 3);
    QCOMPARE(align->itemText(2), QStringLiteral("2 Center"));
    QCOMPARE(align->currentIndex(), 2);
    QCOMPARE(edit("txtPrompt")->text(), QStringLiteral("Codice"));
    QCOMPARE(edit("Txt_Nome")->text(), QStringLiteral("Txt_Nome"));
    QCOMPARE(field<QPlainTextEdit>("Txt_Code")->toPlainText(), QStringLiteral("Txt_Code"));
    QVERIFY(field<QRadioButton>("Opt_Key(0)")->isChecked());
    QVERIFY(!page()->Changed());
}

void TstPages::txtApplyAndReopen()
{
    QWidget* c = control("Txt_");
    open(QStringLiteral("Txt_"));
    type("txtMaxVisible", QStringLiteral("5"));
    QCOMPARE(edit("Txt_Wide")->text(), QStringLiteral("615"));
    QVERIFY(dlg_->applyButton->isEnabled());
    click("Applica");
    QCOMPARE(host_.writes, (QStringList{"MaxLength=5", "Wide=615", "AllowLoCase=false", "DecimalPlace=0",
                                        "TagZ=", "Alignment=0", "Prompt=Txt_", "Heig=285"}));
    QCOMPARE(host_.commands, 1); // one Apply, one change for the designer
    QCOMPARE(host_.open, 0);
    QVERIFY(!dlg_->applyButton->isEnabled());
    QCOMPARE(dispGet(c, QStringLiteral("Wide")).toInt(), 615);
    QCOMPARE(dispGet(c, QStringLiteral("Heig")).toInt(), 285);
    click("OK"); // nothing left to apply
    QCOMPARE(host_.writes.size(), 8);
    open(QStringLiteral("Txt_"));
    QCOMPARE(edit("txtMaxVisible")->text(), QStringLiteral("5"));
    QCOMPARE(edit("Txt_Wide")->text(), QStringLiteral("615"));
}

void TstPages::txtAlignmentAlone_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Applica") << "Applica";
    QTest::newRow("OK") << "OK";
}

void TstPages::txtAlignmentAlone()
{
    QFETCH(QString, button);
    QWidget* c = control("Txt_");
    open(QStringLiteral("Txt_"));
    QVERIFY(!dlg_->applyButton->isEnabled());
    auto* align = field<QComboBox>("Cmb_Allign");
    align->setFocus(Qt::TabFocusReason);
    QTest::keyClick(align, Qt::Key_Down);
    QCOMPARE(align->currentIndex(), 1);
    QVERIFY(page()->Changed());
    QVERIFY(dlg_->applyButton->isEnabled());
    click(qPrintable(button));
    QVERIFY(host_.writes.contains(QStringLiteral("Alignment=1")));
    QCOMPARE(dispGet(c, QStringLiteral("Alignment")).toInt(), 1);
    QVERIFY(!page()->Changed());
}

void TstPages::txtDecimals_data()
{
    QTest::addColumn<QString>("decimals");
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<QString>("tag");
    QTest::newRow("2 on leaving") << "2" << false << "N2";
    QTest::newRow("2 by Recalc") << "2" << true << "N2";
    QTest::newRow("abc") << "abc" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("empty by Recalc") << "" << true << "";
}

void TstPages::txtDecimals()
{
    QFETCH(QString, decimals);
    QFETCH(bool, byButton);
    QFETCH(QString, tag);
    QWidget* c = control("Txt_");
    QVERIFY(dispPut(c, QStringLiteral("TagZ"), QStringLiteral("X")));
    open(QStringLiteral("Txt_"));
    if (byButton) {
        edit("txtDecimalPlace")->setText(decimals); // standing there, the focus elsewhere
        click("Cmd_RecalcT");
    } else {
        type("txtDecimalPlace", decimals);
    }
    QCOMPARE(edit("Txt_Tag")->text(), tag);
    QVERIFY(env_->dialogs().calls.isEmpty());
}

void TstPages::txtWidthStep_data()
{
    QTest::addColumn<QString>("visible");
    QTest::addColumn<QString>("maxLength");
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<QString>("wide");
    QTest::addColumn<QString>("maxAfter");
    QTest::addColumn<bool>("message");
    QTest::newRow("abc on leaving") << "abc"
                                    << "0" << false << "700"
                                    << "0" << true;
    QTest::newRow("abc by Recalc") << "abc"
                                   << "0" << true << "700"
                                   << "0" << true;
    QTest::newRow("blanks") << "  "
                            << "0" << false << "700"
                            << "0" << false;
    QTest::newRow("0") << "0"
                       << "0" << false << "700"
                       << "0" << false;
    QTest::newRow("negative") << "-3"
                              << "0" << false << "700"
                              << "0" << false;
    QTest::newRow("12 with max 0") << "12"
                                   << "0" << false << "1350"
                                   << "12" << false;
    QTest::newRow("12 with max 20") << "12"
                                    << "20" << false << "1350"
                                    << "20" << false;
    QTest::newRow("12 by Recalc") << "12"
                                  << "0" << true << "1350"
                                  << "12" << false;
}

void TstPages::txtWidthStep()
{
    QFETCH(QString, visible);
    QFETCH(QString, maxLength);
    QFETCH(bool, byButton);
    QFETCH(QString, wide);
    QFETCH(QString, maxAfter);
    QFETCH(bool, message);
    QWidget* c = control("Txt_");
    QVERIFY(dispPut(c, QStringLiteral("Wide"), 700));
    open(QStringLiteral("Txt_"));
    type("txtMaxLength", maxLength);
    if (message) env_->dialogs().answer(vb::OK);
    if (byButton) {
        edit("txtMaxVisible")->setText(visible); // standing there, the focus elsewhere
        click("Cmd_RecalcW");
    } else {
        type("txtMaxVisible", visible);
    }
    if (message && !byButton) {
        // Shown once the focus has moved on, not inside the focus change.
        QVERIFY(env_->dialogs().calls.isEmpty());
        QTRY_COMPARE(env_->dialogs().calls.size(), 1);
    }
    QCoreApplication::processEvents(); // nothing more comes after the step
    QCOMPARE(env_->dialogs().calls.size(), message ? 1 : 0);
    if (message) {
        QCOMPARE(env_->dialogs().calls.first().text, QStringLiteral("Visible Width Value Not Valid !"));
        QCOMPARE(env_->dialogs().calls.first().title, QStringLiteral("Txt_"));
        QCOMPARE(env_->dialogs().calls.first().icon(), int(vb::Critical));
    }
    QCOMPARE(edit("Txt_Wide")->text(), wide);
    QCOMPARE(edit("txtMaxLength")->text(), maxAfter);
    QVERIFY(host_.writes.isEmpty());
}

void TstPages::txtGetProperties_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("Cod") << "Cod"
                         << "Txt_Cod";
    QTest::newRow("prefix in another case") << "txt_cod"
                                            << "txt_cod";
    QTest::newRow("numeric") << "123"
                             << "Txt_Nome";
}

void TstPages::txtGetProperties()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QWidget* c = control("Txt_");
    QVERIFY(dispPut(c, QStringLiteral("MaxLength"), 30));
    QVERIFY(dispPut(c, QStringLiteral("Wide"), 700)); // an inner box of 47 pixels
    QVERIFY(dispPut(c, QStringLiteral("Text"), text));
    QCOMPARE(c->focusProxy()->width(), 47);
    open(QStringLiteral("Txt_"));
    QCOMPARE(edit("txtMaxVisible")->text(), QStringLiteral("5"));
    click("Cmd_GetProp");
    QCOMPARE(edit("txtMaxVisible")->text(), QStringLiteral("6"));
    QCOMPARE(edit("txtMaxLength")->text(), QStringLiteral("6"));
    QCOMPARE(edit("Txt_Wide")->text(), QStringLiteral("705"));
    QCOMPARE(edit("Txt_Nome")->text(), name);
    QVERIFY(host_.writes.isEmpty());
    QVERIFY(env_->dialogs().calls.isEmpty());
}

void TstPages::txtOnlyTheFirstIsWritten()
{
    QWidget* first = control("Txt_");
    QWidget* second = control("Txt_");
    QVERIFY(dispPut(second, QStringLiteral("Prompt"), QStringLiteral("Secondo")));
    open(QStringLiteral("Txt_"));
    type("txtPrompt", QStringLiteral("Primo"));
    click("OK");
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(host_.writes.size(), 8);
    for (QObject* t : std::as_const(host_.targets))
        QCOMPARE(t, static_cast<QObject*>(first));
    QCOMPARE(dispGet(first, QStringLiteral("Prompt")).toString(), QStringLiteral("Primo"));
    QCOMPARE(dispGet(second, QStringLiteral("Prompt")).toString(), QStringLiteral("Secondo"));
    QCOMPARE(dispGet(second, QStringLiteral("Heig")).toInt(), 0);
}

void TstPages::txtGestaloCasing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("fieldText");
    QTest::newRow("Gestalo") << 1 << "TAB_CLIENTI"
                             << "cod_cli";
    QTest::newRow("Ternio") << 0 << "tab_clienti"
                            << "COD_CLI";
    QTest::newRow("MDB") << 2 << "tab_clienti"
                         << "COD_CLI";
}

void TstPages::txtGestaloCasing()
{
    QFETCH(int, kind);
    QFETCH(QString, table);
    QFETCH(QString, fieldText);
    control("Txt_");
    open(QStringLiteral("Txt_"));
    click(QStringLiteral("Opt_Key(%1)").arg(kind).toLatin1().constData());
    type("Txt_Tabella", QStringLiteral("tab_clienti"));
    type("Txt_Campo", QStringLiteral("COD_CLI"));
    QCOMPARE(edit("Txt_Tabella")->text(), table);
    QCOMPARE(edit("Txt_Campo")->text(), fieldText);
    QVERIFY(!page()->Changed()); // the lookup fields feed the generator only
}

void TstPages::txtLookupStep_data()
{
    QTest::addColumn<QByteArray>("ini"); // empty: no file
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<QString>("table");
    const QByteArray tables = "TabellaTernio=TT\r\nCampoTernio=CT\r\nTabellaGestalo=TG\r\nCampoGestalo=CG\r\n"
                              "TabellaMDB=TM\r\nCampoMDB=CM\r\n";
    QTest::newRow("TipKey 2") << "[OrdalisTxt]\r\nTipKey=2\r\n" + tables << true << 2 << true << "TM";
    QTest::newRow("TipKey 1") << "[OrdalisTxt]\r\nTipKey=1\r\n" + tables << true << 1 << true << "TG";
    QTest::newRow("no file") << QByteArray() << true << 0 << true << "";
    QTest::newRow("TipKey 7 keeps the choice")
        << "[OrdalisTxt]\r\nTipKey=7\r\n" + tables << true << 1 << false << "TG";
    QTest::newRow("TipKey cut at 3 characters")
        << "[OrdalisTxt]\r\nTipKey=0002\r\n" + tables << true << 0 << true << "TT";
    QTest::newRow("over-long table cut at 48")
        << "[OrdalisTxt]\r\nTipKey=2\r\nTabellaMDB=" + QByteArray(60, 'X') + "\r\n"
        << true << 2 << true << QString(48, QLatin1Char('X'));
    QTest::newRow("cleared") << "[OrdalisTxt]\r\nTipKey=2\r\n" + tables << false << 1 << false << "TG";
}

void TstPages::txtLookupStep()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, tick);
    QFETCH(int, kind);
    QFETCH(bool, focused);
    QFETCH(QString, table);
    if (!ini.isEmpty()) env_->writeFile(env_->winDir() + QLatin1String(kIni), ini);
    control("Txt_");
    open(QStringLiteral("Txt_"));
    click("Opt_Key(1)"); // the choice before the box is left
    auto* isKey = field<QCheckBox>("Chk_IsKey");
    if (tick)
        click("Chk_IsKey");
    else
        isKey->setFocus(Qt::TabFocusReason);
    QCOMPARE(isKey->isChecked(), tick);
    leave(isKey);
    QCoreApplication::processEvents();
    QRadioButton* chosen =
        field<QRadioButton>(QStringLiteral("Opt_Key(%1)").arg(kind).toLatin1().constData());
    QTRY_COMPARE(edit("Txt_Tabella")->text(), table);
    QVERIFY(chosen->isChecked());
    if (focused) QTRY_VERIFY(chosen->hasFocus());
    for (const char* name : {"Opt_Key(0)", "Opt_Key(1)", "Opt_Key(2)", "Txt_Tabella", "Txt_Campo"})
        QCOMPARE(field<QWidget>(name)->isEnabled(), tick);
    QVERIFY(env_->dialogs().calls.isEmpty());
    QVERIFY(host_.writes.isEmpty());
}

void TstPages::txtKindRemembered()
{
    control("Txt_");
    open(QStringLiteral("Txt_"));
    type("Txt_Nome", QStringLiteral("Txt_Cli"));
    click("Opt_Key(2)");
    type("Txt_Tabella", QStringLiteral("ANAGR"));
    type("Txt_Campo", QStringLiteral("COD"));
    click("Cmd_Code");
    click("Opt_Key(0)");
    QCOMPARE(edit("Txt_Tabella")->text(), QString());
    QCOMPARE(edit("Txt_Campo")->text(), QString());
    open(QStringLiteral("Txt_")); // another page, the same settings file
    click("Opt_Key(2)");
    QCOMPARE(edit("Txt_Tabella")->text(), QStringLiteral("ANAGR"));
    QCOMPARE(edit("Txt_Campo")->text(), QStringLiteral("COD"));
}

void TstPages::txtSettingsKeys_data()
{
    QTest::addColumn<bool>("unwritable");
    QTest::addColumn<QString>("table");
    QTest::newRow("quotes, star, underscore") << false << "*T_\"AN\"AGR";
    QTest::newRow("unwritable settings file") << true << "ANAGR";
}

void TstPages::txtSettingsKeys()
{
    QFETCH(bool, unwritable);
    QFETCH(QString, table);
    if (unwritable) QVERIFY(QDir().mkpath(env_->winDir() + QLatin1String(kIni))); // a folder in its place
    control("Txt_");
    open(QStringLiteral("Txt_"));
    type("Txt_Nome", QStringLiteral("Txt_Cli"));
    tickIsKey();
    click("Opt_Key(1)");
    type("Txt_Tabella", table);
    type("Txt_Campo", QStringLiteral("cod"));
    const QString t = edit("Txt_Tabella")->text(); // upper-cased on leaving
    click("Cmd_Code");
    QString expected = GenTxtCode(QStringLiteral("Txt_Cli"), t, QStringLiteral("cod"), QStringLiteral("0"), 1,
                                  true, false, false, false);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(field<QPlainTextEdit>("Txt_Code")->toPlainText(), expected);
    if (!unwritable) {
        // What comes back through Opt_Key is what was written, quotes and all.
        click("Opt_Key(0)");
        click("Opt_Key(1)");
        QCOMPARE(edit("Txt_Tabella")->text(), t);
    }
    QVERIFY(env_->dialogs().calls.isEmpty());
}

// ---------------------------------------------------------------- check page

void TstPages::chkPage()
{
    QWidget* c = control("Chk_");
    QVERIFY(dispPut(c, QStringLiteral("Caption"), QStringLiteral("Spedisci")));
    QVERIFY(dispPut(c, QStringLiteral("Prompt"), QStringLiteral("Invio")));
    QVERIFY(dispPut(c, QStringLiteral("Alignment"), 1));
    open(QStringLiteral("Chk_"));
    auto* align = field<QComboBox>("Cmb_Align");
    QCOMPARE(align->count(), 2);
    QCOMPARE(align->itemText(0), QStringLiteral("0|Left"));
    QCOMPARE(align->itemText(1), QStringLiteral("1|Right"));
    QCOMPARE(align->currentIndex(), 1);
    QCOMPARE(edit("txtCaption")->text(), QStringLiteral("Spedisci"));
    QCOMPARE(edit("txtPrompt")->text(), QStringLiteral("Invio"));
    QCOMPARE(edit("Txt_Nome")->text(), QStringLiteral("Chk_"));
    QCOMPARE(field<QPlainTextEdit>("Txt_Code")->toPlainText(), QStringLiteral("Chk_Code"));
    QVERIFY(!page()->Changed());
    // A choice in the list marks the page.
    align->setFocus(Qt::TabFocusReason);
    QTest::keyClick(align, Qt::Key_Up);
    QCOMPARE(align->currentIndex(), 0);
    QVERIFY(page()->Changed());
    type("txtCaption", QStringLiteral("Manda"));
    click("OK");
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(host_.writes, (QStringList{"Caption=Manda", "Prompt=Invio", "Alignment=0"}));
    QCOMPARE(dispGet(c, QStringLiteral("Alignment")).toInt(), 0);
}

// ---------------------------------------------------------------- date page

void TstPages::datApply_data()
{
    QTest::addColumn<QString>("size"); // null: the field as the page filled it
    QTest::addColumn<bool>("set");
    QTest::addColumn<int>("wide");
    QTest::addColumn<int>("heig");
    QTest::addColumn<double>("fontAfter");
    QTest::addColumn<double>("fntSizeAfter");
    QTest::addColumn<int>("wideAfter");
    QTest::addColumn<int>("heigAfter");
    QTest::newRow("12 grows") << "12" << false << 1000 << 200 << 12.0 << 12.0 << 1656 << 324;
    QTest::newRow("12 within") << "12" << false << 2000 << 400 << 12.0 << 12.0 << 2000 << 400;
    QTest::newRow("5 set, then applied") << "5" << true << 100 << 50 << 10.0 << 5.0 << 690 << 135;
    QTest::newRow("26 set, then applied") << "26" << true << 100 << 50 << 10.0 << 26.0 << 3588 << 702;
    QTest::newRow("empty keeps the font") << "" << true << 100 << 50 << 10.0 << 8.25 << 1380 << 270;
    QTest::newRow("8,25 untouched survives")
        << QString() << false << 100 << 50 << 8.25 << 8.25 << 1138 << 223;
}

void TstPages::datApply()
{
    QFETCH(QString, size);
    QFETCH(bool, set);
    QFETCH(int, wide);
    QFETCH(int, heig);
    QFETCH(double, fontAfter);
    QFETCH(double, fntSizeAfter);
    QFETCH(int, wideAfter);
    QFETCH(int, heigAfter);
    QWidget* c = control("Dat_");
    QFont f = dispGet(c, QStringLiteral("Font")).value<QFont>();
    f.setPointSizeF(10);
    QVERIFY(dispPut(c, QStringLiteral("Font"), f));
    QVERIFY(dispPut(c, QStringLiteral("FntSize"), 8.25));
    QVERIFY(dispPut(c, QStringLiteral("Wide"), wide));
    QVERIFY(dispPut(c, QStringLiteral("Heig"), heig));
    open(QStringLiteral("Dat_"));
    QCOMPARE(edit("Txt_DimFont")->text(), QStringLiteral("8,25"));
    if (size.isNull()) {
        // The untouched size goes back as it came: the font takes it as well.
        type("txtPrompt", QStringLiteral("Data"));
    } else {
        type("Txt_DimFont", size);
    }
    if (set) {
        click("Command1");
        QCOMPARE(dispGet(c, QStringLiteral("FntSize")).toDouble(), fntSizeAfter);
    }
    click("OK");
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dispGet(c, QStringLiteral("Font")).value<QFont>().pointSizeF(), fontAfter);
    QCOMPARE(dispGet(c, QStringLiteral("FntSize")).toDouble(), fntSizeAfter);
    QCOMPARE(dispGet(c, QStringLiteral("Wide")).toInt(), wideAfter);
    QCOMPARE(dispGet(c, QStringLiteral("Heig")).toInt(), heigAfter);
    QCOMPARE(host_.writes.value(set && !size.isEmpty() ? 1 : 0).section(QLatin1Char('='), 0, 0),
             QStringLiteral("Prompt"));
    QVERIFY(env_->dialogs().calls.isEmpty());
}

void TstPages::datSetLeavesThePageUnchanged()
{
    QWidget* c = control("Dat_");
    QVERIFY(dispPut(c, QStringLiteral("FntSize"), 9));
    QVERIFY(dispPut(c, QStringLiteral("Wide"), 100));
    open(QStringLiteral("Dat_"));
    QCOMPARE(edit("Txt_DimFont")->text(), QStringLiteral("9"));
    QCOMPARE(edit("Txt_Nome")->text(), QStringLiteral("Dat_"));
    QCOMPARE(field<QPlainTextEdit>("Txt_Code")->toPlainText(), QStringLiteral("Txt_Code"));
    click("Command1");
    QCOMPARE(host_.writes, QStringList{"FntSize=9"});
    QCOMPARE(host_.commands, 1);
    QVERIFY(!page()->Changed());
    QVERIFY(!dlg_->applyButton->isEnabled());
    QCOMPARE(dispGet(c, QStringLiteral("Wide")).toInt(), 100);
}

QTEST_MAIN(TstPages)
#include "tst_pages.moc"
