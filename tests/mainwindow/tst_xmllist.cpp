// The invoice list's rows: sorted places, selection and the current row, without a view.
#include "mainwindow/XmlList.h"
#include "qor/Cl_QOR.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

class TestXmlList : public QObject
{
    Q_OBJECT
  private slots:
    void sortedPlaces_data();
    void sortedPlaces();
    void orderOfCaseInsensitiveCompare_data();
    void orderOfCaseInsensitiveCompare();
    void selectionAndCurrent();
    void clearDropsSelection();
    void filesFollowRows_data();
    void filesFollowRows();
    void textsComeBackAsAdded_data();
    void textsComeBackAsAdded();
};

void TestXmlList::sortedPlaces_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QList<int>>("places"); // index each AddItem answered
    QTest::newRow("dates") << QStringList{QStringLiteral("20261202 b"), QStringLiteral("20261130 a"),
                                          QStringLiteral("20261201 c")}
                           << QStringList{QStringLiteral("20261130 a"), QStringLiteral("20261201 c"),
                                          QStringLiteral("20261202 b")}
                           << QList<int>{0, 0, 1};
    QTest::newRow("case does not count")
        << QStringList{QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("a2")}
        << QStringList{QStringLiteral("A"), QStringLiteral("a2"), QStringLiteral("b")} << QList<int>{0, 0, 1};
    QTest::newRow("equal rows keep their order")
        << QStringList{QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("x")}
        << QStringList{QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("x")} << QList<int>{0, 1, 2};
    // A gap row padded with blanks lands before the number that follows the gap.
    QTest::newRow("padded numbers")
        << QStringList{QStringLiteral("                   5 | TD01"),
                       QStringLiteral("                   1 | TD01"),
                       QStringLiteral("                   4 |    ------------------------")}
        << QStringList{QStringLiteral("                   1 | TD01"),
                       QStringLiteral("                   4 |    ------------------------"),
                       QStringLiteral("                   5 | TD01")}
        << QList<int>{0, 0, 1};
}

void TestXmlList::sortedPlaces()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    QFETCH(QList<int>, places);
    XmlList list;
    QList<int> got;
    for (const QString& r : added)
        got << list.AddItem(r);
    QCOMPARE(list.rows(), listed);
    QCOMPARE(got, places);
    QCOMPARE(list.ListCount(), listed.size());
    QCOMPARE(list.data(list.index(0, 0), Qt::DisplayRole).toString(), listed.first());
}

void TestXmlList::orderOfCaseInsensitiveCompare_data()
{
    // Rows built from a few pieces, so that many share long beginnings and differ by case
    // only further on, or not at all.
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("ASCII") << QStringList{"20240110 ", "IT0123_", "a", "A", "b", "B", "|", " ", "z"};
    QTest::newRow("accents, sharp s, final sigma")
        << QStringList{QStringLiteral("CAFFÈ "), QStringLiteral("caffè "), QStringLiteral("ß"),
                       QStringLiteral("SS"),     QStringLiteral("Σ"),      QStringLiteral("ς"),
                       QStringLiteral("σ"),      QStringLiteral("İ"),      QStringLiteral("i")};
    // U+10400 and U+10428 are one letter in two cases and share their high surrogate.
    QTest::newRow("surrogate pairs") << QStringList{
        QStringLiteral("\U00010400"), QStringLiteral("\U00010428"), QStringLiteral("\U00010401"),
        QStringLiteral("\U0001D400"), QStringLiteral("\uFF21"),     QStringLiteral("\uFF41"),
        QStringLiteral("x"),          QString(QChar(0xD801))};
}

void TestXmlList::orderOfCaseInsensitiveCompare()
{
    QFETCH(QStringList, pieces);
    QRandomGenerator rng(20240110);
    QStringList added;
    for (int i = 0; i < 600; ++i) {
        QString row;
        for (int n = 1 + int(rng.bounded(8u)); n > 0; --n)
            row += pieces[rng.bounded(quint32(pieces.size()))];
        added << row;
    }
    XmlList list;
    for (const QString& r : added)
        list.AddItem(r);
    QStringList expected = added;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(list.rows(), expected);
}

