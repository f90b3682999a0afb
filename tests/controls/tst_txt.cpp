// The text control as a host window uses it: focus colours, typed keys, the
// numeric mode, change detection with the host's save command, persistence.
#include "controls/Ordalis.h"
#include "controls/PropertyBag.h"

#include "support/FixedPitch.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace Ordalis;

namespace
{

// A window that hosts one text field the way Plicora's windows do: on focus the
// field gets the window's save state, a change switches saving on, leaving the
// field hands its flag back.
class Host : public QWidget
{
  public:
    Host()
    {
        resize(300, 100);
        field = createControl(QStringLiteral("Ordalis.Txt_"), this);
        field->setGeometry(10, 10, 200, 22);
        other = new QLineEdit(this);
        other->setGeometry(10, 40, 200, 22);
        dispConnect(field, QStringLiteral("GotFocus"), this, [this](const QVariantList&) {
            events << QStringLiteral("GotFocus");
            dispPut(field, QStringLiteral("MskModified"), save); // .MskModified = ControllaSave
        });
        dispConnect(field, QStringLiteral("Change"), this, [this](const QVariantList&) {
            events << QStringLiteral("Change");
            save = true; // AccendiSave
        });
        dispConnect(field, QStringLiteral("LostFocus"), this, [this](const QVariantList&) {
            events << QStringLiteral("LostFocus");
            save = dispGet(field, QStringLiteral("MskModified")).toBool(); // SetSave .MskModified
        });
        dispConnect(field, QStringLiteral("KeyPress"), this, [this](const QVariantList& a) {
            events << QStringLiteral("KeyPress:%1").arg(a[0].toInt());
        });
        dispConnect(field, QStringLiteral("KeyDown"), this, [this](const QVariantList& a) {
            events << QStringLiteral("KeyDown:%1").arg(a[0].toInt());
        });
        for (const char* e : {"BeforeFocus", "AfterFocus"})
            dispConnect(field, QLatin1String(e), this,
                        [this, e](const QVariantList&) { events << QLatin1String(e); });
        show();
        activateWindow();
        if (!QTest::qWaitForWindowActive(this)) qWarning("host window not active");
        other->setFocus();
    }
    QLineEdit* box() const { return qobject_cast<QLineEdit*>(field->focusProxy()); }
    void enter() { dispInvoke(field, QStringLiteral("SetFocus")); }
    void leave() { other->setFocus(Qt::TabFocusReason); }
    void type(const QString& keys)
    {
        for (const QChar c : keys) {
            if (c.unicode() < 128)
                QTest::keyClick(box(), char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, box(), Qt::Key(c.toUpper().unicode()), QString(c),
                                    Qt::NoModifier);
        }
    }
    void set(const char* name, const QVariant& v) { QVERIFY2(dispPut(field, QLatin1String(name), v), name); }
    QVariant get(const char* name) const { return dispGet(field, QLatin1String(name)); }
    QString text() const { return get("Text").toString(); }
    QColor back() const { return box()->palette().color(QPalette::Base); }
    QColor fore() const { return box()->palette().color(QPalette::Text); }
    int count(const QString& e) const { return int(events.count(e)); }

    QWidget* field = nullptr;
    QLineEdit* other = nullptr;
    bool save = false;
    QStringList events;
};

QColor rgb(quint32 vb)
{
    return QColor(int(vb & 0xFF), int((vb >> 8) & 0xFF), int((vb >> 16) & 0xFF));
}

} // namespace

class TstTxt : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void init() { env_ = std::make_unique<TestEnv>(); }
    void cleanup() { env_.reset(); }
    void newInstance();
    void lucidaByEveryRoadShowsFixedPitch_data();
    void lucidaByEveryRoadShowsFixedPitch();
    void focusColours_data();
    void focusColours();
    void backColorPut_data();
    void backColorPut();
    void entrySelectsTheText();
    void upperCasing_data();
    void upperCasing();
    void keyOrderAndHostChangesKey();
    void composedCharacters_data();
    void composedCharacters();
    void numericKeys_data();
    void numericKeys();
    void leavingFormat_data();
    void leavingFormat();
    void nonNumericTextClearedOnEntry();
    void mskModified_data();
    void mskModified();
    void editKeptAfterAnEarlierVisitWithANumber();
    void maxLengthLimitsTypingOnly();
    void pasteObeysTheTypingRules_data();
    void pasteObeysTheTypingRules();
    void passwordChar();
    void heigAndWide();
    void persistenceOrder();
    void persistenceDefaults();
    void persistenceRoundTrip();

  private:
    std::unique_ptr<TestEnv> env_;
};

