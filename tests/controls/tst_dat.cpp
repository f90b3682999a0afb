// The date control as a host window uses it: repair on leaving, hot keys, help
// boxes, focus colours with the host's save command, properties, persistence.
#include "controls/Ordalis.h"
#include "controls/OrdalisControl.h"
#include "controls/PropertyBag.h"

#include "support/FixedPitch.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace Ordalis;

namespace
{

// A window with one date field and one plain field to leave it for; the field
// is bound to the window's save command as Plicora's windows bind theirs.
class Host : public QWidget
{
  public:
    Host()
    {
        resize(300, 100);
        field = createControl(QStringLiteral("Ordalis.Dat_"), this);
        field->setGeometry(10, 10, 100, 19);
        other = new QLineEdit(this);
        other->setGeometry(10, 40, 200, 22);
        SaveHost h;
        h.ControllaSave = [this] { return saveOn; };
        h.AccendiSave = [this] {
            calls << QStringLiteral("AccendiSave");
            saveOn = true;
        };
        h.SetSave = [this](bool b) {
            calls << QStringLiteral("SetSave %1").arg(b);
            saveOn = b;
        };
        h.showPrompt = [](const QString&) {};
        bindSaveConvention(field, this, h);
        dispConnect(field, QStringLiteral("Change"), this,
                    [this](const QVariantList&) { changes << dispGet(field, QString()).toString(); });
        dispConnectRef(field, QStringLiteral("KeyDown"), this, [this](QVariantList& a) {
            events << QStringLiteral("KeyDown:%1").arg(a[0].toInt());
            if (swallow) a[0] = 0;
        });
        dispConnect(field, QStringLiteral("KeyPress"), this, [this](const QVariantList& a) {
            events << QStringLiteral("KeyPress:%1").arg(a[0].toInt());
        });
        dispConnect(field, QStringLiteral("KeyUp"), this, [this](const QVariantList& a) {
            events << QStringLiteral("KeyUp:%1").arg(a[0].toInt());
        });
        show();
        activateWindow();
        if (!QTest::qWaitForWindowActive(this)) qWarning("host window not active");
        other->setFocus();
    }
    QLineEdit* box() const { return qobject_cast<QLineEdit*>(field->focusProxy()); }
    void enter() { dispInvoke(field, QStringLiteral("SetFocus")); }
    void leave() { other->setFocus(Qt::TabFocusReason); }
    QString editText() const { return box()->displayText(); }
    QString stringA() const { return dispGet(field, QStringLiteral("StringA")).toString(); }
    // Code sets the field before the user comes: the window starts with nothing to save.
    void setDate(const QString& t)
    {
        QVERIFY(dispPut(field, QStringLiteral("StringA"), t));
        saveOn = false;
        calls.clear();
    }
    QColor back() const { return box()->palette().color(QPalette::Base); }
    QColor fore() const { return box()->palette().color(QPalette::Text); }

    QWidget* field = nullptr;
    QLineEdit* other = nullptr;
    bool saveOn = false;
    bool swallow = false;
    QStringList calls;
    QStringList changes;
    QStringList events;
};

QColor rgb(quint32 vb)
{
    return QColor(int(vb & 0xFF), int((vb >> 8) & 0xFF), int((vb >> 16) & 0xFF));
}

std::unique_ptr<QWidget> make()
{
    return std::unique_ptr<QWidget>(createControl(QStringLiteral("Ordalis.Dat_")));
}

QStringList notifications(QWidget* c, const std::function<void()>& step)
{
    QStringList names;
    auto conn = QObject::connect(qobject_cast<OrdalisControl*>(c), &OrdalisControl::PropertyChanged,
                                 [&names](const QString& n) { names << n; });
    step();
    QObject::disconnect(conn);
    return names;
}

} // namespace

class TstDat : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void init()
    {
        env_ = std::make_unique<TestEnv>(); // today: Thursday 10/12/2026
        env_->dialogs().acceptOkBoxes = true;
    }
    void cleanup() { env_.reset(); }
    void leaving_data();
    void leaving();
    void hotKeys_data();
    void hotKeys();
    void hotKeyGoesNoFurther();
    void hostSwallowsTheKey();
    void lettersRefusedByTheMask();
    void digitsComeBackAscii_data();
    void digitsComeBackAscii();
    void helpBoxes_data();
    void helpBoxes();
    void windowComingBackIsNoEntry();
    void focusColours_data();
    void focusColours();
    void saveConvention_data();
    void saveConvention();
    void notificationNames_data();
    void notificationNames();
    void sizes();
    void fontSize();
    void newInstance();
    void refusedPuts_data();
    void refusedPuts();
    void persistenceOfANewInstance();
    void persistenceRoundTrip();
    void restoredEnabledLeavesTheBox();
    void badBagValuesGiveDefaults();

  private:
    std::unique_ptr<TestEnv> env_;
};