void TestXmlList::selectionAndCurrent()
{
    XmlList list;
    for (const char* r : {"c", "a", "b", "d"})
        list.AddItem(QString::fromLatin1(r));
    QCOMPARE(list.SelCount(), 0);
    QCOMPARE(list.ListIndex(), -1);
    list.setSelected(3, true);
    list.setSelected(1, true);
    QCOMPARE(list.selectedRows(), (QList<int>{1, 3}));
    QVERIFY(list.Selected(1));
    QVERIFY(!list.Selected(0));
    list.setSelected(1, false);
    QCOMPARE(list.SelCount(), 1);
    list.selectAll(true);
    QCOMPARE(list.SelCount(), 4);
    list.selectAll(false);
    QCOMPARE(list.SelCount(), 0);
    list.setListIndex(2);
    QCOMPARE(list.ListIndex(), 2);
    QCOMPARE(list.SelCount(), 0); // making a row current does not select it
    list.setSelected(9, true);    // out of range: nothing
    QCOMPARE(list.SelCount(), 0);
    QVERIFY(!list.Selected(-1));
}

void TestXmlList::clearDropsSelection()
{
    XmlList list;
    list.AddItem(QStringLiteral("a"));
    list.AddItem(QStringLiteral("b"));
    list.setSelected(0, true);
    list.setListIndex(1);
    list.Clear();
    QCOMPARE(list.ListCount(), 0);
    QCOMPARE(list.SelCount(), 0);
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(list.AddItem(QStringLiteral("z")), 0);
    QVERIFY(!list.Selected(0));
}

// Each row keeps its own file through sorted inserts, removals and emptying the list;
// rows added without a file (gap rows) answer none.
void TestXmlList::filesFollowRows_data()
{
    QTest::addColumn<QStringList>("added"); // a row starting with "gap" has no file
    QTest::addColumn<int>("removed");       // index removed after adding, -1 for none
    QTest::newRow("reversed") << QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}
                              << -1;
    QTest::newRow("first removed") << QStringList{QStringLiteral("b"), QStringLiteral("a"),
                                                  QStringLiteral("c")}
                                   << 0;
    QTest::newRow("middle removed") << QStringList{QStringLiteral("c"), QStringLiteral("a"),
                                                   QStringLiteral("b")}
                                    << 1;
    QTest::newRow("gap row between") << QStringList{QStringLiteral("h"), QStringLiteral("a"),
                                                    QStringLiteral("gap d"), QStringLiteral("b")}
                                     << 0;
}

void TestXmlList::filesFollowRows()
{
    QFETCH(QStringList, added);
    QFETCH(int, removed);
    const auto path = [](const QString& row) {
        return row.startsWith(QLatin1String("gap"))
                   ? QString()
                   : QStringLiteral("/cartella/") + row + QStringLiteral(".xml");
    };
    const auto name = [](const QString& row) {
        return row.startsWith(QLatin1String("gap")) ? QString() : row + QStringLiteral(".xml");
    };
    XmlList list;
    for (const QString& r : added)
        list.AddItem(r, path(r), name(r));
    if (removed >= 0) list.RemoveItem(removed);
    QCOMPARE(list.ListCount(), added.size() - (removed >= 0 ? 1 : 0));
    for (int i = 0; i < list.ListCount(); ++i) {
        QCOMPARE(list.FilePath(i), path(list.List(i)));
        QCOMPARE(list.FileName(i), name(list.List(i)));
    }
    QCOMPARE(list.FilePath(list.ListCount()), QString());
    QCOMPARE(list.FilePath(-1), QString());

    list.Clear();
    list.AddItem(QStringLiteral("z"), path(QStringLiteral("z")), name(QStringLiteral("z")));
    QCOMPARE(list.FilePath(0), path(QStringLiteral("z")));
    QCOMPARE(list.FileName(0), name(QStringLiteral("z")));
    QCOMPARE(list.FileName(1), QString());
}