void TstTxt::newInstance()
{
    std::unique_ptr<QWidget> t(createControl(QStringLiteral("Ordalis.Txt_")));
    QCOMPARE(dispGet(t.get(), QStringLiteral("Prompt")).toString(), QStringLiteral("Txt_"));
    QCOMPARE(dispGet(t.get(), QStringLiteral("BckColor")).toInt(), 0xFFFFFF);
    QCOMPARE(dispGet(t.get(), QStringLiteral("DecimalPlace")).toInt(), 2);
    QCOMPARE(dispGet(t.get(), QStringLiteral("AllowLoCase")).toBool(), false);
    QCOMPARE(dispGet(t.get(), QStringLiteral("MskModified")).toBool(), false);
    QCOMPARE(dispGet(t.get(), QStringLiteral("BackColor")).toInt(), qint32(0x80000005));
    const QFont f = dispGet(t.get(), QStringLiteral("Font")).value<QFont>();
    QCOMPARE(f.family(), QStringLiteral("Lucida Console"));
    QCOMPARE(f.pointSizeF(), 8.25);
    // Installed or not, the face shown is fixed pitch.
    QVERIFY(showsFixedPitch(f));
}

void TstTxt::lucidaByEveryRoadShowsFixedPitch_data()
{
    QTest::addColumn<QString>("road");
    for (const char* r : {"setFont", "font property", "Font put", "stored bag"}) QTest::newRow(r) << QString::fromLatin1(r);
}

// A form names the family and a size only, as Designer saves it: the face shown is
// fixed pitch, installed or not, whichever way the font reaches the control.
void TstTxt::lucidaByEveryRoadShowsFixedPitch()
{
    QFETCH(QString, road);
    std::unique_ptr<QWidget> t(createControl(QStringLiteral("Ordalis.Txt_")));
    QFont named;
    named.setFamilies({QStringLiteral("Lucida Console")});
    named.setPointSize(12);
    if (road == QLatin1String("setFont")) {
        t->setFont(named);
    } else if (road == QLatin1String("font property")) {
        QVERIFY(t->setProperty("font", named));
    } else if (road == QLatin1String("Font put")) {
        QVERIFY(dispPut(t.get(), QStringLiteral("Font"), named));
    } else {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Font"), named);
        readProperties(t.get(), bag);
    }
    const QFont shown = t->findChild<QLineEdit*>()->font();
    QCOMPARE(shown.family(), QStringLiteral("Lucida Console"));
    QCOMPARE(shown.pointSize(), 12);
    QVERIFY2(showsFixedPitch(shown), qPrintable(QFontInfo(shown).family()));
}

void TstTxt::focusColours_data()
{
    QTest::addColumn<qint64>("bckColor");
    QTest::addColumn<QColor>("focusBack");
    QTest::addColumn<bool>("foreChanges");
    QTest::addColumn<QColor>("focusFore");
    QTest::newRow("standard focus colour") << qint64(0xFFFFFF) << rgb(0x80FFFF) << false << QColor();
    QTest::newRow("dark red, white text") << qint64(0x000080) << rgb(0x000080) << true << rgb(0xFFFFFF);
    QTest::newRow("light cyan, black text") << qint64(0xFFFF80) << rgb(0xFFFF80) << true << rgb(0);
    QTest::newRow("negative stands for its absolute value") << qint64(-0x80) << rgb(0x80) << true << rgb(0);
}

void TstTxt::focusColours()
{
    QFETCH(qint64, bckColor);
    QFETCH(QColor, focusBack);
    QFETCH(bool, foreChanges);
    QFETCH(QColor, focusFore);
    Host h;
    h.set("BckColor", bckColor);
    const QColor foreBefore = h.fore();
    h.enter();
    QCOMPARE(h.back(), focusBack);
    QCOMPARE(h.fore(), foreChanges ? focusFore : foreBefore);
    h.leave();
    QCOMPARE(h.back(), QApplication::palette().color(QPalette::Base)); // the system window colour
    QCOMPARE(h.get("BackColor").toInt(), qint32(0x80000005));
    QCOMPARE(h.fore(), rgb(0));
}

