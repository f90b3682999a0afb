// Runs a form made in Designer twice: compiled by uic, and loaded by QUiLoader
// with the installed plugin. Both must give every control the values the form holds.
#include "ui_F_Host.h"

#include <Ordalis/Ordalis.h>
#include <Ordalis/PropertyPages.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUiLoader>

#include <cstdio>
#include <memory>

namespace
{

int failures = 0;

void expect(bool ok, const QString& what)
{
    if (!ok) {
        ++failures;
        std::fprintf(stderr, "FAIL: %s\n", qPrintable(what));
    }
}

struct Value {
    const char* control;
    const char* member;
    QVariant expected;
};

QList<Value> expectedValues()
{
    return {
        {"Txt_Cod", "Text", QStringLiteral("ABC123")},
        {"Txt_Cod", "Enabled", false},
        {"Txt_Cod", "BackColor", 0x80FFFF},
        {"Txt_Cod", "Alignment", 1},
        {"Txt_Cod", "MaxLength", 12},
        {"Txt_Cod", "ToolTipText", QStringLiteral("Codice dell'articolo")},
        {"Txt_Cod", "Prompt", QStringLiteral("Codice articolo")},
        {"Txt_Cod", "TagZ", QStringLiteral("cod")},
        {"Txt_Cod", "BckColor", 128},
        {"Txt_Cod", "IsNum", true},
        {"Txt_Cod", "DecimalPlace", 3},
        {"Txt_Cod", "Heig", 330},
        {"Txt_Cod", "Wide", 3000},
        {"Txt_Cod", "AllowLoCase", true},
        {"Chk_Ok", "Caption", QStringLiteral("Confermato")},
        {"Chk_Ok", "Value", 1},
        {"Chk_Ok", "ForeColor", 255},
        {"Chk_Ok", "Alignment", 1},
        {"Chk_Ok", "ToolTipText", QStringLiteral("Spunta se confermato")},
        {"Chk_Ok", "Prompt", QStringLiteral("Conferma del documento")},
        {"Chk_Ok", "TagZ", QStringLiteral("ok")},
        {"Dat_1", "StringA", QStringLiteral("15/02/2024")},
        {"Dat_1", "FntSize", 12.0},
        {"Dat_1", "BackColor", 128},
        {"Dat_1", "ForeColor", 255},
        {"Dat_1", "Enabled", true},
        {"Dat_1", "Format", QStringLiteral("dd/mm/yy")},
        {"Dat_1", "hWnd", 42},
        {"Dat_1", "Mask", QStringLiteral("99/99/9999")},
        {"Dat_1", "Prompt", QStringLiteral("Data del documento")},
        {"Dat_1", "AltString", QStringLiteral("alternativa")},
        {"Dat_1", "ToolTipText", QStringLiteral("gg/mm/aaaa")},
        {"Dat_1", "TagZ", QStringLiteral("data")},
    };
}

// Every value of the form reached its control, and the controls are the library's.
void checkForm(QWidget* form, const QString& how)
{
    for (const Value& v : expectedValues()) {
        QWidget* c = form->findChild<QWidget*>(QLatin1String(v.control));
        expect(c != nullptr, how + QStringLiteral(": no control ") + QLatin1String(v.control));
        if (!c) continue;
        const QVariant got = Ordalis::dispGet(c, QLatin1String(v.member));
        expect(got == v.expected, QStringLiteral("%1: %2.%3 is %4, not %5")
                                      .arg(how, QLatin1String(v.control), QLatin1String(v.member),
                                           got.toString(), v.expected.toString()));
    }
    QWidget* txt = form->findChild<QWidget*>(QStringLiteral("Txt_Cod"));
    QWidget* chk = form->findChild<QWidget*>(QStringLiteral("Chk_Ok"));
    QWidget* dat = form->findChild<QWidget*>(QStringLiteral("Dat_1"));
    if (!txt || !chk || !dat) return;
    expect(Ordalis::progIdOf(txt) == QLatin1String("Ordalis.Txt_"),
           how + QStringLiteral(": Txt_Cod is no Txt_"));
    expect(Ordalis::progIdOf(chk) == QLatin1String("Ordalis.Chk_"),
           how + QStringLiteral(": Chk_Ok is no Chk_"));
    expect(Ordalis::progIdOf(dat) == QLatin1String("Ordalis.Dat_"),
           how + QStringLiteral(": Dat_1 is no Dat_"));
    // The fonts reach the inner boxes.
    const QFont tf = txt->focusProxy()->font();
    expect(tf.family() == QLatin1String("DejaVu Sans Mono") && tf.pointSize() == 11,
           how + QStringLiteral(": Txt_Cod's box font is ") + tf.toString());
    const QFont cf = chk->focusProxy()->font();
    expect(cf.family() == QLatin1String("DejaVu Serif") && cf.pointSize() == 10,
           how + QStringLiteral(": Chk_Ok's box font is ") + cf.toString());
    const QFont df = dat->focusProxy()->font();
    expect(df.pointSizeF() == 12.0, how + QStringLiteral(": Dat_1's box font is ") + df.toString());
    auto* datBox = qobject_cast<QLineEdit*>(dat->focusProxy());
    expect(datBox && datBox->displayText() == QLatin1String("15/02/2024"),
           how + QStringLiteral(": Dat_1 does not show its date"));
    // Saved disabled, the field comes back to life when the host puts True.
    auto* box = qobject_cast<QLineEdit*>(txt->focusProxy());
    expect(box && !box->isEnabled(), how + QStringLiteral(": Txt_Cod's box is not disabled"));
    expect(Ordalis::dispPut(txt, QStringLiteral("Enabled"), true), how + QStringLiteral(": Enabled refused"));
    expect(txt->isEnabled() && box && box->isEnabled(), how + QStringLiteral(": Txt_Cod stays disabled"));
    if (box) {
        box->end(false);
        QTest::keyClicks(box, QStringLiteral("x"));
    }
    expect(Ordalis::dispGet(txt, QStringLiteral("Text")).toString() == QLatin1String("ABC123x"),
           how + QStringLiteral(": typing gives ") +
               Ordalis::dispGet(txt, QStringLiteral("Text")).toString());
}

} // namespace