// Rows are kept packed: whatever characters a row, path or name holds, and however many
// rows there are, each comes back exactly as it was added, in the sorted order of the
// texts themselves.
void TestXmlList::textsComeBackAsAdded_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("names");
    const QString pair = QStringLiteral("\U00010400");
    QTest::newRow("characters")
        << QStringList{QStringLiteral("caffè | ÿ"), QStringLiteral("1 € | x"), QString(), pair + QStringLiteral(" b"),
                       QStringLiteral("nul ") + QChar(0) + QStringLiteral(" in"), QStringLiteral("   ")}
        << QStringList{QStringLiteral("/srv/a/caffè.xml"), QStringLiteral("/srv/€/1.xml"), QString(),
                       QStringLiteral("/srv/a/") + pair + QStringLiteral(".xml"), QStringLiteral("/srv/b/n.xml"),
                       QStringLiteral("/srv/a/spazi.xml")}
        << QStringList{QStringLiteral("caffè.xml"), QStringLiteral("1.xml"), QString(), pair + QStringLiteral(".xml"),
                       QStringLiteral("n.xml"), QStringLiteral("spazi.xml")};
    // The shown name need not be the path's last part; a path may lack a folder or a name.
    QTest::newRow("paths and names apart")
        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                       QStringLiteral("e")}
        << QStringList{QStringLiteral("/srv/x/vero.xml"), QStringLiteral("senza_cartella.xml"),
                       QStringLiteral("/srv/x/"), QString(), QStringLiteral("/")}
        << QStringList{QStringLiteral("mostrato.xml"), QStringLiteral("senza_cartella.xml"), QStringLiteral("n"),
                       QStringLiteral("solo_nome.xml"), QString()};
    QStringList rows, paths, names;
    rows << QString(200000, QLatin1Char('r')) << QString(70000, QChar(0x20AC)); // longer than a block
    paths << QStringLiteral("/lungo/a.xml") << QStringLiteral("/lungo/b.xml");
    names << QStringLiteral("a.xml") << QStringLiteral("b.xml");
    QRandomGenerator rng(20240110);
    const QStringList pieces{QStringLiteral("20240110 | "), QStringLiteral("IT0123_"), QStringLiteral("Perché "),
                             QStringLiteral("€ "), QStringLiteral("a"), QStringLiteral("B"),
                             QString(40, QLatin1Char(' '))};
    for (int i = 0; i < 4000; ++i) {
        QString row;
        for (int n = 1 + int(rng.bounded(12u)); n > 0; --n)
            row += pieces[rng.bounded(quint32(pieces.size()))];
        const QString name = row.left(int(rng.bounded(20u))) + QString::number(i) + QStringLiteral(".xml");
        rows << row;
        paths << QStringLiteral("/cartella/") + QString::number(i % 3) + QLatin1Char('/') + name;
        names << name;
    }
    QTest::newRow("many rows over several blocks") << rows << paths << names;
}

void TestXmlList::textsComeBackAsAdded()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, paths);
    QFETCH(QStringList, names);
    XmlList list;
    QList<int> added;
    for (int i = 0; i < rows.size(); ++i) {
        list.AddItem(rows[i], paths[i], names[i]);
        added << i;
    }
    std::stable_sort(added.begin(), added.end(), [&](int a, int b) {
        return QString::compare(rows[a], rows[b], Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(list.ListCount(), rows.size());
    for (int i = 0; i < list.ListCount(); ++i) {
        const int k = added[i];
        QCOMPARE(list.List(i), rows[k]);
        QCOMPARE(list.FilePath(i), paths[k]);
        QCOMPARE(list.FileName(i), names[k]);
        QCOMPARE(list.data(list.index(i, 0), Qt::DisplayRole).toString(), rows[k]);
    }
    QCOMPARE(list.Field(0, 1), Qor().GetField(rows[added[0]], 1, QStringLiteral("|"), true));
}

QTEST_GUILESS_MAIN(TestXmlList)
#include "tst_xmllist.moc"