void TstTxt::backColorPut_data()
{
    QTest::addColumn<qint64>("put");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint64>("after");
    QTest::newRow("colour") << qint64(0xC0FFFF) << true << qint64(0xC0FFFF);
    QTest::newRow("negative, absolute value") << qint64(-0xFF) << true << qint64(0xFF);
    QTest::newRow("white") << qint64(0xFFFFFF) << true << qint64(0xFFFFFF);
    QTest::newRow("past white") << qint64(0x1000000) << false << qint64(0x123456);
    QTest::newRow("system colour") << qint64(qint32(0x80000005)) << false << qint64(0x123456);
    // The one number whose absolute value a Long cannot hold.
    QTest::newRow("&H80000000") << qint64(qint32(0x80000000)) << false << qint64(0x123456);
    QTest::newRow("beyond a Long") << qint64(0x100000000LL) << false << qint64(0x123456);
}

void TstTxt::backColorPut()
{
    QFETCH(qint64, put);
    QFETCH(bool, accepted);
    QFETCH(qint64, after);
    Host h;
    h.set("BackColor", 0x123456);
    QCOMPARE(h.get("BckColor").toInt(), 0x123456);
    QStringList notified;
    connect(h.field, SIGNAL(PropertyChanged(QString)), this, SLOT(deleteLater())); // signal exists
    disconnect(h.field, nullptr, this, nullptr);
    QCOMPARE(dispPut(h.field, QStringLiteral("BackColor"), put), accepted);
    QCOMPARE(dispError(h.field).isEmpty(), accepted);
    QCOMPARE(qint64(h.get("BackColor").toInt()), after);
    QCOMPARE(qint64(h.get("BckColor").toInt()), after);
    // The accepted colour is the focus colour from now on.
    h.enter();
    QCOMPARE(h.back(),
             rgb(after == 0xFFFFFF ? 0x80FFFF : quint32(after))); // white stands for the standard one
    // BckColor itself takes no number that is no colour either.
    QVERIFY(!dispPut(h.field, QStringLiteral("BckColor"), 0x1000000));
    QCOMPARE(qint64(h.get("BckColor").toInt()), after);
}

void TstTxt::entrySelectsTheText()
{
    Host h;
    h.set("Text", QStringLiteral("  abc "));
    h.enter();
    QCOMPARE(h.get("SelStart").toInt(), 0);
    QCOMPARE(h.get("SelLength").toInt(), 6);
    QCOMPARE(h.get("SelText").toString(), QStringLiteral("  abc "));
}

void TstTxt::upperCasing_data()
{
    QTest::addColumn<bool>("allowLoCase");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keyAscii");
    QTest::newRow("small a") << false << "a"
                             << "A" << 65;
    QTest::newRow("small z") << false << "z"
                             << "Z" << 90;
    QTest::newRow("accented stays") << false << QString::fromUtf8("à") << QString::fromUtf8("à") << 0xE0;
    QTest::newRow("capital stays") << false << "B"
                                   << "B" << 66;
    QTest::newRow("digit") << false << "7"
                           << "7" << 55;
    QTest::newRow("lower case allowed") << true << "a"
                                        << "a" << 97;
}

void TstTxt::upperCasing()
{
    QFETCH(bool, allowLoCase);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, keyAscii);
    Host h;
    h.set("AllowLoCase", allowLoCase);
    h.set("Text", QString());
    h.enter();
    h.type(typed);
    QCOMPARE(h.text(), text);
    QVERIFY(h.events.contains(QStringLiteral("KeyPress:%1").arg(keyAscii)));
}

void TstTxt::keyOrderAndHostChangesKey()
{
    Host h;
    h.set("Text", QString());
    h.enter();
    h.events.clear();
    h.type(QStringLiteral("b"));
    QCOMPARE(h.events, (QStringList{"KeyDown:66", "KeyPress:66", "Change"}));
    // Every argument is by reference: the host's KeyAscii is the one typed.
    dispConnectRef(h.field, QStringLiteral("KeyPress"), this, [](QVariantList& a) {
        if (a[0].toInt() == 'X')
            a[0] = 0;
        else if (a[0].toInt() == 'Q')
            a[0] = int('W');
    });
    h.type(QStringLiteral("xq"));
    QCOMPARE(h.text(), QStringLiteral("BW"));
    // A host that takes the key in KeyDown leaves the box nothing to do.
    dispConnectRef(h.field, QStringLiteral("KeyDown"), this, [](QVariantList& a) {
        if (a[0].toInt() == 70) a[0] = 0;
    });
    h.type(QStringLiteral("f"));
    QCOMPARE(h.text(), QStringLiteral("BW"));
    QCOMPARE(h.count(QStringLiteral("BeforeFocus")) + h.count(QStringLiteral("AfterFocus")), 0);
}

