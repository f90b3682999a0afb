// The controls' task menu in a real Designer core: the plugin loaded as Designer
// loads it, a form window with the controls, the page opened from the menu and
// its writes seen by the form (property, undo, modified mark).
#include "controls/Ordalis.h"
#include "controls/PropertyPages.h"

#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QLineEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QUiLoader>
#include <QUndoStack>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <memory>

namespace
{

QDesignerCustomWidgetCollectionInterface* collection()
{
    static QPluginLoader pl(QStringLiteral(ORDALIS_DESIGNER_DIR "/libOrdalisDesigner.so"));
    return qobject_cast<QDesignerCustomWidgetCollectionInterface*>(pl.instance());
}

// A core with what the form windows need, made once: Designer's own set-up.
QDesignerFormEditorInterface* core()
{
    static QDesignerFormEditorInterface* c = [] {
        QCoreApplication::addLibraryPath(QStringLiteral(ORDALIS_DESIGNER_DIR "/.."));
        QDesignerComponents::initializeResources();
        QDesignerFormEditorInterface* e = QDesignerComponents::createFormEditor(nullptr);
        e->setWidgetBox(QDesignerComponents::createWidgetBox(e, nullptr));
        e->setPropertyEditor(QDesignerComponents::createPropertyEditor(e, nullptr));
        new QDesignerIntegration(e, e);
        QDesignerComponents::initializePlugins(e);
        return e;
    }();
    return c;
}

const char* const kForm = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>F_Pagine</class>
 <widget class="QWidget" name="F_Pagine">
  <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>200</height></rect></property>
  <widget class="Ordalis::Txt_" name="Txt_Cod">
   <property name="geometry"><rect><x>10</x><y>10</y><width>120</width><height>21</height></rect></property>
  </widget>
  <widget class="Ordalis::Txt_" name="Txt_Des">
   <property name="geometry"><rect><x>10</x><y>40</y><width>120</width><height>21</height></rect></property>
  </widget>
  <widget class="Ordalis::Chk_" name="Chk_Ok">
   <property name="geometry"><rect><x>10</x><y>70</y><width>120</width><height>21</height></rect></property>
  </widget>
  <widget class="Ordalis::Dat_" name="Dat_Doc">
   <property name="geometry"><rect><x>10</x><y>100</y><width>120</width><height>21</height></rect></property>
  </widget>
 </widget>
</ui>
)";

} // namespace

class TstTaskMenu : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void cleanup();
    void oneActionPerControl_data();
    void oneActionPerControl();
    void propertyEditorAndSaveWarnNothing();
    void applyIsOneUndoStep();
    void promptOnlyKeepsTheSizeDrawn();
    void resizeIsTheSizeSaved();
    void refusalReadBack();
    void datePageThroughTheForm();

  private:
    std::unique_ptr<TestEnv> env_;
    QDesignerFormWindowInterface* form_ = nullptr;
    QWidget* widget(const char* name) const
    {
        return form_->mainContainer()->findChild<QWidget*>(QLatin1String(name));
    }
    QDesignerTaskMenuExtension* menu(QWidget* w) const
    {
        return qt_extension<QDesignerTaskMenuExtension*>(core()->extensionManager(), w);
    }
    // Opens the page from the control's menu; the dialog it shows.
    Ordalis::PropertyPageDialog* openPage(QWidget* w);
    // The same, active and ready for the keyboard; nullptr when it does not come up.
    Ordalis::PropertyPageDialog* openActivePage(QWidget* w);
};

void TstTaskMenu::init()
{
    env_ = std::make_unique<TestEnv>();
    QVERIFY(collection());
    QVERIFY(core());
    form_ = core()->formWindowManager()->createFormWindow(nullptr);
    QVERIFY(form_);
    QVERIFY(form_->setContents(QString::fromUtf8(kForm)));
    core()->formWindowManager()->setActiveFormWindow(form_);
    form_->setDirty(false);
    QVERIFY(widget("Txt_Cod"));
    QCOMPARE(QString::fromLatin1(widget("Txt_Cod")->metaObject()->className()),
             QStringLiteral("Ordalis::Txt_"));
}

void TstTaskMenu::cleanup()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<Ordalis::PropertyPageDialog*>(w)) delete w;
    delete form_;
    form_ = nullptr;
    env_.reset();
}

Ordalis::PropertyPageDialog* TstTaskMenu::openPage(QWidget* w)
{
    QDesignerTaskMenuExtension* m = menu(w);
    if (!m || !m->preferredEditAction()) return nullptr;
    m->preferredEditAction()->trigger();
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<Ordalis::PropertyPageDialog*>(t); d && d->isVisible()) return d;
    return nullptr;
}

Ordalis::PropertyPageDialog* TstTaskMenu::openActivePage(QWidget* w)
{
    Ordalis::PropertyPageDialog* d = openPage(w);
    if (!d) return nullptr;
    d->show();
    d->activateWindow();
    return QTest::qWaitForWindowActive(d) ? d : nullptr;
}

