// The library's tables: classes, members and their dispatch identifiers, events,
// aliases, the factory, colours.
#include "controls/Ordalis.h"
#include "controls/VbColor.h"

#include "support/TestEnv.h"

#include <QMetaObject>
#include <QPixmap>
#include <QTest>

#include <memory>

using namespace Ordalis;

class TstFrame : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void members_data();
    void members();
    void membersInInterfaceOrder_data();
    void membersInInterfaceOrder();
    void defaultMember_data();
    void defaultMember();
    void events_data();
    void events();
    void unknownNamesRefused_data();
    void unknownNamesRefused();
    void innerBoxNotReachable();
    void readOnlyMembersRefusePuts_data();
    void readOnlyMembersRefusePuts();
    void interfacesAndAliases_data();
    void interfacesAndAliases();
    void factory_data();
    void factory();
    void canUnloadNowFollowsLiveObjects();
    void typeLibrary();
    void contrastColour_data();
    void contrastColour();
    void vbColours_data();
    void vbColours();
};

namespace
{
std::unique_ptr<QWidget> make(const QString& progId)
{
    return std::unique_ptr<QWidget>(createControl(progId));
}

const QStringList kTxtMembers = {
    "BackColor",    "Enabled",      "Font",        "Refresh",      "Alignment",   "hWnd",      "Locked",
    "MaxLength",    "MousePointer", "MultiLine",   "PasswordChar", "ScrollBars",  "SelLength", "SelStart",
    "SelText",      "Text",         "ToolTipText", "Prompt",       "TagZ",        "BckColor",  "IsNum",
    "DecimalPlace", "Heig",         "Wide",        "AllowLoCase",  "MskModified", "About"};
const QStringList kChkMembers = {"BackColor",         "BackStyle", "BorderStyle", "Refresh",   "AutoRedraw",
                                 "CanPropertyChange", "CurrentY",  "PopupMenu",   "ForeColor", "Enabled",
                                 "CurrentX",          "Font",      "Caption",     "Value",     "Alignment",
                                 "ToolTipText",       "Prompt",    "MskModified", "About",     "TagZ"};
const QStringList kDatMembers = {
    "BackColor", "ForeColor",   "Enabled",  "Font",        "BackStyle",     "BorderStyle", "Refresh",
    "Format",    "hWnd",        "Mask",     "Prompt",      "MaskPicture",   "SelLength",   "SelStart",
    "SelText",   "PromptChar",  "ClipMode", "AllowPrompt", "PromptInclude", "AltString",   "ToolTipText",
    "StringA",   "MskModified", "Heig",     "Wide",        "About",         "FntSize",     "TagZ"};
} // namespace