void TstTxt::composedCharacters_data()
{
    QTest::addColumn<QString>("tagZ");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("accented letter kept") << "" << QString::fromUtf8("è") << QString::fromUtf8("è") << 0;
    QTest::newRow("small letter upper-cased") << ""
                                              << "ab"
                                              << "AB" << 0;
    QTest::newRow("letter refused in numeric mode") << "N2" << QString::fromUtf8("é") << "" << 1;
    QTest::newRow("digits pass in numeric mode") << "N2"
                                                 << "12"
                                                 << "12" << 0;
}

void TstTxt::composedCharacters()
{
    QFETCH(QString, tagZ);
    QFETCH(QString, commit);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    Host h;
    h.set("TagZ", tagZ);
    h.set("MaxLength", 10);
    h.set("Text", QString());
    h.enter();
    QInputMethodEvent ev;
    ev.setCommitString(commit);
    QApplication::sendEvent(h.box(), &ev);
    QCOMPARE(h.text(), text);
    QCOMPARE(env_->dialogs().beeps, beeps);
}

void TstTxt::numericKeys_data()
{
    QTest::addColumn<QString>("tagZ");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<int>("keyPresses");
    QTest::newRow("digits") << "N2"
                            << "12"
                            << "12" << 0 << 2;
    QTest::newRow("letter refused") << "N2"
                                    << "1a"
                                    << "1" << 1 << 1;
    QTest::newRow("capital refused") << "N2"
                                     << "Z"
                                     << "" << 1 << 0;
    QTest::newRow("space refused") << "N2"
                                   << " "
                                   << "" << 1 << 0;
    QTest::newRow("comma") << "N2"
                           << "1,5"
                           << "1,5" << 0 << 3;
    QTest::newRow("point becomes comma") << "N2"
                                         << "1.5"
                                         << "1,5" << 0 << 3;
    QTest::newRow("minus first") << "N2"
                                 << "-3"
                                 << "-3" << 0 << 2;
    // A key the filter drops still reaches the host, as KeyAscii 0.
    QTest::newRow("no decimals, comma dropped") << "N0"
                                                << "1,5"
                                                << "15" << 0 << 3;
    QTest::newRow("N alone filters with 2 decimals") << "N"
                                                     << "1,5"
                                                     << "1,5" << 0 << 3;
    QTest::newRow("small n is no numeric mode") << "n2"
                                                << "a"
                                                << "A" << 0 << 1;
    QTest::newRow("other tag is no numeric mode") << "X2"
                                                  << "a "
                                                  << "A " << 0 << 2;
}

void TstTxt::numericKeys()
{
    QFETCH(QString, tagZ);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    QFETCH(int, keyPresses);
    Host h;
    h.set("TagZ", tagZ);
    h.set("MaxLength", 10);
    h.set("Text", QString());
    h.enter();
    h.events.clear();
    h.type(typed);
    QCOMPARE(h.text(), text);
    QCOMPARE(env_->dialogs().beeps, beeps);
    QCOMPARE(int(h.events.filter(QStringLiteral("KeyPress:")).size()), keyPresses);
}