void TstDat::leaving_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("modified");
    QTest::newRow("empty date") << "__/__/____"
                                << "__/__/____" << false;
    QTest::newRow("31 April") << "31/04/2024"
                              << "30/04/2024" << true;
    QTest::newRow("31 Feb 2023") << "31/02/2023"
                                 << "28/02/2023" << true;
    QTest::newRow("31 Feb 2024") << "31/02/2024"
                                 << "29/02/2024" << true;
    QTest::newRow("31 Feb 1900, no leap year") << "31/02/1900"
                                               << "28/02/1900" << true;
    QTest::newRow("31 Feb 2000") << "31/02/2000"
                                 << "29/02/2000" << true;
    QTest::newRow("31 Feb 2100, no leap year") << "31/02/2100"
                                               << "28/02/2100" << true;
    QTest::newRow("month 13") << "15/13/2024"
                              << "15/12/2024" << true;
    QTest::newRow("month 0 takes this month") << "15/00/2024"
                                              << "15/12/2024" << true;
    QTest::newRow("day 0") << "00/05/2024"
                           << "01/05/2024" << true;
    QTest::newRow("29__") << "01/01/29__"
                          << "01/01/2029" << true;
    QTest::newRow("30__") << "01/01/30__"
                          << "01/01/1930" << true;
    QTest::newRow("no year takes this year") << "01/01/____"
                                             << "01/01/2026" << true;
    QTest::newRow("year 0000") << "01/01/0000"
                               << "01/01/2000" << true;
    QTest::newRow("202_") << "01/01/202_"
                          << "01/01/1202" << true;
    QTest::newRow("5_ is day 5, kept as typed") << "5_/03/2024"
                                                << "5_/03/2024" << false;
    QTest::newRow("_5 is day 0") << "_5/03/2024"
                                 << "01/03/2024" << true;
    QTest::newRow("valid date") << "29/02/2024"
                                << "29/02/2024" << false;
}

void TstDat::leaving()
{
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QFETCH(bool, modified);
    Host h;
    h.setDate(typed);
    QCOMPARE(h.editText(), typed);
    h.enter();
    h.leave();
    QCOMPARE(h.editText(), left);
    QCOMPARE(h.stringA(), left);
    QCOMPARE(dispGet(h.field, QStringLiteral("MskModified")).toBool(), modified);
}

