// A form made in the designer, loaded at run time, its controls reached only by name.
#include "controls/Ordalis.h"

#include "support/TestEnv.h"
#include "ui_F_Standard.h"

#include <QBuffer>
#include <QFile>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <QtDesigner/QFormBuilder>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <memory>

class TstDesigner : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void cleanup();
    void pluginWidgets_data();
    void pluginWidgets();
    void propertyTypesDesignerSaves_data();
    void propertyTypesDesignerSaves();
    void propertyRoundTrip_data();
    void propertyRoundTrip();
    void dateFieldFromTheForm();
    void formMakesRealControlsWithItsProperties();
    void textFieldDrivenByName();
    void checkBoxDrivenByName();
    void focusAndKeyEventsReachTheHost();
    void rightReleaseOnCheckBoxReachesTheHost();
    void saveConventionAcrossFields();
    void standardPropertiesAgreeOnEveryRoad_data();
    void standardPropertiesAgreeOnEveryRoad();

  private:
    std::unique_ptr<TestEnv> env_;
    std::unique_ptr<QWidget> form_;
    QWidget* txt_ = nullptr;
    QWidget* chk_ = nullptr;
    QLineEdit* other_ = nullptr;
    void showActive();
};

// The collection the loader holds, loaded from the build's plugin folder.
static QObjectList loadedPlugins()
{
    static QPluginLoader pl(QStringLiteral(ORDALIS_DESIGNER_DIR "/libOrdalisDesigner.so"));
    QObject* o = pl.instance();
    return o ? QObjectList{o} : QObjectList{};
}

static QUiLoader* loader()
{
    static QUiLoader* l = [] {
        auto* u = new QUiLoader;
        u->addPluginPath(QStringLiteral(ORDALIS_DESIGNER_DIR));
        return u;
    }();
    return l;
}