void TstTxt::leavingFormat_data()
{
    QTest::addColumn<QString>("tagZ");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("textInside");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two decimals") << "N2" << 10 << "12"
                                  << "12,00";
    QTest::newRow("comma") << "N2" << 10 << "12,5"
                           << "12,50";
    QTest::newRow("point normalised") << "N2" << 10 << "12.5"
                                      << "12,50";
    QTest::newRow("point and grouping") << "N2" << 10 << "1.234,5"
                                        << "1234,50";
    QTest::newRow("rounded half up") << "N2" << 10 << "2,675"
                                     << "2,68";
    QTest::newRow("negative") << "N2" << 10 << "-3,456"
                              << "-3,46";
    QTest::newRow("tiny negative has no sign") << "N2" << 10 << "-0,001"
                                               << "0,00";
    QTest::newRow("N alone shows no decimals") << "N" << 10 << "12,7"
                                               << "13";
    QTest::newRow("N0") << "N0" << 10 << "3,5"
                        << "4";
    QTest::newRow("N3") << "N3" << 10 << "1,2345"
                        << "1,235";
    QTest::newRow("empty becomes zero") << "N2" << 10 << ""
                                        << "0,00";
    QTest::newRow("not a number becomes zero") << "N2" << 10 << "abc"
                                               << "0,00";
    QTest::newRow("more digits than the pattern") << "N2" << 5 << "123456,5"
                                                  << "123456,50";
    QTest::newRow("no MaxLength") << "N2" << 0 << "7"
                                  << "7,00";
    QTest::newRow("text mode keeps the text") << "" << 10 << " 12.5 "
                                              << " 12.5 ";
}

void TstTxt::leavingFormat()
{
    QFETCH(QString, tagZ);
    QFETCH(int, maxLength);
    QFETCH(QString, textInside);
    QFETCH(QString, shown);
    Host h;
    h.set("TagZ", tagZ);
    h.set("MaxLength", maxLength);
    h.set("Text", QString());
    h.enter();
    h.set("Text", textInside); // what the field holds when it is left
    const int changesBefore = h.count(QStringLiteral("Change"));
    h.leave();
    QCOMPARE(h.text(), shown);
    QCOMPARE(h.count(QStringLiteral("Change")) - changesBefore, shown == textInside ? 0 : 1);
}

void TstTxt::nonNumericTextClearedOnEntry()
{
    Host h;
    h.set("TagZ", QStringLiteral("N2"));
    h.set("Text", QStringLiteral("abc"));
    h.events.clear();
    h.enter();
    QCOMPARE(h.text(), QString());
    QCOMPARE(h.events, (QStringList{"Change", "GotFocus"}));
}

void TstTxt::mskModified_data()
{
    QTest::addColumn<QString>("tagZ");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("saveBefore");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("mskModified");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("no change, nothing to save") << ""
                                                << "ABC" << false << "" << false << "ABC";
    QTest::newRow("no change, window had changes") << ""
                                                   << "ABC" << true << "" << true << "ABC";
    QTest::newRow("typed") << ""
                           << "ABC" << false << "d" << true << "D";
    QTest::newRow("typed and typed back") << ""
                                          << "ABC" << false << "\bC" << false << "ABC";
    QTest::newRow("blanks around do not count") << ""
                                                << "ABC " << false << "\b" << false << "ABC";
    QTest::newRow("numeric, left alone") << "N2"
                                         << "5,00" << false << "" << false << "5,00";
    QTest::newRow("numeric, same number rewritten") << "N2"
                                                    << "5" << false << "" << false << "5,00";
    QTest::newRow("numeric, same number typed") << "N2"
                                                << "5,00" << false << "5" << false << "5,00";
    QTest::newRow("numeric, other number") << "N2"
                                           << "5,00" << false << "6" << true << "6,00";
    QTest::newRow("numeric, from empty") << "N2"
                                         << "" << false << "5" << true << "5,00";
}

void TstTxt::mskModified()
{
    QFETCH(QString, tagZ);
    QFETCH(QString, start);
    QFETCH(bool, saveBefore);
    QFETCH(QString, typed);
    QFETCH(bool, mskModified);
    QFETCH(QString, textAfter);
    Host h;
    h.set("TagZ", tagZ);
    h.set("MaxLength", 10);
    h.set("Text", start);
    h.save = saveBefore;
    h.enter();
    QCOMPARE(h.get("MskModified").toBool(), saveBefore);
    if (!typed.isEmpty()) {
        // Typing replaces the selected text; "\b" first keeps it and deletes its last character.
        if (typed.startsWith(QLatin1Char('\b'))) QTest::keyClick(h.box(), Qt::Key_End);
        for (const QChar c : typed) {
            if (c == QLatin1Char('\b'))
                QTest::keyClick(h.box(), Qt::Key_Backspace);
            else
                QTest::keyClicks(h.box(), QString(c));
        }
    }
    h.leave();
    QCOMPARE(h.text(), textAfter);
    QCOMPARE(h.get("MskModified").toBool(), mskModified);
    // The window's save command is on after the field exactly when it had changes or this field changed.
    QCOMPARE(h.save, mskModified);
}