void TstFrame::members_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("dispId");
    QTest::addColumn<bool>("isMethod");
    struct R {
        const char* name;
        qint64 id;
        bool method;
    };
    const R txt[] = {
        {"BackColor", 0x680300EB, false},
        {"Enabled", 0x680300EA, false},
        {"Font", -512, false},
        {"Refresh", 0x600300EC, true},
        {"Alignment", 0x680300E9, false},
        {"hWnd", 0x680300E8, false},
        {"Locked", 0x680300E7, false},
        {"MaxLength", 0x680300E6, false},
        {"MousePointer", 0x680300E5, false},
        {"MultiLine", 0x680300E4, false},
        {"PasswordChar", 0x680300E3, false},
        {"ScrollBars", 0x680300E2, false},
        {"SelLength", 0x680300E1, false},
        {"SelStart", 0x680300E0, false},
        {"SelText", 0x680300DF, false},
        {"Text", 0, false},
        {"ToolTipText", 0x680300DE, false},
        {"Prompt", 0x680300DD, false},
        {"TagZ", 0x680300DC, false},
        {"BckColor", 0x680300DB, false},
        {"IsNum", 0x680300DA, false},
        {"DecimalPlace", 0x680300D9, false},
        {"Heig", 0x680300D8, false},
        {"Wide", 0x680300D7, false},
        {"AllowLoCase", 0x680300D6, false},
        {"MskModified", 0x680300D5, false},
        {"About", 0x600300F7, true},
    };
    const R chk[] = {
        {"BackColor", 0x6803008B, false},   {"BackStyle", 0x6803008A, false},
        {"BorderStyle", 0x68030089, false}, {"Refresh", 0x6003008C, true},
        {"AutoRedraw", 0x68030088, false},  {"CanPropertyChange", 0x6003008D, true},
        {"CurrentY", 0x68030087, false},    {"PopupMenu", 0x6003008E, true},
        {"ForeColor", 0x68030086, false},   {"Enabled", 0x68030085, false},
        {"CurrentX", 0x68030084, false},    {"Font", -512, false},
        {"Caption", 0x68030083, false},     {"Value", 0, false},
        {"Alignment", 0x68030082, false},   {"ToolTipText", 0x68030081, false},
        {"Prompt", 0x68030080, false},      {"MskModified", 0x6803007F, false},
        {"About", 0x60030096, true},        {"TagZ", 0x68030097, false},
    };
    const R dat[] = {
        {"BackColor", 0x680300A5, false},     {"ForeColor", 0x680300A4, false},
        {"Enabled", 0x680300A3, false},       {"Font", -512, false},
        {"BackStyle", 0x680300A2, false},     {"BorderStyle", 0x680300A1, false},
        {"Refresh", 0x600300A6, true},        {"Format", 0x680300A0, false},
        {"hWnd", 0x6803009F, false},          {"Mask", 0x6803009E, false},
        {"Prompt", 0x6803009D, false},        {"MaskPicture", 0x6803009C, false},
        {"SelLength", 0x6803009B, false},     {"SelStart", 0x6803009A, false},
        {"SelText", 0x68030099, false},       {"PromptChar", 0x68030098, false},
        {"ClipMode", 0x68030097, false},      {"AllowPrompt", 0x68030096, false},
        {"PromptInclude", 0x68030095, false}, {"AltString", 0x68030094, false},
        {"ToolTipText", 0x68030093, false},   {"StringA", 0, false},
        {"MskModified", 0x68030092, false},   {"Heig", 0x680300A8, false},
        {"Wide", 0x680300A7, false},          {"About", 0x600300B6, true},
        {"FntSize", 0x680300B7, false},       {"TagZ", 0x680300B8, false},
    };
    for (const R& r : dat)
        QTest::addRow("Dat_.%s", r.name) << "Ordalis.Dat_" << r.name << r.id << r.method;
    for (const R& r : txt)
        QTest::addRow("Txt_.%s", r.name) << "Ordalis.Txt_" << r.name << r.id << r.method;
    for (const R& r : chk)
        QTest::addRow("Chk_.%s", r.name) << "Ordalis.Chk_" << r.name << r.id << r.method;
}

void TstFrame::members()
{
    QFETCH(QString, progId);
    QFETCH(QString, name);
    QFETCH(qint64, dispId);
    QFETCH(bool, isMethod);
    auto c = make(progId);
    QVERIFY(c);
    qint32 id = 1;
    QVERIFY(dispIdOf(c.get(), name, &id));
    QCOMPARE(qint64(id), dispId);
    // Dispatch names are case-insensitive.
    id = 1;
    QVERIFY(dispIdOf(c.get(), name.toUpper(), &id));
    QCOMPARE(qint64(id), dispId);
    const QString byHex = QStringLiteral("&H%1").arg(quint32(qint32(dispId)), 0, 16);
    if (isMethod) {
        if (name == QLatin1String("About")) return; // shows a modal box: tested with the box
        QVariantList args;
        if (name == QLatin1String("CanPropertyChange")) args << QStringLiteral("Caption");
        if (name == QLatin1String("PopupMenu")) args << QVariant::fromValue<QObject*>(nullptr);
        dispInvoke(c.get(), name, args);
        QCOMPARE(dispError(c.get()), QString());
        dispInvoke(c.get(), byHex, args);
        QCOMPARE(dispError(c.get()), QString());
    } else {
        const QVariant byName = dispGet(c.get(), name);
        QVERIFY2(byName.isValid(), qPrintable(name));
        if (byName.typeId() == QMetaType::QPixmap) {
            // A picture has no equality: the same empty picture answers by every name.
            for (const QVariant& v : {dispGet(c.get(), qint32(dispId)), dispGet(c.get(), byHex)})
                QVERIFY(v.typeId() == QMetaType::QPixmap && v.value<QPixmap>().isNull());
            return;
        }
        QCOMPARE(dispGet(c.get(), qint32(dispId)), byName);
        QCOMPARE(dispGet(c.get(), byHex), byName);
        QCOMPARE(dispGet(c.get(), name.toLower()), byName);
    }
}