void TstDesigner::init()
{
    env_ = std::make_unique<TestEnv>();
    QFile f(QStringLiteral(ORDALIS_FORMS "/F_Prova.ui"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    form_.reset(loader()->load(&f));
    QVERIFY2(form_, qPrintable(loader()->errorString()));
    txt_ = form_->findChild<QWidget*>(QStringLiteral("Txt_Pwd"));
    chk_ = form_->findChild<QWidget*>(QStringLiteral("Chk_DoMail"));
    other_ = form_->findChild<QLineEdit*>(QStringLiteral("Altro"));
    QVERIFY(txt_ && chk_ && other_);
}

void TstDesigner::cleanup()
{
    form_.reset();
    env_.reset();
}

void TstDesigner::showActive()
{
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    other_->setFocus(Qt::OtherFocusReason);
    QCOMPARE(QApplication::focusWidget(), other_);
}

void TstDesigner::pluginWidgets_data()
{
    QTest::addColumn<QString>("className");
    for (const char* c : {"Ordalis::Txt_", "Ordalis::Chk_", "Ordalis::Dat_"})
        QTest::newRow(c) << c;
}

// What Designer checks on every drag, and what uic writes into the form's code.
void TstDesigner::pluginWidgets()
{
    QFETCH(QString, className);
    QDesignerCustomWidgetInterface* w = nullptr;
    for (QObject* o : QPluginLoader::staticInstances() + loadedPlugins())
        if (auto* coll = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(o))
            for (QDesignerCustomWidgetInterface* i : coll->customWidgets())
                if (i->name() == className) w = i;
    QVERIFY2(w, qPrintable(className));
    QWidget parent;
    QWidget* made = w->createWidget(&parent);
    QVERIFY(made);
    QCOMPARE(QString::fromLatin1(made->metaObject()->className()), w->name());
    QXmlStreamReader xml(w->domXml());
    QString domClass;
    while (xml.readNextStartElement() && domClass.isEmpty()) {
        if (xml.name() == QLatin1String("widget"))
            domClass = xml.attributes().value(QLatin1String("class")).toString();
    }
    QVERIFY(!xml.hasError());
    QCOMPARE(domClass, w->name());
    QCOMPARE(w->includeFile(), QStringLiteral("Ordalis/") + className.mid(9) + QStringLiteral(".h"));
    QCOMPARE(w->icon().actualSize(QSize(64, 64)), QSize(16, 15));
    QVERIFY(loader()->availableWidgets().contains(className));
}

void TstDesigner::propertyTypesDesignerSaves_data()
{
    QTest::addColumn<QString>("progId");
    for (const char* p : {"Ordalis.Txt_", "Ordalis.Chk_", "Ordalis.Dat_"})
        QTest::newRow(p) << p;
}

// Designer has an editor, and a .ui element, only for these types (and enums); a
// property of any other type warns on every drag and is never saved.
void TstDesigner::propertyTypesDesignerSaves()
{
    QFETCH(QString, progId);
    static const QList<int> saved{
        QMetaType::Bool,       QMetaType::Int,    QMetaType::UInt,        QMetaType::LongLong,
        QMetaType::ULongLong,  QMetaType::Double, QMetaType::QString,     QMetaType::QStringList,
        QMetaType::QByteArray, QMetaType::QChar,  QMetaType::QColor,      QMetaType::QFont,
        QMetaType::QPixmap,    QMetaType::QIcon,  QMetaType::QPalette,    QMetaType::QCursor,
        QMetaType::QSize,      QMetaType::QSizeF, QMetaType::QPoint,      QMetaType::QPointF,
        QMetaType::QRect,      QMetaType::QRectF, QMetaType::QSizePolicy, QMetaType::QKeySequence,
        QMetaType::QLocale,    QMetaType::QDate,  QMetaType::QTime,       QMetaType::QDateTime,
        QMetaType::QUrl,       QMetaType::QBrush};
    std::unique_ptr<QWidget> c(Ordalis::createControl(progId));
    QVERIFY(c);
    const QMetaObject* mo = c->metaObject();
    QStringList unsaved;
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (!p.isWritable() || !p.isDesignable() || p.isEnumType()) continue;
        if (!saved.contains(p.metaType().id()))
            unsaved << QStringLiteral("%1 (%2)").arg(QLatin1String(p.name()), QLatin1String(p.typeName()));
    }
    QVERIFY2(unsaved.isEmpty(), qPrintable(unsaved.join(QStringLiteral(", "))));
}

void TstDesigner::propertyRoundTrip_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    const QFont font(QStringLiteral("DejaVu Serif"), 11);
    struct Row {
        const char* progId;
        const char* name;
        QVariant value;
    };
    // One changed value for every property the controls store; MaskPicture is left
    // out: a form keeps a picture as a file or resource path, not by value.
    const QList<Row> rows{
        {"Ordalis.Txt_", "BackColor", 0x80FFFF},
        {"Ordalis.Txt_", "Enabled", false},
        {"Ordalis.Txt_", "Font", font},
        {"Ordalis.Txt_", "Alignment", 1},
        {"Ordalis.Txt_", "Locked", true},
        {"Ordalis.Txt_", "MaxLength", 12},
        {"Ordalis.Txt_", "MousePointer", 2},
        {"Ordalis.Txt_", "PasswordChar", QStringLiteral("*")},
        {"Ordalis.Txt_", "Text", QStringLiteral("ABC123")},
        {"Ordalis.Txt_", "ToolTipText", QStringLiteral("Codice")},
        {"Ordalis.Txt_", "Prompt", QStringLiteral("Codice articolo")},
        {"Ordalis.Txt_", "TagZ", QStringLiteral("N2")},
        {"Ordalis.Txt_", "BckColor", 128},
        {"Ordalis.Txt_", "IsNum", true},
        {"Ordalis.Txt_", "DecimalPlace", 3},
        {"Ordalis.Txt_", "Heig", 330},
        {"Ordalis.Txt_", "Wide", 3000},
        {"Ordalis.Txt_", "AllowLoCase", true},
        {"Ordalis.Txt_", "MskModified", true},
        {"Ordalis.Chk_", "BackColor", 255},
        {"Ordalis.Chk_", "BackStyle", 1},
        {"Ordalis.Chk_", "BorderStyle", 1},
        {"Ordalis.Chk_", "AutoRedraw", true},
        {"Ordalis.Chk_", "CurrentY", 12.5},
        {"Ordalis.Chk_", "ForeColor", 255},
        {"Ordalis.Chk_", "Enabled", false},
        {"Ordalis.Chk_", "CurrentX", 7.25},
        {"Ordalis.Chk_", "Font", font},
        {"Ordalis.Chk_", "Caption", QStringLiteral("Confermato")},
        {"Ordalis.Chk_", "Value", 1},
        {"Ordalis.Chk_", "Alignment", 1},
        {"Ordalis.Chk_", "ToolTipText", QStringLiteral("Spunta")},
        {"Ordalis.Chk_", "Prompt", QStringLiteral("Conferma")},
        {"Ordalis.Chk_", "MskModified", true},
        {"Ordalis.Chk_", "TagZ", QStringLiteral("ok")},
        {"Ordalis.Dat_", "BackColor", 128},
        {"Ordalis.Dat_", "ForeColor", 255},
        {"Ordalis.Dat_", "Enabled", true},
        {"Ordalis.Dat_", "Font", font},
        {"Ordalis.Dat_", "BackStyle", 1},
        {"Ordalis.Dat_", "BorderStyle", 1},
        {"Ordalis.Dat_", "Format", QStringLiteral("dd/mm/yy")},
        {"Ordalis.Dat_", "hWnd", 42},
        {"Ordalis.Dat_", "Mask", QStringLiteral("99/99/9999")},
        {"Ordalis.Dat_", "Prompt", QStringLiteral("Data del documento")},
        {"Ordalis.Dat_", "SelLength", 3},
        {"Ordalis.Dat_", "SelStart", 2},
        {"Ordalis.Dat_", "SelText", QStringLiteral("02")},
        {"Ordalis.Dat_", "PromptChar", QStringLiteral("#")},
        {"Ordalis.Dat_", "ClipMode", 1},
        {"Ordalis.Dat_", "AllowPrompt", true},
        {"Ordalis.Dat_", "PromptInclude", false},
        {"Ordalis.Dat_", "AltString", QStringLiteral("alternativa")},
        {"Ordalis.Dat_", "ToolTipText", QStringLiteral("gg/mm/aaaa")},
        {"Ordalis.Dat_", "StringA", QStringLiteral("15/02/2024")},
        {"Ordalis.Dat_", "MskModified", true},
        {"Ordalis.Dat_", "Heig", 450},
        {"Ordalis.Dat_", "Wide", 1800},
        {"Ordalis.Dat_", "FntSize", 12.0},
        {"Ordalis.Dat_", "TagZ", QStringLiteral("data")},
    };
    for (const Row& r : rows)
        QTest::addRow("%s.%s", r.progId + 8, r.name) << r.progId << r.name << r.value;
}