void TstTxt::editKeptAfterAnEarlierVisitWithANumber()
{
    // Enter with 5,00 and leave; the host clears the field and has nothing to save.
    Host h;
    h.set("TagZ", QStringLiteral("N2"));
    h.set("MaxLength", 10);
    h.set("Text", QStringLiteral("5,00"));
    h.save = false;
    h.enter();
    h.leave();
    QCOMPARE(h.save, false);
    h.set("Text", QString());
    h.save = false; // SpegniSave
    // Enter again, type the same number as before, leave: this is a real edit.
    h.enter();
    QTest::keyClicks(h.box(), QStringLiteral("5"));
    h.leave();
    QCOMPARE(h.text(), QStringLiteral("5,00"));
    QCOMPARE(h.get("MskModified").toBool(), true);
    QCOMPARE(h.save, true);
}

void TstTxt::maxLengthLimitsTypingOnly()
{
    Host h;
    h.set("AllowLoCase", true);
    h.set("MaxLength", 5);
    const QString longText = QStringLiteral("abcdefghijkl");
    h.set("Text", longText);
    QCOMPARE(h.text(), longText); // code is not cut
    h.enter();
    QTest::keyClick(h.box(), Qt::Key_End);
    h.type(QStringLiteral("x"));
    QCOMPARE(h.text(), longText); // but the user cannot make it longer
    QCOMPARE(env_->dialogs().beeps, 1);
    QTest::keyClick(h.box(), Qt::Key_Backspace);
    QCOMPARE(h.text(), longText.left(11)); // and may shorten it
    h.set("Text", QString());
    h.type(QStringLiteral("123456"));
    QCOMPARE(h.text(), QStringLiteral("12345"));
    QCOMPARE(env_->dialogs().beeps, 2);
    h.leave();
    QCOMPARE(h.text(), QStringLiteral("12345"));
}

void TstTxt::pasteObeysTheTypingRules_data()
{
    QTest::addColumn<QString>("tagZ");
    QTest::addColumn<bool>("allowLoCase");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("beep");
    QTest::newRow("12 characters into a 10 field") << "" << false << 10 << "" << "ABCDEFGHIJKL"
                                                   << "ABCDEFGHIJ" << true;
    QTest::newRow("what fits after the text") << "" << false << 10 << "ABCDEFG" << "HIJKL" << "ABCDEFGHIJ"
                                              << true;
    QTest::newRow("into a full field") << "" << false << 10 << "ABCDEFGHIJ" << "K" << "ABCDEFGHIJ" << true;
    QTest::newRow("fits whole") << "" << false << 10 << "AB" << "CDE" << "ABCDE" << false;
    QTest::newRow("no MaxLength") << "" << false << 0 << "" << "ABCDEFGHIJKL" << "ABCDEFGHIJKL" << false;
    QTest::newRow("upper-cased") << "" << false << 0 << "" << "via roma" << "VIA ROMA" << false;
    QTest::newRow("accented letter kept") << "" << false << 0 << "" << QString::fromUtf8("città")
                                          << QString::fromUtf8("CITTà") << false;
    QTest::newRow("AllowLoCase") << "" << true << 0 << "" << "via roma" << "via roma" << false;
    QTest::newRow("first line only") << "" << false << 0 << "" << "riga uno\r\nriga due" << "RIGA UNO" << false;
    QTest::newRow("no tab") << "" << false << 0 << "" << "A\tB" << "AB" << false;
    QTest::newRow("number") << "N2" << false << 10 << "" << "-12,5" << "-12,5" << false;
    QTest::newRow("point becomes comma") << "N2" << false << 10 << "" << "12.5" << "12,5" << false;
    QTest::newRow("exponent refused") << "N2" << false << 10 << "" << "1e300" << "" << true;
    QTest::newRow("exponent refused, no MaxLength") << "N2" << false << 0 << "" << "1e300" << "" << true;
    QTest::newRow("letters refused") << "N2" << false << 10 << "" << "12a" << "" << true;
    QTest::newRow("longer than MaxLength refused whole") << "N2" << false << 10 << "" << "12345678901"
                                                         << "" << true;
    QTest::newRow("more digits than a number holds") << "N2" << false << 0 << ""
                                                     << "12345678901234567890" << "" << true;
    QTest::newRow("comma without decimals") << "N0" << false << 10 << "" << "1,5" << "" << true;
    QTest::newRow("second comma") << "N2" << false << 10 << "1,5" << ",2" << "1,5" << true;
    QTest::newRow("digits after a number") << "N2" << false << 10 << "1,5" << "25" << "1,525" << false;
}