void TstDat::hotKeys_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("changes");
    using L = QStringList;
    QTest::newRow("N 15/02/2024") << "15/02/2024" << int(Qt::Key_N) << false << "29/02/2024"
                                  << L{"29/02/2024", "29/02/2024"};
    QTest::newRow("N 31/01/2024 stays")
        << "31/01/2024" << int(Qt::Key_N) << false << "31/01/2024" << L{"31/01/2024"};
    QTest::newRow("P 01/03/2024") << "01/03/2024" << int(Qt::Key_P) << false << "29/02/2024"
                                  << L{"01/03/2024", "29/02/2024", "29/02/2024"};
    QTest::newRow("L 31/12/2024") << "31/12/2024" << int(Qt::Key_L) << false << "01/01/2025"
                                  << L{"31/12/2024", "01/01/2025", "01/01/2025"};
    QTest::newRow("W Sunday") << "03/03/2024" << int(Qt::Key_W) << false << "26/02/2024"
                              << L{"26/02/2024", "26/02/2024"};
    QTest::newRow("E Monday") << "04/03/2024" << int(Qt::Key_E) << false << "10/03/2024"
                              << L{"10/03/2024", "10/03/2024"};
    QTest::newRow("W Monday stays") << "04/03/2024" << int(Qt::Key_W) << false << "04/03/2024"
                                    << L{"04/03/2024"};
    QTest::newRow("Y 15/02/2024") << "15/02/2024" << int(Qt::Key_Y) << false << "01/01/2024"
                                  << L{"01/01/2024", "01/01/2024"};
    QTest::newRow("Y with Shift") << "15/02/2024" << int(Qt::Key_Y) << true << "01/01/2024"
                                  << L{"01/01/2024", "01/01/2024"};
    QTest::newRow("U 15/02/2024") << "15/02/2024" << int(Qt::Key_U) << false << "31/12/2024"
                                  << L{"31/12/2024", "31/12/2024"};
    QTest::newRow("M 15/02/2024") << "15/02/2024" << int(Qt::Key_M) << false << "01/02/2024"
                                  << L{"01/02/2024", "01/02/2024"};
    QTest::newRow("D 15/02/2024") << "15/02/2024" << int(Qt::Key_D) << false << "10/12/2026"
                                  << L{"10/12/2026", "10/12/2026"};
    QTest::newRow("D with Shift") << "15/02/2024" << int(Qt::Key_D) << true << "10/12/2026"
                                  << L{"10/12/2026", "10/12/2026"};
    // A complete text that is no date counts as leaving would repair it; Y, U, M edit the text.
    QTest::newRow("P 31/04/2024") << "31/04/2024" << int(Qt::Key_P) << false << "29/04/2024"
                                  << L{"31/04/2024", "29/04/2024", "29/04/2024"};
    QTest::newRow("N 31/04/2024") << "31/04/2024" << int(Qt::Key_N) << false << "30/04/2024"
                                  << L{"30/04/2024", "30/04/2024"};
    QTest::newRow("E 15/13/2024") << "15/13/2024" << int(Qt::Key_E) << false << "15/12/2024"
                                  << L{"15/12/2024", "15/12/2024"};
    QTest::newRow("L 00/00/0000") << "00/00/0000" << int(Qt::Key_L) << false << "02/12/2000"
                                  << L{"00/00/0000", "02/12/2000", "02/12/2000"};
    QTest::newRow("Y 31/04/2024") << "31/04/2024" << int(Qt::Key_Y) << false << "01/01/2024"
                                  << L{"01/01/2024", "01/01/2024"};
    QTest::newRow("M 31/04/2024") << "31/04/2024" << int(Qt::Key_M) << false << "01/04/2024"
                                  << L{"01/04/2024", "01/04/2024"};
    // The mask's last day is as far as a step goes.
    QTest::newRow("L 31/12/9999 stays") << "31/12/9999" << int(Qt::Key_L) << false << "31/12/9999"
                                        << L{"31/12/9999", "31/12/9999"};
    QTest::newRow("E in the last week of 9999") << "27/12/9999" << int(Qt::Key_E) << false << "31/12/9999"
                                                << L{"31/12/9999", "31/12/9999"};
    QTest::newRow("N December 9999") << "15/12/9999" << int(Qt::Key_N) << false << "31/12/9999"
                                     << L{"31/12/9999", "31/12/9999"};
    // An incomplete text works from today.
    const QString part = QStringLiteral("12/0_/____");
    QTest::newRow("D incomplete") << part << int(Qt::Key_D) << false << "10/12/2026"
                                  << L{"10/12/2026", "10/12/2026"};
    QTest::newRow("Y incomplete") << part << int(Qt::Key_Y) << false << "01/01/2026"
                                  << L{"01/01/2026", "01/01/2026"};
    QTest::newRow("U incomplete") << part << int(Qt::Key_U) << false << "31/12/2026"
                                  << L{"31/12/2026", "31/12/2026"};
    QTest::newRow("M incomplete") << part << int(Qt::Key_M) << false << "01/12/2026"
                                  << L{"01/12/2026", "01/12/2026"};
    QTest::newRow("N incomplete") << part << int(Qt::Key_N) << true << "31/12/2026"
                                  << L{"31/12/2026", "31/12/2026"};
    QTest::newRow("P incomplete") << part << int(Qt::Key_P) << false << "09/12/2026"
                                  << L{part, "09/12/2026", "09/12/2026"};
    QTest::newRow("L incomplete") << part << int(Qt::Key_L) << false << "11/12/2026"
                                  << L{part, "11/12/2026", "11/12/2026"};
    QTest::newRow("W incomplete") << part << int(Qt::Key_W) << false << "07/12/2026"
                                  << L{"07/12/2026", "07/12/2026"};
    QTest::newRow("E incomplete") << part << int(Qt::Key_E) << true << "13/12/2026"
                                  << L{"13/12/2026", "13/12/2026"};
}

void TstDat::hotKeys()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(QString, result);
    QFETCH(QStringList, changes);
    Host h;
    h.setDate(start);
    h.enter();
    h.changes.clear();
    QTest::keyClick(h.box(), Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(h.editText(), result);
    QCOMPARE(h.stringA(), result);
    QCOMPARE(h.changes, changes);
    // Only D marks the field modified at once.
    QCOMPARE(dispGet(h.field, QStringLiteral("MskModified")).toBool(), key == Qt::Key_D);
}

