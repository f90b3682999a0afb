// The invoice list draws its rows exactly as the standard item delegate would: same text
// place, colours, selection, focus frame, clipping and eliding.
#include "foundation/ListFont.h"
#include "mainwindow/XmlList.h"
#include "mainwindow/XmlListView.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>

class TestListPaint : public QObject
{
    Q_OBJECT
  private slots:
    void sameAsStandardDelegate_data();
    void sameAsStandardDelegate();
};

namespace
{
QString row(int n, int width)
{
    QString r = QStringLiteral("%1 | TD01 | 20261130 | Fornitore Srl %1 | ").arg(n, 6);
    while (r.size() < width)
        r += QStringLiteral("%1 ").arg(r.size() % 97, 2, 10, QLatin1Char('0'));
    return r.left(width);
}

// Shows the rows in a list of the given width, selects, makes current, scrolls, and grabs.
QImage grabList(XmlList& rows, bool standard, const QList<int>& selected, int current, int width,
                int scroll, bool focused)
{
    QWidget top;
    XmlListView view(&top);
    if (standard) view.setItemDelegate(new QStyledItemDelegate(&view));
    view.setFont(listFont(8));
    view.setUniformItemSizes(true);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.setModel(&rows);
    view.setGeometry(0, 0, width, 160);
    top.resize(width, 160);
    top.show();
    if (!QTest::qWaitForWindowExposed(&top)) return {};
    if (focused) {
        top.activateWindow();
        view.setFocus();
        (void)QTest::qWaitFor([&] { return view.hasFocus(); }, 1000); // the grab shows whether it came
    }
    if (current >= 0)
        view.selectionModel()->setCurrentIndex(rows.index(current), QItemSelectionModel::NoUpdate);
    for (int r : selected)
        view.selectionModel()->select(rows.index(r), QItemSelectionModel::Select);
    view.horizontalScrollBar()->setValue(scroll);
    return view.viewport()->grab().toImage();
}
} // namespace

void TestListPaint::sameAsStandardDelegate_data()
{
    QTest::addColumn<QList<int>>("widths"); // text length of each row
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("viewWidth");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<bool>("focused");
    const QList<int> same{300, 300, 300, 300, 300, 300};
    QTest::newRow("rows longer than the view") << same << QList<int>{} << -1 << 400 << 0 << false;
    QTest::newRow("selected and current, focused")
        << same << QList<int>{1, 2, 4} << 2 << 400 << 0 << true;
    QTest::newRow("current not selected, focused") << same << QList<int>{1} << 3 << 400 << 0 << true;
    QTest::newRow("selected, no focus") << same << QList<int>{0, 3} << 3 << 400 << 0 << false;
    QTest::newRow("scrolled sideways") << same << QList<int>{2} << 2 << 300 << 517 << true;
    QTest::newRow("scrolled to the end") << same << QList<int>{5} << 5 << 300 << 100000 << true;
    // Items are as wide as the first row: a longer row after it is elided.
    QTest::newRow("row longer than the first")
        << QList<int>{120, 300, 60, 121, 119} << QList<int>{1, 3} << 1 << 900 << 0 << true;
    QTest::newRow("short rows in a wide view")
        << QList<int>{20, 20, 20} << QList<int>{0} << 0 << 500 << 0 << true;
}

void TestListPaint::sameAsStandardDelegate()
{
    QFETCH(QList<int>, widths);
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(int, viewWidth);
    QFETCH(int, scroll);
    QFETCH(bool, focused);
    XmlList rows;
    // Numbered rows sort in the order they are added.
    for (int i = 0; i < widths.size(); ++i)
        rows.AddItem(row(100000 + i, widths[i]));
    const QImage ours = grabList(rows, false, selected, current, viewWidth, scroll, focused);
    const QImage standard = grabList(rows, true, selected, current, viewWidth, scroll, focused);
    QVERIFY(!ours.isNull());
    QCOMPARE(ours.size(), standard.size());
    QVERIFY(ours == standard);
}

QTEST_MAIN(TestListPaint)
#include "tst_listpaint.moc"