// A value set on a control comes back from a saved form, as a host's loader reads it.
void TstDesigner::propertyRoundTrip()
{
    QFETCH(QString, progId);
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    const QByteArray n = name.toLatin1();
    QWidget form;
    form.setObjectName(QStringLiteral("F_Giro"));
    QWidget* c = Ordalis::createControl(progId, &form);
    QVERIFY(c);
    c->setObjectName(QStringLiteral("C"));
    c->setGeometry(10, 10, 110, 22);
    // Shown, as on a designer's form: the date field takes its size drawn.
    form.show();
    QVERIFY(c->property(n) != value); // a real change
    QVERIFY(c->setProperty(n, value));
    const QVariant set = c->property(n);
    QBuffer ui;
    QVERIFY(ui.open(QIODevice::ReadWrite));
    // The builder writes QWidget's own enums with a warning; none may name this property.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("property %1\\b").arg(name)));
    QFormBuilder().save(&ui, &form);
    ui.seek(0);
    std::unique_ptr<QWidget> back(loader()->load(&ui));
    QVERIFY2(back, qPrintable(loader()->errorString()));
    QWidget* got = back->findChild<QWidget*>(QStringLiteral("C"));
    QVERIFY(got);
    QCOMPARE(Ordalis::progIdOf(got), progId);
    if (value.typeId() == QMetaType::QFont) {
        const QFont f = got->property(n).value<QFont>();
        QCOMPARE(f.family(), value.value<QFont>().family());
        QCOMPARE(f.pointSizeF(), value.value<QFont>().pointSizeF());
    } else {
        QCOMPARE(got->property(n), set);
    }
    QCOMPARE(got->geometry(), c->geometry());
}

void TstDesigner::dateFieldFromTheForm()
{
    QWidget* dat = form_->findChild<QWidget*>(QStringLiteral("Dat_Invio"));
    QVERIFY(dat);
    QCOMPARE(Ordalis::progIdOf(dat), QStringLiteral("Ordalis.Dat_"));
    QCOMPARE(Ordalis::dispGet(dat, QString()).toString(), QStringLiteral("15/02/2024"));
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("Prompt")).toString(), QStringLiteral("Data di invio"));
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("FntSize")).toFloat(), 10.0f);
    auto* inner = qobject_cast<QLineEdit*>(dat->focusProxy());
    QVERIFY(inner);
    QCOMPARE(inner->displayText(), QStringLiteral("15/02/2024"));
    QCOMPARE(inner->font().pointSizeF(), 10.0);
}