// Ctrl+V and the box's Paste command (the road of its context menu and of a drop).
void TstTxt::pasteObeysTheTypingRules()
{
    QFETCH(QString, tagZ);
    QFETCH(bool, allowLoCase);
    QFETCH(int, maxLength);
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(bool, beep);
    Host h;
    h.set("TagZ", tagZ);
    h.set("AllowLoCase", allowLoCase);
    h.set("MaxLength", maxLength);
    QApplication::clipboard()->setText(pasted);
    for (const bool byKeys : {true, false}) {
        h.set("Text", before);
        h.enter();
        h.box()->end(false);
        const int beeps = env_->dialogs().beeps;
        if (byKeys)
            QTest::keyClick(h.box(), Qt::Key_V, Qt::ControlModifier);
        else
            h.box()->paste();
        QCOMPARE(h.text(), after);
        QCOMPARE(env_->dialogs().beeps - beeps, beep ? 1 : 0);
        h.leave();
    }
}

void TstTxt::passwordChar()
{
    Host h;
    h.set("Text", QStringLiteral("segreto"));
    QCOMPARE(h.box()->displayText(), QStringLiteral("segreto"));
    h.set("PasswordChar", QStringLiteral("*"));
    QCOMPARE(h.get("PasswordChar").toString(), QStringLiteral("*"));
    QCOMPARE(h.box()->displayText(), QStringLiteral("*******"));
    QCOMPARE(h.text(), QStringLiteral("segreto"));
    h.set("PasswordChar", QString());
    QCOMPARE(h.box()->displayText(), QStringLiteral("segreto"));
    QVERIFY(!dispPut(h.field, QStringLiteral("PasswordChar"), QStringLiteral("**")));
    QCOMPARE(h.get("PasswordChar").toString(), QString());
}

void TstTxt::heigAndWide()
{
    Host h;
    QStringList notified;
    QObject::connect(h.field, SIGNAL(PropertyChanged(QString)), this, SLOT(deleteLater()));
    QObject::disconnect(h.field, SIGNAL(PropertyChanged(QString)), this, SLOT(deleteLater()));
    h.set("Heig", 500);
    h.set("Wide", 3000);
    QCOMPARE(h.field->height(), 33); // 15 twips to the pixel
    QCOMPARE(h.field->width(), 200);
    QCOMPARE(h.box()->size(), QSize(200, 33));
    h.field->resize(120, 40);
    QCOMPARE(h.box()->size(), QSize(120, 40));
    QCOMPARE(h.get("Heig").toInt(), 500);
    QCOMPARE(h.get("Wide").toInt(), 3000);
    // 0 leaves the size as drawn.
    h.set("Wide", 0);
    h.set("Heig", 0);
    QCOMPARE(h.field->size(), QSize(120, 40));
    QCOMPARE(h.box()->size(), QSize(120, 40));
    QCOMPARE(h.get("Wide").toInt(), 0);
}

namespace
{
const QStringList kPersisted = {"BackColor",   "Enabled",      "Font",         "Alignment", "Locked",
                                "MaxLength",   "MousePointer", "PasswordChar", "SelLength", "SelStart",
                                "SelText",     "Text",         "ToolTipText",  "TagZ",      "Prompt",
                                "BckColor",    "IsNum",        "DecimalPlace", "Wide",      "Width",
                                "AllowLoCase", "MskModified"};
}

void TstTxt::persistenceOrder()
{
    std::unique_ptr<QWidget> t(createControl(QStringLiteral("Ordalis.Txt_")));
    auto put = [&](const char* n, const QVariant& v) { QVERIFY2(dispPut(t.get(), QLatin1String(n), v), n); };
    put("BackColor", 0x00FF00);
    put("Enabled", false);
    put("Alignment", 1);
    put("Locked", true);
    put("MaxLength", 20);
    put("MousePointer", 3);
    put("PasswordChar", QStringLiteral("*"));
    put("Text", QStringLiteral("abcdef"));
    put("SelStart", 1);
    put("SelLength", 3);
    put("ToolTipText", QStringLiteral("aiuto"));
    put("TagZ", QStringLiteral("N2"));
    put("Prompt", QStringLiteral("Importo"));
    put("BckColor", 0x000080);
    put("IsNum", true);
    put("DecimalPlace", 3);
    put("Wide", 1500);
    put("AllowLoCase", true);
    put("MskModified", true);
    put("Heig", 400);
    PropertyBag bag;
    writeProperties(t.get(), bag);
    QCOMPARE(bag.names(), kPersisted);
    QCOMPARE(bag.ReadProperty(QStringLiteral("Width")).toInt(), 1500);
    QVERIFY(!bag.contains(QStringLiteral("Heig")));
}