void TstTaskMenu::oneActionPerControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("action");
    QTest::newRow("text") << "Txt_Cod" << QString::fromUtf8("ProprietàTxt...");
    QTest::newRow("check") << "Chk_Ok" << QString::fromUtf8("ProprietàChk...");
    QTest::newRow("date") << "Dat_Doc" << QString::fromUtf8("ProprietàDat...");
}

void TstTaskMenu::oneActionPerControl()
{
    QFETCH(QString, name);
    QFETCH(QString, action);
    QWidget* w = widget(name.toLatin1().constData());
    QDesignerTaskMenuExtension* m = menu(w);
    QVERIFY(m);
    QCOMPARE(m->taskActions().size(), 1);
    QCOMPARE(m->taskActions().first()->text(), action);
    QCOMPARE(m->preferredEditAction(), m->taskActions().first()); // a double-click opens it
    Ordalis::PropertyPageDialog* d = openPage(w);
    QVERIFY(d);
    QCOMPARE(d->windowTitle(), action.chopped(3));
    QVERIFY(!d->applyButton->isEnabled());
    d->okButton->click();
    QVERIFY(!form_->isDirty()); // an untouched page writes nothing
    QVERIFY(!menu(form_->mainContainer()));
}

// Designer's property editor shows every property of a selected control, and the form
// saves them: neither may meet a property it cannot handle.
void TstTaskMenu::propertyEditorAndSaveWarnNothing()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("property.*not supported")));
    for (const char* name : {"Txt_Cod", "Chk_Ok", "Dat_Doc"}) {
        QWidget* w = widget(name);
        form_->clearSelection(false);
        form_->selectWidget(w, true);
        core()->propertyEditor()->setObject(w);
        QCOMPARE(core()->propertyEditor()->object(), w);
    }
    QVERIFY(form_->contents().contains(QStringLiteral("Ordalis::Dat_")));
}

void TstTaskMenu::applyIsOneUndoStep()
{
    QWidget* cod = widget("Txt_Cod");
    QWidget* des = widget("Txt_Des");
    form_->clearSelection(false);
    form_->selectWidget(cod, true);
    form_->selectWidget(des, true);
    const int before = form_->commandHistory()->count();
    const QRect drawn = des->geometry();
    Ordalis::PropertyPageDialog* d = openActivePage(des); // the menu of the second: it comes first
    QVERIFY(d);
    d->findChild<QPushButton*>(QStringLiteral("Cmd_GetProp"))->click();
    auto* visible = d->findChild<QLineEdit*>(QStringLiteral("txtMaxVisible"));
    visible->setFocus(Qt::TabFocusReason);
    visible->selectAll();
    QTest::keyClicks(visible, QStringLiteral("10"));
    auto* prompt = d->findChild<QLineEdit*>(QStringLiteral("txtPrompt"));
    prompt->setFocus(Qt::TabFocusReason);
    QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("Txt_Wide"))->text(), QStringLiteral("1140"));
    QTest::keyClicks(prompt, QStringLiteral("Descrizione"));
    d->okButton->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(Ordalis::dispGet(des, QStringLiteral("Wide")).toInt(), 1140);
    QCOMPARE(Ordalis::dispGet(des, QStringLiteral("Heig")).toInt(), 285);
    QCOMPARE(Ordalis::dispGet(cod, QStringLiteral("Heig")).toInt(), 0); // only the first
    QCOMPARE(des->size(), QSize(76, 19));
    QVERIFY(form_->isDirty());
    QCOMPARE(form_->commandHistory()->count(), before + 1);
    // What the form saves.
    const QString ui = form_->contents();
    QVERIFY2(ui.contains(QStringLiteral("<property name=\"Wide\">")), qPrintable(ui));
    QVERIFY(ui.contains(QStringLiteral("<string>Descrizione</string>")));
    form_->commandHistory()->undo();
    QCOMPARE(Ordalis::dispGet(des, QStringLiteral("Wide")).toInt(), 0);
    QCOMPARE(Ordalis::dispGet(des, QStringLiteral("Heig")).toInt(), 0);
    QCOMPARE(des->geometry(), drawn);
}

// A fresh field (Wide 0) whose page changes only the prompt keeps the width drawn.
void TstTaskMenu::promptOnlyKeepsTheSizeDrawn()
{
    QWidget* cod = widget("Txt_Cod");
    const QRect drawn = cod->geometry();
    Ordalis::PropertyPageDialog* d = openActivePage(cod);
    QVERIFY(d);
    auto* prompt = d->findChild<QLineEdit*>(QStringLiteral("txtPrompt"));
    prompt->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(prompt, QStringLiteral("Codice"));
    d->okButton->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(Ordalis::dispGet(cod, QStringLiteral("Wide")).toInt(), 0);
    QCOMPARE(cod->size(), QSize(drawn.width(), 19)); // the page's height of 285 twips
    form_->commandHistory()->undo();
    QCOMPARE(cod->geometry(), drawn);
}