void TstDesigner::formMakesRealControlsWithItsProperties()
{
    // A class the loader does not know ends as a plain widget; these are the controls.
    QCOMPARE(Ordalis::progIdOf(txt_), QStringLiteral("Ordalis.Txt_"));
    QCOMPARE(Ordalis::progIdOf(chk_), QStringLiteral("Ordalis.Chk_"));
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("Text")).toString(), QStringLiteral("segreto"));
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("Prompt")).toString(),
             QStringLiteral("Password di accesso"));
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("MaxLength")).toInt(), 20);
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("PasswordChar")).toString(), QStringLiteral("*"));
    QCOMPARE(Ordalis::dispGet(chk_, QStringLiteral("Caption")).toString(), QStringLiteral("Invia Mail"));
    QCOMPARE(Ordalis::dispGet(chk_, QStringLiteral("Value")).toInt(), 1);
    QCOMPARE(Ordalis::dispGet(chk_, QStringLiteral("Prompt")).toString(),
             QStringLiteral("Spedisce lo ZIP per posta"));
    // The inner box shows the password character, not the text.
    auto* inner = qobject_cast<QLineEdit*>(txt_->focusProxy());
    QVERIFY(inner);
    QCOMPARE(inner->displayText(), QString(7, QLatin1Char('*')));
    QCOMPARE(txt_->geometry(), QRect(10, 10, 200, 22));
    // The inner box fills the control once it is shown.
    form_->show();
    QCOMPARE(inner->geometry(), QRect(0, 0, 200, 22));
}

void TstDesigner::textFieldDrivenByName()
{
    int changes = 0;
    QVERIFY(
        Ordalis::dispConnect(txt_, QStringLiteral("Change"), this, [&](const QVariantList&) { ++changes; }));
    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("Text"), QStringLiteral("nuova")));
    QCOMPARE(changes, 1);
    // The default member is Text, by an empty name and by identifier 0.
    QCOMPARE(Ordalis::dispGet(txt_, QString()).toString(), QStringLiteral("nuova"));
    QCOMPARE(Ordalis::dispGet(txt_, 0).toString(), QStringLiteral("nuova"));
    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("Text"), QStringLiteral("nuova")));
    QCOMPARE(changes, 1); // the same text is no change

    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("PasswordChar"), QString()));
    auto* inner = qobject_cast<QLineEdit*>(txt_->focusProxy());
    QCOMPARE(inner->displayText(), QStringLiteral("nuova"));
    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("passwordchar"), QStringLiteral("#")));
    QCOMPARE(inner->displayText(), QStringLiteral("#####"));

    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("Enabled"), false));
    QVERIFY(!inner->isEnabled());
    QCOMPARE(Ordalis::dispGet(txt_, qint32(0x680300EA)).toBool(), false);
    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("Enabled"), true));

    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("MskModified"), true));
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("MskModified")).toBool(), true);
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("0x680300D5")).toBool(), true);

    QVERIFY(!Ordalis::dispPut(txt_, QStringLiteral("NonEsiste"), 1));
    QVERIFY(!Ordalis::dispGet(txt_, QStringLiteral("NonEsiste")).isValid());
}

void TstDesigner::checkBoxDrivenByName()
{
    int clicks = 0;
    QVERIFY(
        Ordalis::dispConnect(chk_, QStringLiteral("Click"), this, [&](const QVariantList&) { ++clicks; }));
    QVERIFY(Ordalis::dispPut(chk_, QStringLiteral("Value"), 0));
    QCOMPARE(clicks, 1);
    QCOMPARE(Ordalis::dispGet(chk_, QString()).toInt(), 0);
    QVERIFY(Ordalis::dispPut(chk_, QStringLiteral("Caption"), QStringLiteral("Rispedisci")));
    QCOMPARE(Ordalis::dispGet(chk_, qint32(0x68030083)).toString(), QStringLiteral("Rispedisci"));
    QVERIFY(Ordalis::dispPut(chk_, QStringLiteral("Visible"), false));
    QVERIFY(chk_->isHidden());
    QCOMPARE(Ordalis::dispGet(chk_, QStringLiteral("Visible")).toBool(), false);
}