void TstDat::hotKeyGoesNoFurther()
{
    Host h;
    h.setDate(QStringLiteral("15/02/2024"));
    h.enter();
    h.events.clear();
    // Ctrl+E would move the caret in a line edit; here it is the week's end.
    QTest::keyClick(h.box(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(h.editText(), QStringLiteral("18/02/2024"));
    QCOMPARE(h.events, (QStringList{"KeyDown:17", "KeyDown:69", "KeyUp:69", "KeyUp:17"}));
    // A digit reaches the box and the host's KeyPress.
    h.box()->setCursorPosition(0);
    h.events.clear();
    QTest::keyClick(h.box(), Qt::Key_2);
    QCOMPARE(h.events, (QStringList{"KeyDown:50", "KeyPress:50", "KeyUp:50"}));
    QCOMPARE(h.editText(), QStringLiteral("28/02/2024"));
}

void TstDat::hostSwallowsTheKey()
{
    Host h;
    h.setDate(QStringLiteral("15/02/2024"));
    h.enter();
    h.changes.clear();
    h.swallow = true;
    for (auto k : {Qt::Key_D, Qt::Key_P, Qt::Key_A, Qt::Key_3}) {
        QTest::keyClick(h.box(), k);
        QCOMPARE(h.editText(), QStringLiteral("15/02/2024"));
    }
    QCOMPARE(h.changes, QStringList());
    QCOMPARE(env_->dialogs().calls.size(), 0);
}

void TstDat::lettersRefusedByTheMask()
{
    Host h;
    h.setDate(QString());
    h.enter();
    h.box()->setCursorPosition(0);
    QTest::keyClicks(h.box(), QStringLiteral("x1-5"));
    QCOMPARE(h.editText(), QStringLiteral("15/__/____"));
    h.leave();
    QCOMPARE(h.editText(), QStringLiteral("15/12/2026"));
}

void TstDat::helpBoxes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    const QString it = QStringLiteral("D = DATA DI OGGI\r\n\r\n"
                                      "P = Giorno prima       L = Giorno dopo\r\n"
                                      "W = Inizio settimana   E = Fine settimana\r\n"
                                      "M = Inizio Mese        N = Fine Mese\r\n"
                                      "Y = Inizio Anno        U = Fine Anno\r\n\r"
                                      "H = Help !\r\nA = Aiuto !\r\n\r\n"
                                      "Assistenza: ordalis@example.com");
    const QString en = QStringLiteral("D = DATE OF TODAY\r\n\r\n"
                                      "P = Previous Day  L = Next Day\r\n"
                                      "W = Week  Begin   E = Week  End\r\n"
                                      "M = Month Begin   N = Month End\r\n"
                                      "Y = Year Begin    U = Year End\r\n\r"
                                      "H = Help !\r\nA = Aiuto !\r\n\r\n"
                                      "Assistenza: ordalis@example.com");
    QTest::newRow("A") << int(Qt::Key_A) << 0 << it << "Tasti utili nel campo data";
    QTest::newRow("Shift+A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << it
                             << "Tasti utili nel campo data";
    QTest::newRow("Ctrl+A is no select-all")
        << int(Qt::Key_A) << int(Qt::ControlModifier) << it << "Tasti utili nel campo data";
    QTest::newRow("H") << int(Qt::Key_H) << 0 << en << "Useful Keys in Data Filed";
}

void TstDat::helpBoxes()
{
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(QString, text);
    QFETCH(QString, title);
    Host h;
    h.setDate(QStringLiteral("31/04/2024"));
    h.enter();
    const QColor focusBack = h.back();
    QTest::keyClick(h.box(), Qt::Key(key), Qt::KeyboardModifiers(mods));
    QCOMPARE(env_->dialogs().calls.size(), 1);
    const auto& call = env_->dialogs().calls[0];
    QCOMPARE(call.text, text);
    QCOMPARE(call.title, title);
    QCOMPARE(call.icon(), int(vb::Information));
    QCOMPARE(call.buttons(), int(vb::OKOnly));
    // The box is no exit: nothing repaired, nothing recoloured.
    QCOMPARE(h.editText(), QStringLiteral("31/04/2024"));
    QCOMPARE(h.back(), focusBack);
    QCOMPARE(QApplication::focusWidget(), h.box());
    h.leave();
    QCOMPARE(h.editText(), QStringLiteral("30/04/2024"));
}

void TstDat::windowComingBackIsNoEntry()
{
    Host h;
    h.setDate(QStringLiteral("31/04/2024"));
    h.enter();
    QCOMPARE(h.box()->selectedText().size(), 10);
    h.box()->setCursorPosition(3);
    // A message box over the window takes the keyboard and gives it back.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(h.box(), &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(h.box(), &in);
    QVERIFY(!h.box()->hasSelectedText());
    QCOMPARE(h.editText(), QStringLiteral("31/04/2024"));
    QCOMPARE(h.back(), rgb(0x80FFFF));
}

void TstDat::focusColours_data()
{
    QTest::addColumn<qint64>("backColor");
    QTest::addColumn<QColor>("focusBack");
    QTest::addColumn<QColor>("focusFore");
    QTest::newRow("standard focus colour") << qint64(0xFFFFFF) << rgb(0x80FFFF) << rgb(0);
    QTest::newRow("dark red, white text") << qint64(0x000080) << rgb(0x000080) << rgb(0xFFFFFF);
    QTest::newRow("light cyan, black text") << qint64(0xFFFF80) << rgb(0xFFFF80) << rgb(0);
}

void TstDat::focusColours()
{
    QFETCH(qint64, backColor);
    QFETCH(QColor, focusBack);
    QFETCH(QColor, focusFore);
    Host h;
    QVERIFY(dispPut(h.field, QStringLiteral("BackColor"), backColor));
    QCOMPARE(dispGet(h.field, QStringLiteral("BackColor")).toLongLong(), backColor);
    const QColor before = h.fore();
    h.enter();
    QCOMPARE(h.back(), focusBack);
    if (backColor != 0xFFFFFF)
        QCOMPARE(h.fore(), focusFore);
    else
        QCOMPARE(h.fore(), before); // the standard colour leaves the text colour alone
    // The whole text is selected on entry.
    QCOMPARE(h.box()->selectedText().size(), 10);
    h.leave();
    QCOMPARE(h.back(), QApplication::palette(h.box()).color(QPalette::Base));
    QCOMPARE(h.fore(), rgb(0));
}

void TstDat::saveConvention_data()
{
    QTest::addColumn<bool>("hostHasChanges");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("saveAfter");
    QTest::newRow("no change, nothing to save") << false << "" << false;
    QTest::newRow("no change keeps host's changes") << true << "" << true;
    QTest::newRow("typed digit") << false << "2" << true;
    QTest::newRow("D") << false << "D" << true;
    QTest::newRow("P") << false << "P" << true;
}

void TstDat::saveConvention()
{
    QFETCH(bool, hostHasChanges);
    QFETCH(QString, typed);
    QFETCH(bool, saveAfter);
    Host h;
    h.setDate(QStringLiteral("15/02/2024"));
    h.saveOn = hostHasChanges;
    h.enter();
    QCOMPARE(dispGet(h.field, QStringLiteral("MskModified")).toBool(), hostHasChanges);
    if (typed == QLatin1String("D")) {
        QTest::keyClick(h.box(), Qt::Key_D);
        QCOMPARE(dispGet(h.field, QStringLiteral("MskModified")).toBool(), true);
    } else if (typed == QLatin1String("P")) {
        QTest::keyClick(h.box(), Qt::Key_P);
        QCOMPARE(dispGet(h.field, QStringLiteral("MskModified")).toBool(), hostHasChanges);
    } else if (!typed.isEmpty()) {
        h.box()->setCursorPosition(0);
        QTest::keyClicks(h.box(), typed);
    }
    h.leave();
    QCOMPARE(h.saveOn, saveAfter);
    QCOMPARE(h.calls.last(), QStringLiteral("SetSave %1").arg(saveAfter));
    QCOMPARE(h.calls.contains(QStringLiteral("AccendiSave")), !typed.isEmpty());
}

void TstDat::notificationNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QStringList>("names");
    auto own = [](const char* n, const QVariant& v) {
        QTest::newRow(n) << QString::fromLatin1(n) << v << QStringList{QString::fromLatin1(n)};
    };
    own("BackColor", 0x000080);
    own("ForeColor", 0x0000FF);
    own("Enabled", true);
    own("Font", QFont(QStringLiteral("DejaVu Sans")));
    own("BackStyle", 1);
    own("BorderStyle", 1);
    own("Format", QStringLiteral("dd/mm/yy"));
    own("hWnd", 77);
    own("Mask", QStringLiteral("99/99/9999"));
    own("Prompt", QStringLiteral("Data"));
    own("SelLength", 2);
    own("SelStart", 3);
    own("SelText", QStringLiteral("x"));
    own("PromptChar", QStringLiteral("#"));
    own("ClipMode", 1);
    own("AllowPrompt", true);
    own("PromptInclude", false);
    own("AltString", QStringLiteral("alt"));
    own("ToolTipText", QStringLiteral("suggerimento"));
    own("MskModified", true);
    own("Heig", 300);
    own("Wide", 1500);
    own("FntSize", 12.0);
    own("TagZ", QStringLiteral("tag"));
    // The box reports its new text, then the Let itself.
    QTest::newRow("StringA") << "StringA" << QVariant(QStringLiteral("15/02/2024"))
                             << QStringList{"StringA", "StringA"};
}

void TstDat::notificationNames()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(QStringList, names);
    auto c = make();
    const QStringList seen = notifications(c.get(), [&] { QVERIFY(dispPut(c.get(), name, value)); });
    QCOMPARE(seen, names);
    if (name != QLatin1String("Font")) QCOMPARE(dispGet(c.get(), name).toString(), value.toString());
}