void TstFrame::membersInInterfaceOrder_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("Txt_") << "Ordalis.Txt_" << kTxtMembers;
    QTest::newRow("Chk_") << "Ordalis.Chk_" << kChkMembers;
    QTest::newRow("Dat_") << "Ordalis.Dat_" << kDatMembers;
}

void TstFrame::membersInInterfaceOrder()
{
    QFETCH(QString, progId);
    QFETCH(QStringList, order);
    auto c = make(progId);
    QCOMPARE(dispMembers(c.get()), order);
}

void TstFrame::defaultMember_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("Txt_ Text") << "Ordalis.Txt_"
                               << "Text" << QVariant(QStringLiteral("abc"));
    QTest::newRow("Chk_ Value") << "Ordalis.Chk_"
                                << "Value" << QVariant(1);
    QTest::newRow("Dat_ StringA") << "Ordalis.Dat_"
                                  << "StringA" << QVariant(QStringLiteral("15/02/2024"));
}

void TstFrame::defaultMember()
{
    QFETCH(QString, progId);
    QFETCH(QString, member);
    QFETCH(QVariant, value);
    auto c = make(progId);
    QVERIFY(dispPut(c.get(), QString(), value));
    QCOMPARE(dispGet(c.get(), member), value);
    QCOMPARE(dispGet(c.get(), QString()), value);
    QCOMPARE(dispGet(c.get(), qint32(0)), value);
}

void TstFrame::events_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("event");
    QTest::addColumn<int>("number");
    const char* txt[] = {"KeyDown", "KeyPress", "Change", "BeforeFocus", "AfterFocus"};
    for (int i = 0; i < 5; ++i)
        QTest::addRow("Txt_.%s", txt[i]) << "Ordalis.Txt_" << txt[i] << i + 1;
    const char* chk[] = {"Resize",   "Click",          "DblClick",       "KeyDown",
                         "KeyPress", "KeyUp",          "MouseDown",      "MouseMove",
                         "MouseUp",  "InitProperties", "ReadProperties", "WriteProperties"};
    for (int i = 0; i < 12; ++i)
        QTest::addRow("Chk_.%s", chk[i]) << "Ordalis.Chk_" << chk[i] << i + 1;
    const char* dat[] = {"KeyDown",  "KeyPress",  "KeyUp",     "Change", "Click",
                         "DblClick", "MouseDown", "MouseMove", "MouseUp"};
    for (int i = 0; i < 9; ++i)
        QTest::addRow("Dat_.%s", dat[i]) << "Ordalis.Dat_" << dat[i] << i + 1;
    // The container's focus events have no number.
    for (const char* p : {"Ordalis.Txt_", "Ordalis.Chk_", "Ordalis.Dat_"})
        for (const char* e : {"GotFocus", "LostFocus"})
            QTest::addRow("%s.%s", p + 8, e) << p << e << 0;
}

void TstFrame::events()
{
    QFETCH(QString, progId);
    QFETCH(QString, event);
    QFETCH(int, number);
    auto c = make(progId);
    QCOMPARE(eventNumber(c.get(), event), number);
    QVERIFY(dispEvents(c.get()).contains(event));
    QVERIFY(dispConnect(c.get(), event, this, [](const QVariantList&) {}));
    QVERIFY(dispConnect(c.get(), event.toLower(), this, [](const QVariantList&) {}));
    if (number) QVERIFY(dispConnect(c.get(), QString::number(number), this, [](const QVariantList&) {}));
}