void TstDesigner::focusAndKeyEventsReachTheHost()
{
    showActive();
    QStringList seen;
    QVariantList keyArgs;
    QVERIFY(Ordalis::dispConnect(txt_, QStringLiteral("GotFocus"), this,
                                 [&](const QVariantList&) { seen << "Got"; }));
    QVERIFY(Ordalis::dispConnect(txt_, QStringLiteral("LostFocus"), this,
                                 [&](const QVariantList&) { seen << "Lost"; }));
    QVERIFY(Ordalis::dispConnect(txt_, QStringLiteral("KeyDown"), this, [&](const QVariantList& a) {
        seen << QStringLiteral("KeyDown:%1").arg(a.value(0).toInt());
        keyArgs = a;
    }));
    QVERIFY(Ordalis::dispConnect(txt_, QStringLiteral("Change"), this,
                                 [&](const QVariantList&) { seen << "Change"; }));
    QVERIFY(!Ordalis::dispConnect(txt_, QStringLiteral("Paint"), this, [&](const QVariantList&) {}));

    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("PasswordChar"), QString()));
    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("Text"), QString()));
    seen.clear();
    Ordalis::dispInvoke(txt_, QStringLiteral("SetFocus"));
    QCOMPARE(seen, QStringList{"Got"});
    QTest::keyClick(QApplication::focusWidget(), 'K', Qt::ShiftModifier);
    QCOMPARE(keyArgs, (QVariantList{75, 1})); // after the Shift key's own KeyDown
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("Text")).toString(), QStringLiteral("K"));
    other_->setFocus(Qt::TabFocusReason);
    QCOMPARE(seen.join(QLatin1Char(' ')), QStringLiteral("Got KeyDown:16 KeyDown:75 Change Lost"));
}

void TstDesigner::rightReleaseOnCheckBoxReachesTheHost()
{
    showActive();
    QVariantList up;
    int clicks = 0;
    QVERIFY(
        Ordalis::dispConnect(chk_, QStringLiteral("MouseUp"), this, [&](const QVariantList& a) { up = a; }));
    QVERIFY(
        Ordalis::dispConnect(chk_, QStringLiteral("Click"), this, [&](const QVariantList&) { ++clicks; }));
    QTest::mouseClick(chk_->focusProxy(), Qt::RightButton, Qt::NoModifier, QPoint(4, 5));
    QCOMPARE(up.size(), 4);
    QCOMPARE(up[0].toInt(), 2); // right button
    QCOMPARE(up[1].toInt(), 0);
    QCOMPARE(up[2].toFloat(), 60.0f); // twips
    QCOMPARE(up[3].toFloat(), 75.0f);
    QCOMPARE(clicks, 0); // a right click does not tick the box
    QCOMPARE(Ordalis::dispGet(chk_, QStringLiteral("Value")).toInt(), 1);
}

void TstDesigner::saveConventionAcrossFields()
{
    showActive();
    bool saveOn = false;
    QString panel1 = QStringLiteral("-");
    QStringList calls;
    Ordalis::SaveHost host;
    host.ControllaSave = [&] { return saveOn; };
    host.AccendiSave = [&] {
        calls << QStringLiteral("AccendiSave");
        saveOn = true;
    };
    host.SetSave = [&](bool b) {
        calls << QStringLiteral("SetSave %1").arg(b);
        saveOn = b;
    };
    host.showPrompt = [&](const QString& p) { panel1 = p; };
    QVERIFY(Ordalis::bindSaveConvention(txt_, form_.get(), host));
    QVERIFY(Ordalis::bindSaveConvention(chk_, form_.get(), host));
    QVERIFY(!Ordalis::bindSaveConvention(other_, form_.get(), host));
    QVERIFY(Ordalis::dispPut(txt_, QStringLiteral("PasswordChar"), QString()));

    // A field entered and left alone leaves the save command as it was.
    Ordalis::dispInvoke(txt_, QStringLiteral("SetFocus"));
    QCOMPARE(panel1, QStringLiteral("Password di accesso"));
    other_->setFocus(Qt::TabFocusReason);
    QCOMPARE(panel1, QString());
    QCOMPARE(saveOn, false);
    // A changed value switches it on, and leaving keeps it on.
    Ordalis::dispInvoke(chk_, QStringLiteral("SetFocus"));
    QCOMPARE(panel1, QStringLiteral("Spedisce lo ZIP per posta"));
    QTest::keyClick(chk_->focusProxy(), Qt::Key_Space);
    QCOMPARE(saveOn, true);
    other_->setFocus(Qt::TabFocusReason);
    QCOMPARE(saveOn, true);
    // Changes made before the field was entered are not lost by leaving it unchanged.
    Ordalis::dispInvoke(txt_, QStringLiteral("SetFocus"));
    QCOMPARE(Ordalis::dispGet(txt_, QStringLiteral("MskModified")).toBool(), true);
    other_->setFocus(Qt::TabFocusReason);
    QCOMPARE(saveOn, true);
    // After a save, a value changed and changed back is no change.
    saveOn = false;
    calls.clear();
    Ordalis::dispInvoke(chk_, QStringLiteral("SetFocus"));
    QTest::keyClick(chk_->focusProxy(), Qt::Key_Space);
    QTest::keyClick(chk_->focusProxy(), Qt::Key_Space);
    other_->setFocus(Qt::TabFocusReason);
    QCOMPARE(calls, (QStringList{"AccendiSave", "AccendiSave", "SetSave 0"}));
    QCOMPARE(saveOn, false);
}