void TstDat::sizes()
{
    Host h;
    QVERIFY(dispPut(h.field, QStringLiteral("Heig"), 300));
    QVERIFY(dispPut(h.field, QStringLiteral("Wide"), 1500));
    QCOMPARE(h.field->size(), QSize(100, 20));
    QCOMPARE(h.box()->geometry(), QRect(0, 0, 100, 20));
    QCOMPARE(dispGet(h.field, QStringLiteral("Heig")).toInt(), 300);
    QCOMPARE(dispGet(h.field, QStringLiteral("Wide")).toInt(), 1500);
    // A resize by the container sizes the box and takes the new size.
    const QStringList seen = notifications(h.field, [&] { h.field->resize(150, 30); });
    QCOMPARE(h.box()->geometry(), QRect(0, 0, 150, 30));
    QCOMPARE(dispGet(h.field, QStringLiteral("Heig")).toInt(), 450);
    QCOMPARE(dispGet(h.field, QStringLiteral("Wide")).toInt(), 2250);
    QCOMPARE(seen, (QStringList{"Heig", "Wide"}));
    // 0 leaves the size as drawn.
    QVERIFY(dispPut(h.field, QStringLiteral("Wide"), 0));
    QVERIFY(dispPut(h.field, QStringLiteral("Heig"), 0));
    QCOMPARE(h.field->size(), QSize(150, 30));
}