// The host's own settings helper, with the names and signatures the library's once had.
// The library must go on with its own: a host's definitions replace nothing of it.
namespace IniFile
{
int calls = 0;
QString read(const QString&, const QString&, const QString&, const QString&)
{
    ++calls;
    return QStringLiteral("HOST");
}
bool write(const QString&, const QString&, const QString&, const QString&)
{
    ++calls;
    return true;
}
} // namespace IniFile

namespace
{

class PageHost : public Ordalis::PageHost
{
  public:
    explicit PageHost(QObject* control) : control_(control) {}
    QList<QObject*> selection() const override { return {control_}; }
    bool setProperty(QObject* control, const QString& name, const QVariant& value, QString* why) override
    {
        if (Ordalis::dispPut(control, name, value)) return true;
        if (why) *why = Ordalis::dispError(control);
        return false;
    }

  private:
    QObject* control_;
};

// The text page's lookup settings come from the library's "QOR_CTRL.INI" and go back there.
void checkOwnSettings(QWidget* txt)
{
    const QString own = IniFile::read({}, {}, {}, {});
    expect(own == QLatin1String("HOST") && IniFile::calls == 1,
           QStringLiteral("the host's own IniFile::read gives ") + own);
    IniFile::calls = 0;
    QTemporaryDir winDir;
    qputenv("PLICORA_WINDIR", QFile::encodeName(winDir.path()));
    QFile ini(winDir.filePath(QStringLiteral("QOR_CTRL.INI")));
    expect(ini.open(QIODevice::WriteOnly) && ini.write("[OrdalisTxt]\r\nTabellaMDB=T_MDB\r\n") > 0,
           QStringLiteral("QOR_CTRL.INI not written"));
    ini.close();

    PageHost host(txt);
    auto* page = qobject_cast<Ordalis::ProprietaTxt*>(Ordalis::createPropertyPage(QStringLiteral("Txt_"), &host));
    expect(page != nullptr, QStringLiteral("no text page"));
    if (!page) return;
    Ordalis::PropertyPageDialog dlg(page);
    dlg.show();
    dlg.activateWindow();
    expect(QTest::qWaitForWindowActive(&dlg), QStringLiteral("the page's dialog is not active"));
    // IsKey ticked and left opens the lookup kinds; the MDB option loads its table.
    page->Chk_IsKey->setFocus(Qt::TabFocusReason);
    page->Chk_IsKey->setChecked(true);
    page->Opt_Key[0]->setFocus(Qt::TabFocusReason);
    QRadioButton* mdb = page->Opt_Key[2];
    expect(QTest::qWaitFor([mdb] { return mdb->isEnabled(); }), QStringLiteral("the MDB option stays off"));
    QTest::mouseClick(mdb, Qt::LeftButton, {}, QPoint(6, mdb->height() / 2));
    expect(page->Txt_Tabella->text() == QLatin1String("T_MDB"),
           QStringLiteral("the MDB option loads the table ") + page->Txt_Tabella->text());
    // The generator keeps the kind and the table in the same file.
    page->Txt_Nome->setText(QStringLiteral("Txt_Cod"));
    page->Txt_Tabella->setText(QStringLiteral("ANAGR"));
    QTest::mouseClick(page->Cmd_Code, Qt::LeftButton);
    expect(ini.open(QIODevice::ReadOnly), QStringLiteral("QOR_CTRL.INI is gone"));
    const QByteArray kept = ini.readAll();
    expect(kept.contains("TipKey=2") && kept.contains("TabellaMDB=ANAGR"),
           QStringLiteral("QOR_CTRL.INI holds ") + QString::fromLatin1(kept));
    expect(IniFile::calls == 0, QStringLiteral("the library called the host's IniFile"));
    qunsetenv("PLICORA_WINDIR");
}

} // namespace