void TstDesigner::standardPropertiesAgreeOnEveryRoad_data()
{
    QTest::addColumn<bool>("compiled");
    QTest::addColumn<QString>("control");
    for (const char* c : {"Txt_Std", "Chk_Std", "Dat_Std"}) {
        QTest::addRow("uic %s", c) << true << c;
        QTest::addRow("QUiLoader %s", c) << false << c;
    }
}

// The form sets QWidget's own "font" (16 pt alone) and "enabled" (false); uic calls
// the controls' setters, QUiLoader sets the properties by name: the same reading.
void TstDesigner::standardPropertiesAgreeOnEveryRoad()
{
    QFETCH(bool, compiled);
    QFETCH(QString, control);
    std::unique_ptr<QWidget> form;
    if (compiled) {
        static Ui::F_Standard ui;
        form = std::make_unique<QWidget>();
        ui.setupUi(form.get());
    } else {
        QFile f(QStringLiteral(ORDALIS_FORMS "/F_Standard.ui"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        form.reset(loader()->load(&f));
        QVERIFY2(form, qPrintable(loader()->errorString()));
    }
    QWidget* c = form->findChild<QWidget*>(control);
    QVERIFY(c);
    QWidget* box = c->focusProxy();
    QVERIFY(box);
    const bool isDate = control.startsWith(QLatin1String("Dat_"));

    const QFont font = c->property("font").value<QFont>();
    QCOMPARE(Ordalis::dispGet(c, QStringLiteral("Font")).value<QFont>(), font);
    QCOMPARE(font.pointSize(), 16);
    if (isDate) {
        // The date box's size is FntSize's; Font names the control's own surface.
        QCOMPARE(box->font().pointSizeF(), 8.25);
    } else {
        QCOMPARE(box->font(), font);
        // The control's own face stays: the form changed the size alone.
        if (control.startsWith(QLatin1String("Txt_")))
            QCOMPARE(font.family(), QStringLiteral("Lucida Console"));
    }

    QCOMPARE(c->property("enabled").toBool(), false);
    QCOMPARE(Ordalis::dispGet(c, QStringLiteral("Enabled")).toBool(), false);
    QVERIFY(!box->isEnabled());
    QVERIFY(Ordalis::dispPut(c, QStringLiteral("Enabled"), true));
    QVERIFY(box->isEnabled());
    QCOMPARE(c->property("enabled").toBool(), true);
    // A host that switches the control as a plain QWidget is read back the same.
    c->setEnabled(false);
    QCOMPARE(Ordalis::dispGet(c, QStringLiteral("Enabled")).toBool(), false);
    QVERIFY(!box->isEnabled());
    c->setEnabled(true);
    QCOMPARE(Ordalis::dispGet(c, QStringLiteral("Enabled")).toBool(), true);
    // In a disabled container the field stays off: the put says so.
    form->setEnabled(false);
    QVERIFY(!Ordalis::dispPut(c, QStringLiteral("Enabled"), true));
    QVERIFY(!Ordalis::dispError(c).isEmpty());
    QVERIFY(!box->isEnabled());
    form->setEnabled(true);
    QVERIFY(box->isEnabled());
}

QTEST_MAIN(TstDesigner)
#include "tst_designer.moc"