void TstFrame::unknownNamesRefused_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("name");
    for (const char* p : {"Ordalis.Txt_", "Ordalis.Chk_", "Ordalis.Dat_"}) {
        // Qt's own members of the widget are not the control's.
        for (const char* n : {"geometry", "objectName", "deleteLater", "update", "Bogus", "0x12345678", "-1"})
            QTest::addRow("%s %s", p + 8, n) << p << n;
    }
    QTest::newRow("Txt_ event as member") << "Ordalis.Txt_"
                                          << "Change";
    QTest::newRow("Chk_ Txt_ member") << "Ordalis.Chk_"
                                      << "PasswordChar";
    QTest::newRow("Txt_ Chk_ member") << "Ordalis.Txt_"
                                      << "Caption";
}

void TstFrame::unknownNamesRefused()
{
    QFETCH(QString, progId);
    QFETCH(QString, name);
    auto c = make(progId);
    QVERIFY(!dispIdOf(c.get(), name, nullptr));
    QVERIFY(!dispGet(c.get(), name).isValid());
    QVERIFY(!dispError(c.get()).isEmpty());
    QVERIFY(!dispPut(c.get(), name, 1));
    QVERIFY(!dispError(c.get()).isEmpty());
    dispInvoke(c.get(), name);
    QVERIFY(!dispError(c.get()).isEmpty());
    QVERIFY(!dispConnect(c.get(), name + QStringLiteral("X"), this, [](const QVariantList&) {}));
}

void TstFrame::innerBoxNotReachable()
{
    auto t = make(QStringLiteral("Ordalis.Txt_"));
    for (const QString& n : {QStringLiteral("Padre"), QStringLiteral("padre")}) {
        QVERIFY(!dispGet(t.get(), n).isValid());
        QVERIFY(!dispPut(t.get(), n, QVariant()));
        QVERIFY(!dispInvoke(t.get(), n).isValid());
        QVERIFY(!dispError(t.get()).isEmpty());
    }
    // Nor through Qt's own meta-object, which form loaders and scripts use.
    const QMetaObject* mo = t->metaObject();
    QCOMPARE(mo->indexOfProperty("Padre"), -1);
    for (int i = 0; i < mo->methodCount(); ++i)
        QVERIFY(mo->method(i).name() != "Padre");
}

void TstFrame::readOnlyMembersRefusePuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("hWnd") << "hWnd";
    QTest::newRow("MultiLine") << "MultiLine";
    QTest::newRow("ScrollBars") << "ScrollBars";
}

void TstFrame::readOnlyMembersRefusePuts()
{
    QFETCH(QString, name);
    auto t = make(QStringLiteral("Ordalis.Txt_"));
    const QVariant before = dispGet(t.get(), name);
    QVERIFY(!dispPut(t.get(), name, 1));
    QVERIFY(!dispError(t.get()).isEmpty());
    QCOMPARE(dispGet(t.get(), name), before);
}

void TstFrame::interfacesAndAliases_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("className");
    for (const ClassEntry& e : libraryClasses())
        if (e.creatable) QTest::newRow(qPrintable(e.name)) << e.progId << e.name;
}