// A field resized by its handles after its width was set: the form saves the new size
// in Wide and Heig too, so a host's loader gives the size drawn; an undo takes it back.
void TstTaskMenu::resizeIsTheSizeSaved()
{
    // Shown, so the handles' resizes reach the fields; off screen, as the form has no
    // Designer window around it to take the activation.
    form_->setAttribute(Qt::WA_DontShowOnScreen);
    form_->show();
    QWidget* cod = widget("Txt_Cod");
    QVERIFY(cod->isVisible());
    form_->cursor()->setWidgetProperty(cod, QStringLiteral("Wide"), 1140);
    form_->cursor()->setWidgetProperty(cod, QStringLiteral("Heig"), 285);
    QCOMPARE(cod->size(), QSize(76, 19));
    const QRect widened(10, 10, 200, 30);
    form_->cursor()->setWidgetProperty(cod, QStringLiteral("geometry"), widened);
    QCOMPARE(Ordalis::dispGet(cod, QStringLiteral("Wide")).toInt(), 3000);
    QCOMPARE(Ordalis::dispGet(cod, QStringLiteral("Heig")).toInt(), 450);
    QWidget* des = widget("Txt_Des");
    form_->cursor()->setWidgetProperty(des, QStringLiteral("geometry"), QRect(10, 40, 150, 25));
    QCOMPARE(Ordalis::dispGet(des, QStringLiteral("Wide")).toInt(), 0); // still "as drawn"

    QBuffer ui;
    ui.setData(form_->contents().toUtf8());
    QVERIFY(ui.open(QIODevice::ReadOnly));
    QUiLoader loader;
    loader.addPluginPath(QStringLiteral(ORDALIS_DESIGNER_DIR));
    std::unique_ptr<QWidget> host(loader.load(&ui));
    QVERIFY2(host, qPrintable(loader.errorString()));
    QCOMPARE(host->findChild<QWidget*>(QStringLiteral("Txt_Cod"))->geometry(), widened);
    QCOMPARE(host->findChild<QWidget*>(QStringLiteral("Txt_Des"))->geometry(), QRect(10, 40, 150, 25));

    form_->commandHistory()->undo(); // the second field's resize
    form_->commandHistory()->undo();
    QCOMPARE(cod->size(), QSize(76, 19));
    QCOMPARE(Ordalis::dispGet(cod, QStringLiteral("Wide")).toInt(), 1140);
    QCOMPARE(Ordalis::dispGet(cod, QStringLiteral("Heig")).toInt(), 285);
}

void TstTaskMenu::refusalReadBack()
{
    QWidget* cod = widget("Txt_Cod");
    Ordalis::PropertyPageDialog* d = openActivePage(cod);
    QVERIFY(d);
    auto* decimals = d->findChild<QLineEdit*>(QStringLiteral("txtDecimalPlace"));
    decimals->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(decimals, QStringLiteral("40000"));
    env_->dialogs().answer(vb::OK);
    d->applyButton->click();
    QCOMPARE(env_->dialogs().messages(), QStringList{QStringLiteral("Overflow")});
    QVERIFY(d->isVisible());
    QVERIFY(d->applyButton->isEnabled());
    QCOMPARE(Ordalis::dispGet(cod, QStringLiteral("DecimalPlace")).toInt(), 2);
}

void TstTaskMenu::datePageThroughTheForm()
{
    QWidget* dat = widget("Dat_Doc");
    QVERIFY(Ordalis::dispPut(dat, QStringLiteral("Wide"), 1000));
    QVERIFY(Ordalis::dispPut(dat, QStringLiteral("Heig"), 200));
    const double fntSize = Ordalis::dispGet(dat, QStringLiteral("FntSize")).toDouble();
    const double fontSize = Ordalis::dispGet(dat, QStringLiteral("Font")).value<QFont>().pointSizeF();
    QVERIFY(fntSize != 12 && fontSize != 12);
    Ordalis::PropertyPageDialog* d = openActivePage(dat);
    QVERIFY(d);
    auto* size = d->findChild<QLineEdit*>(QStringLiteral("Txt_DimFont"));
    size->setFocus(Qt::TabFocusReason);
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("12"));
    d->okButton->click();
    QVERIFY(env_->dialogs().calls.isEmpty());
    QVERIFY(!d->isVisible());
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("Font")).value<QFont>().pointSizeF(), 12.0);
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("FntSize")).toDouble(), 12.0);
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("Wide")).toInt(), 1656);
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("Heig")).toInt(), 324);
    form_->commandHistory()->undo();
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("FntSize")).toDouble(), fntSize);
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("Font")).value<QFont>().pointSizeF(), fontSize);
    QCOMPARE(Ordalis::dispGet(dat, QStringLiteral("Wide")).toInt(), 1000);
}

QTEST_MAIN(TstTaskMenu)
#include "tst_taskmenu.moc"