void TstDat::fontSize()
{
    auto c = make();
    auto* box = qobject_cast<QLineEdit*>(c->focusProxy());
    const QString family = box->font().family();
    QCOMPARE(box->font().pointSizeF(), 8.25);
    QVERIFY(dispPut(c.get(), QStringLiteral("FntSize"), 12));
    QCOMPARE(box->font().pointSizeF(), 12.0);
    QCOMPARE(dispGet(c.get(), QStringLiteral("FntSize")).toFloat(), 12.0f);
    // Font names the control's own surface; the box keeps its font.
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPointSize(20);
    QVERIFY(dispPut(c.get(), QStringLiteral("Font"), f));
    QCOMPARE(box->font().family(), family);
    QCOMPARE(box->font().pointSizeF(), 12.0);
    QCOMPARE(c->font().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Font")).value<QFont>(), f);
}

void TstDat::newInstance()
{
    auto c = make();
    auto* box = qobject_cast<QLineEdit*>(c->focusProxy());
    QCOMPARE(box->objectName(), QStringLiteral("Msk_Padre"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Enabled")).toBool(), false);
    QVERIFY(box->isEnabled());
    QCOMPARE(box->displayText(), QStringLiteral("__/__/____"));
    QCOMPARE(dispGet(c.get(), QString()).toString(), QStringLiteral("__/__/____"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("ToolTipText")).toString(), QStringLiteral("H=Help/A=Aiuto"));
    QCOMPARE(box->font().family(), QStringLiteral("Lucida Console"));
    QVERIFY(showsFixedPitch(box->font()));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Mask")).toString(), QStringLiteral("##/##/####"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Format")).toString(), QStringLiteral("dd/mm/yyyy"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Heig")).toInt(), 285);
    QCOMPARE(dispGet(c.get(), QStringLiteral("Wide")).toInt(), 0);
    QCOMPARE(dispGet(c.get(), QStringLiteral("FntSize")).toFloat(), 8.0f);
    QCOMPARE(dispGet(c.get(), QStringLiteral("BackColor")).toInt(), 0xFFFFFF);
    QCOMPARE(dispGet(c.get(), QStringLiteral("PromptInclude")).toBool(), true);
    // Enabled reaches the box.
    QVERIFY(dispPut(c.get(), QStringLiteral("Enabled"), false));
    QVERIFY(!box->isEnabled());
    QVERIFY(dispPut(c.get(), QStringLiteral("Enabled"), true));
    QVERIFY(box->isEnabled());
    // "" is the empty date.
    QVERIFY(dispPut(c.get(), QStringLiteral("StringA"), QStringLiteral("15/02/2024")));
    QVERIFY(dispPut(c.get(), QStringLiteral("StringA"), QString()));
    QCOMPARE(box->displayText(), QStringLiteral("__/__/____"));
}

void TstDat::refusedPuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("StringA letters") << "StringA" << QVariant(QStringLiteral("abc"));
    QTest::newRow("StringA short date") << "StringA" << QVariant(QStringLiteral("1/2/2024"));
    QTest::newRow("StringA wrong marks") << "StringA" << QVariant(QStringLiteral("01-02-2024"));
    QTest::newRow("FntSize 0") << "FntSize" << QVariant(0);
    QTest::newRow("FntSize negative") << "FntSize" << QVariant(-3.5);
    QTest::newRow("Heig negative") << "Heig" << QVariant(-15);
    QTest::newRow("Wide negative") << "Wide" << QVariant(-15);
    QTest::newRow("BackColor system colour") << "BackColor" << QVariant(qint64(0x8000000F));
    QTest::newRow("BackColor beyond white") << "BackColor" << QVariant(0x1000000);
}

void TstDat::refusedPuts()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    auto c = make();
    QVERIFY(dispPut(c.get(), QStringLiteral("StringA"), QStringLiteral("15/02/2024")));
    const QVariant before = dispGet(c.get(), name);
    QStringList seen;
    seen = notifications(c.get(), [&] { QVERIFY(!dispPut(c.get(), name, value)); });
    QVERIFY(!dispError(c.get()).isEmpty());
    QCOMPARE(dispGet(c.get(), name), before);
    QCOMPARE(seen, QStringList());
    QCOMPARE(qobject_cast<QLineEdit*>(c->focusProxy())->displayText(), QStringLiteral("15/02/2024"));
}

void TstDat::persistenceOfANewInstance()
{
    auto c = make();
    PropertyBag bag;
    writeProperties(c.get(), bag);
    QCOMPARE(bag.names(), (QStringList{"Text", "ToolTipText"}));
    QCOMPARE(bag.ReadProperty(QStringLiteral("Text")).toString(), QStringLiteral("__/__/____"));
    QCOMPARE(bag.ReadProperty(QStringLiteral("ToolTipText")).toString(), QStringLiteral("H=Help/A=Aiuto"));
}

void TstDat::persistenceRoundTrip()
{
    auto c = make();
    QVERIFY(dispPut(c.get(), QStringLiteral("StringA"), QStringLiteral("15/02/2024")));
    QVERIFY(dispPut(c.get(), QStringLiteral("FntSize"), 12));
    QVERIFY(dispPut(c.get(), QStringLiteral("Prompt"), QStringLiteral("Data del documento")));
    QVERIFY(dispPut(c.get(), QStringLiteral("ToolTipText"), QStringLiteral("gg/mm/aaaa")));
    QVERIFY(dispPut(c.get(), QStringLiteral("TagZ"), QStringLiteral("non salvato")));
    QVERIFY(dispPut(c.get(), QStringLiteral("BackColor"), 0x000080));
    QVERIFY(dispPut(c.get(), QStringLiteral("Heig"), 300));
    PropertyBag bag;
    writeProperties(c.get(), bag);
    // Text is written three times; the first stored value stays.
    QCOMPARE(bag.ReadProperty(QStringLiteral("Text")).toString(), QStringLiteral("15/02/2024"));
    QVERIFY(!bag.contains(QStringLiteral("TagZ")));
    auto d = make();
    readProperties(d.get(), bag);
    auto* box = qobject_cast<QLineEdit*>(d->focusProxy());
    QCOMPARE(box->displayText(), QStringLiteral("15/02/2024"));
    QCOMPARE(dispGet(d.get(), QString()).toString(), QStringLiteral("15/02/2024"));
    QCOMPARE(dispGet(d.get(), QStringLiteral("FntSize")).toFloat(), 12.0f);
    QCOMPARE(box->font().pointSizeF(), 12.0);
    QCOMPARE(dispGet(d.get(), QStringLiteral("Prompt")).toString(), QStringLiteral("Data del documento"));
    QCOMPARE(dispGet(d.get(), QStringLiteral("ToolTipText")).toString(), QStringLiteral("gg/mm/aaaa"));
    QCOMPARE(dispGet(d.get(), QStringLiteral("TagZ")).toString(), QString());
    QCOMPARE(dispGet(d.get(), QStringLiteral("BackColor")).toInt(), 0x000080);
    QCOMPARE(dispGet(d.get(), QStringLiteral("Heig")).toInt(), 300);
}

void TstDat::digitsComeBackAscii_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("composed"); // by the input method rather than by keys
    QTest::newRow("ASCII") << "15032024" << false;
    QTest::newRow("Arabic-Indic") << QStringLiteral("\u0661\u0665\u0660\u0663\u0662\u0660\u0662\u0664") << false;
    QTest::newRow("Persian") << QStringLiteral("\u06F1\u06F5\u06F0\u06F3\u06F2\u06F0\u06F2\u06F4") << false;
    QTest::newRow("full-width") << QStringLiteral("\uFF11\uFF15\uFF10\uFF13\uFF12\uFF10\uFF12\uFF14") << false;
    QTest::newRow("Devanagari and ASCII") << QStringLiteral("\u0967\u096B03\u0968\u0966\u0968\u096A") << false;
    QTest::newRow("full-width, composed") << QStringLiteral("\uFF11\uFF15\uFF10\uFF13\uFF12\uFF10\uFF12\uFF14")
                                          << true;
}