void TstTxt::persistenceDefaults()
{
    QWidget form;
    QFont ambient(QStringLiteral("DejaVu Sans"), 11);
    form.setFont(ambient);
    std::unique_ptr<QWidget> t(createControl(QStringLiteral("Ordalis.Txt_"), &form));
    // A new instance differs from the stored defaults only where its inner box starts otherwise.
    PropertyBag fresh;
    writeProperties(t.get(), fresh);
    QCOMPARE(fresh.names(), (QStringList{"Font", "Text", "Prompt"}));
    // An empty bag gives every default.
    readProperties(t.get(), PropertyBag());
    QCOMPARE(dispGet(t.get(), QStringLiteral("BackColor")).toInt(), qint32(0x80000005));
    QCOMPARE(dispGet(t.get(), QStringLiteral("Enabled")).toBool(), true);
    QCOMPARE(dispGet(t.get(), QStringLiteral("Font")).value<QFont>(), ambient);
    QCOMPARE(dispGet(t.get(), QStringLiteral("Text")).toString(), QStringLiteral("Text1"));
    QCOMPARE(dispGet(t.get(), QStringLiteral("Prompt")).toString(), QString());
    QCOMPARE(dispGet(t.get(), QStringLiteral("BckColor")).toInt(), 0xFFFFFF);
    QCOMPARE(dispGet(t.get(), QStringLiteral("DecimalPlace")).toInt(), 2);
    QCOMPARE(dispGet(t.get(), QStringLiteral("MaxLength")).toInt(), 0);
    PropertyBag again;
    writeProperties(t.get(), again);
    QCOMPARE(again.names(), QStringList());
}

void TstTxt::persistenceRoundTrip()
{
    std::unique_ptr<QWidget> a(createControl(QStringLiteral("Ordalis.Txt_")));
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("BackColor"), qint32(0x8000000F)); // a system colour is applied as it is
    bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("una riga molto lunga"));
    bag.WriteProperty(QStringLiteral("MaxLength"), 4);
    bag.WriteProperty(QStringLiteral("TagZ"), QStringLiteral("N2"));
    bag.WriteProperty(QStringLiteral("Prompt"), QStringLiteral("Importo"));
    bag.WriteProperty(QStringLiteral("BckColor"), 0x80);
    bag.WriteProperty(QStringLiteral("Wide"), 3000);
    bag.WriteProperty(QStringLiteral("Width"), 4500); // written for others, never read
    bag.WriteProperty(QStringLiteral("AllowLoCase"), true);
    const int widthBefore = a->width();
    readProperties(a.get(), bag);
    QCOMPARE(dispGet(a.get(), QStringLiteral("BackColor")).toInt(), qint32(0x8000000F));
    QCOMPARE(dispGet(a.get(), QStringLiteral("BckColor")).toInt(), 0x80);
    QCOMPARE(dispGet(a.get(), QStringLiteral("Text")).toString(), QStringLiteral("una riga molto lunga"));
    QCOMPARE(dispGet(a.get(), QStringLiteral("Wide")).toInt(), 3000);
    QCOMPARE(a->width(), widthBefore); // stored only
    PropertyBag out;
    writeProperties(a.get(), out);
    for (const QString& n : {QStringLiteral("BackColor"), QStringLiteral("Text"), QStringLiteral("MaxLength"),
                             QStringLiteral("TagZ"), QStringLiteral("Prompt"), QStringLiteral("BckColor"),
                             QStringLiteral("Wide"), QStringLiteral("AllowLoCase")})
        QCOMPARE(out.ReadProperty(n), bag.ReadProperty(n));
    QCOMPARE(out.ReadProperty(QStringLiteral("Width")).toInt(), 3000);
}

QTEST_MAIN(TstTxt)
#include "tst_txt.moc"