void TstFrame::interfacesAndAliases()
{
    QFETCH(QString, progId);
    QFETCH(QString, className);
    auto c = make(progId);
    ClassEntry me;
    QStringList others;
    QSet<QString> ids;
    for (const ClassEntry& e : libraryClasses()) {
        QVERIFY(!ids.contains(e.classId));
        ids << e.classId << e.interfaceId;
        if (e.name == className)
            me = e;
        else if (!e.interfaceId.isEmpty())
            others << e.interfaceId << e.aliasIds;
    }
    QVERIFY(queryInterface(c.get(), me.interfaceId));
    QVERIFY(queryInterface(c.get(), me.interfaceName));
    const int expectedAliases = className == QLatin1String("Txt_")   ? 1
                                : className == QLatin1String("Dat_") ? 4
                                                                     : 2;
    QCOMPARE(me.aliases.size(), expectedAliases);
    QCOMPARE(me.olderEventInterfaceIds.size(), expectedAliases);
    for (int i = 0; i < me.aliases.size(); ++i) {
        QCOMPARE(me.aliases[i], QStringLiteral("%1___v%2").arg(className).arg(i));
        QCOMPARE(me.aliasVersions[i], QStringLiteral("1.%1").arg(i));
        QVERIFY(queryInterface(c.get(), me.aliasIds[i]));
        QVERIFY(queryInterface(c.get(), me.aliasIds[i].toLower().remove('{').remove('}')));
        QVERIFY(queryInterface(c.get(), me.aliases[i]));
    }
    for (const QString& id : others)
        QVERIFY2(!queryInterface(c.get(), id), qPrintable(id));
    QVERIFY(acceptsEventInterface(c.get(), me.eventInterfaceId));
    for (const QString& old : me.olderEventInterfaceIds)
        QVERIFY(acceptsEventInterface(c.get(), old));
    QVERIFY(!acceptsEventInterface(c.get(), me.interfaceId));
    // Whatever interface the host bound through, the same members answer.
    QCOMPARE(dispMembers(c.get()).isEmpty(), false);
}

void TstFrame::factory_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("progId");
    QTest::newRow("Txt_") << "Ordalis.Txt_"
                          << "Ordalis.Txt_";
    QTest::newRow("Chk_") << "Ordalis.Chk_"
                          << "Ordalis.Chk_";
    QTest::newRow("ProgID any case") << "ordalis.txt_"
                                     << "Ordalis.Txt_";
    QTest::newRow("Txt_ class id") << "{86CF881F-E5D1-4C86-BE31-6F92ED61DE35}"
                                   << "Ordalis.Txt_";
    QTest::newRow("Chk_ class id bare") << "9caa560e-98c8-42cd-a7b6-230ff8c3b93c"
                                        << "Ordalis.Chk_";
    QTest::newRow("Txt_ 1.0 alias") << "Ordalis.Txt____v0"
                                    << "Ordalis.Txt_";
    QTest::newRow("Chk_ 1.1 alias bare") << "Chk____v1"
                                         << "Ordalis.Chk_";
    QTest::newRow("Chk_ 1.0 alias id") << "{30F0DAF6-589A-48A7-9F88-41D2F09D90ED}"
                                       << "Ordalis.Chk_";
    QTest::newRow("interface is no class") << "{04C8C4B9-5382-426D-8C3B-E4803272B736}"
                                           << "";
    QTest::newRow("Dat_") << "Ordalis.Dat_"
                          << "Ordalis.Dat_";
    QTest::newRow("Dat_ ProgID any case") << "ORDALIS.dat_"
                                          << "Ordalis.Dat_";
    QTest::newRow("Dat_ class id") << "{B4EA2F53-9182-4F39-A843-FEC18DCB011C}"
                                   << "Ordalis.Dat_";
    QTest::newRow("Dat_ 1.0 alias") << "Ordalis.Dat____v0"
                                    << "Ordalis.Dat_";
    QTest::newRow("Dat_ 1.1 alias id") << "{6643F5E9-9F40-4B47-866C-56912C04D39E}"
                                       << "Ordalis.Dat_";
    QTest::newRow("Dat_ 1.2 alias") << "Dat____v2"
                                    << "Ordalis.Dat_";
    QTest::newRow("Dat_ 1.3 alias id") << "{304A9B84-CEC2-4325-BD1C-7E9EECCA7BB3}"
                                       << "Ordalis.Dat_";
    QTest::newRow("property page") << "{51C45DC0-5DA2-45CB-99DE-CCEFA15DB979}"
                                   << "";
    QTest::newRow("unknown") << "Ordalis.Lbl_"
                             << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TstFrame::factory()
{
    QFETCH(QString, id);
    QFETCH(QString, progId);
    QWidget parent;
    QWidget* c = createControl(id, &parent);
    QCOMPARE(c != nullptr, !progId.isEmpty());
    if (c) {
        QCOMPARE(progIdOf(c), progId);
        QCOMPARE(c->parentWidget(), &parent);
    }
    QCOMPARE(progIdOf(&parent), QString());
}