// Whatever digits the user types, the field holds, reports and stores ASCII, and
// what it reports it takes back.
void TstDat::digitsComeBackAscii()
{
    QFETCH(QString, typed);
    QFETCH(bool, composed);
    const QString date = QStringLiteral("15/03/2024");
    Host h;
    h.setDate(QString());
    h.enter();
    h.box()->setCursorPosition(0);
    for (const QChar c : typed) {
        if (composed) {
            QInputMethodEvent e;
            e.setCommitString(QString(c));
            QApplication::sendEvent(h.box(), &e);
        } else {
            QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(h.box(), &e);
        }
    }
    QCOMPARE(h.editText(), date);
    QCOMPARE(h.stringA(), date);
    h.leave();
    QCOMPARE(h.stringA(), date);
    QVERIFY(dispPut(h.field, QStringLiteral("StringA"), h.stringA()));
    PropertyBag bag;
    writeProperties(h.field, bag);
    auto d = make();
    readProperties(d.get(), bag);
    QCOMPARE(qobject_cast<QLineEdit*>(d->focusProxy())->displayText(), date);
    QCOMPARE(dispGet(d.get(), QStringLiteral("StringA")).toString(), date);
    // A text put by a host in other digits is taken in ASCII too.
    QVERIFY(dispPut(d.get(), QStringLiteral("StringA"), QStringLiteral("\u0663\u0661/12/2024")));
    QCOMPARE(dispGet(d.get(), QStringLiteral("StringA")).toString(), QStringLiteral("31/12/2024"));
}