class F_Host : public QWidget
{
    Q_OBJECT
  public:
    F_Host() { ui.setupUi(this); }
    Ui::F_Host ui;
    int changes = 0;

  private Q_SLOTS:
    // Joined by name when the form is set up.
    void on_Txt_Cod_Change() { ++changes; }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    F_Host compiled;
    checkForm(&compiled, QStringLiteral("uic"));
    const int before = compiled.changes;
    Ordalis::dispPut(compiled.ui.Txt_Cod, QStringLiteral("Text"), QStringLiteral("NUOVO"));
    expect(compiled.changes == before + 1, QStringLiteral("uic: on_Txt_Cod_Change did not run"));

    QUiLoader loader;
    loader.addPluginPath(QStringLiteral(ORDALIS_PLUGIN_DIR));
    for (const char* c : {"Ordalis::Txt_", "Ordalis::Chk_", "Ordalis::Dat_"})
        expect(loader.availableWidgets().contains(QLatin1String(c)),
               QStringLiteral("the installed plugin offers no ") + QLatin1String(c));
    QFile f(QStringLiteral(HOST_FORM));
    expect(f.open(QIODevice::ReadOnly), QStringLiteral("no form file"));
    std::unique_ptr<QWidget> loaded(loader.load(&f));
    expect(loaded != nullptr, QStringLiteral("QUiLoader: ") + loader.errorString());
    if (loaded) checkForm(loaded.get(), QStringLiteral("QUiLoader"));
    checkOwnSettings(compiled.ui.Txt_Cod);

    std::fprintf(stderr, failures ? "%d failures\n" : "all values reached their controls\n", failures);
    return failures ? 1 : 0;
}

#include "main.moc"
