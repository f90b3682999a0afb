// The printing windows are laid out at fixed places: every caption of their labels,
// buttons, options and check boxes must show whole in the fonts of this platform.
#include "foundation/VbForm.h"
#include "printing/FPP_.h"
#include "printing/F_DbP.h"
#include "printing/FormPRT.h"
#include "support/TestEnv.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace
{

// Room a caption lacks in its control, in pixels (0 or less: it fits).
int shortfall(QWidget* w, QString* text)
{
    if (auto* l = qobject_cast<QLabel*>(w)) {
        *text = l->text();
        if (l->wordWrap() || l->text().isEmpty()) return 0;
        return l->fontMetrics().horizontalAdvance(l->text()) - l->contentsRect().width();
    }
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        *text = b->text();
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        return b->fontMetrics().horizontalAdvance(b->text()) - room.width();
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) { // options and check boxes
        *text = b->text();
        if (b->text().isEmpty()) return 0;
        return b->sizeHint().width() - b->width();
    }
    return 0;
}

void checkTexts(QWidget* window)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        QString text;
        const int lack = shortfall(w, &text);
        if (lack > 0) cut << QStringLiteral("%1 \"%2\" short by %3 px").arg(w->objectName(), text).arg(lack);
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
}

} // namespace

class TestWindowTexts : public QObject
{
    Q_OBJECT
  private slots:
    void printToDisk()
    {
        TestEnv env;
        checkTexts(&F_DbP::instance());
        F_DbP::instance().Unload();
    }
    void printerSetUp()
    {
        TestEnv env;
        checkTexts(&FormPRT::instance());
        FormPRT::instance().Unload();
    }
    void printOrView()
    {
        TestEnv env;
        checkTexts(&FPP_::instance());
        FPP_::instance().Unload();
    }
};

QTEST_MAIN(TestWindowTexts)
#include "tst_window_texts.moc"