void TstDat::restoredEnabledLeavesTheBox()
{
    auto c = make();
    auto* box = qobject_cast<QLineEdit*>(c->focusProxy());
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Enabled"), true, false);
    readProperties(c.get(), bag);
    QCOMPARE(dispGet(c.get(), QStringLiteral("Enabled")).toBool(), true);
    QVERIFY(box->isEnabled());
    QVERIFY(dispPut(c.get(), QStringLiteral("Enabled"), false));
    readProperties(c.get(), bag);
    QCOMPARE(dispGet(c.get(), QStringLiteral("Enabled")).toBool(), true);
    QVERIFY(!box->isEnabled()); // the stored flag does not touch the box
    readProperties(c.get(), PropertyBag());
    QCOMPARE(dispGet(c.get(), QStringLiteral("Enabled")).toBool(), false);
}

void TstDat::badBagValuesGiveDefaults()
{
    auto c = make();
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("31 aprile"));
    bag.WriteProperty(QStringLiteral("FntSize"), QStringLiteral("grande"));
    bag.WriteProperty(QStringLiteral("BackColor"), qint64(0x8000000F));
    bag.WriteProperty(QStringLiteral("Heig"), QFont());
    bag.WriteProperty(QStringLiteral("Prompt"), QFont());
    readProperties(c.get(), bag);
    QCOMPARE(qobject_cast<QLineEdit*>(c->focusProxy())->displayText(), QStringLiteral("__/__/____"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("FntSize")).toFloat(), 8.0f);
    QCOMPARE(dispGet(c.get(), QStringLiteral("BackColor")).toInt(), 0xFFFFFF);
    QCOMPARE(dispGet(c.get(), QStringLiteral("Heig")).toInt(), 285);
    QCOMPARE(dispGet(c.get(), QStringLiteral("Prompt")).toString(), QString());
}

QTEST_MAIN(TstDat)
#include "tst_dat.moc"