void TstFrame::canUnloadNowFollowsLiveObjects()
{
    QVERIFY(canUnloadNow());
    {
        auto t = make(QStringLiteral("Ordalis.Txt_"));
        auto k = make(QStringLiteral("Ordalis.Chk_"));
        QVERIFY(!canUnloadNow());
        t.reset();
        QVERIFY(!canUnloadNow());
    }
    QVERIFY(canUnloadNow());
}

void TstFrame::typeLibrary()
{
    QCOMPARE(typeLibraryName(), QStringLiteral("Ordalis"));
    QCOMPARE(typeLibraryVersion(), QStringLiteral("19.5"));
    QCOMPARE(typeLibraryLocale(), 1033);
    QCOMPARE(typeLibraryHelp(), QStringLiteral("VANTRE - TxtBox/ChkBox/DatBox Avanzati"));
    QStringList names;
    for (const ClassEntry& e : libraryClasses())
        names << e.name + QLatin1Char(' ') + e.version;
    QCOMPARE(names,
             (QStringList{"Txt_ 1.1", "Dat_ 1.4", "Chk_ 1.2", QString::fromUtf8("ProprietàTxt 1.0"),
                          QString::fromUtf8("ProprietàChk 1.0"), QString::fromUtf8("ProprietàDat 1.0")}));
}

void TstFrame::contrastColour_data()
{
    QTest::addColumn<qint64>("back");
    QTest::addColumn<qint64>("fore");
    QTest::newRow("light yellow") << qint64(0x80FFFF) << qint64(0);
    QTest::newRow("white") << qint64(0xFFFFFF) << qint64(0);
    QTest::newRow("black") << qint64(0) << qint64(0xFFFFFF);
    QTest::newRow("dark red") << qint64(0x000080) << qint64(0xFFFFFF);
    QTest::newRow("dark blue") << qint64(0x800000) << qint64(0xFFFFFF);
    // Brightness 500 exactly (R FF, G 57, B 02) is no longer dark; 499 is.
    QTest::newRow("brightness 500") << qint64(0x0257FF) << qint64(0);
    QTest::newRow("brightness 499") << qint64(0x0057FF) << qint64(0xFFFFFF);
    // A system colour is written with all its eight digits.
    QTest::newRow("system window") << qint64(qint32(0x80000005)) << qint64(0xFFFFFF);
}

void TstFrame::contrastColour()
{
    QFETCH(qint64, back);
    QFETCH(qint64, fore);
    QCOMPARE(qint64(ColoreContrasto(qint32(back))), fore);
}

void TstFrame::vbColours_data()
{
    QTest::addColumn<qint64>("vb");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red is the low byte") << qint64(0x0000FF) << true << QColor(255, 0, 0);
    QTest::newRow("blue is the high byte") << qint64(0xFF0000) << true << QColor(0, 0, 255);
    QTest::newRow("light yellow") << qint64(0x80FFFF) << true << QColor(255, 255, 128);
    QTest::newRow("window colour") << qint64(qint32(0x80000005)) << true
                                   << QGuiApplication::palette().color(QPalette::Base);
    QTest::newRow("button text") << qint64(qint32(0x80000012)) << true
                                 << QGuiApplication::palette().color(QPalette::ButtonText);
    QTest::newRow("past white") << qint64(0x1000000) << false << QColor();
    QTest::newRow("unknown system colour") << qint64(qint32(0x80000100)) << false << QColor();
    QTest::newRow("negative") << qint64(-1) << false << QColor();
}

void TstFrame::vbColours()
{
    QFETCH(qint64, vb);
    QFETCH(bool, valid);
    QFETCH(QColor, colour);
    QCOMPARE(VbColor::isValid(vb), valid);
    if (!valid) return;
    QCOMPARE(VbColor::toQColor(qint32(vb)), colour);
    if (!VbColor::isSystem(vb)) QCOMPARE(qint64(VbColor::fromQColor(colour)), vb);
}

QTEST_MAIN(TstFrame)
#include "tst_frame.moc"
