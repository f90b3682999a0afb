// Two files whose names differ only in letter case, "A.xml" archived before "a.xml": every
// operation that finds or writes a FILES row by name acts on the file it was given.
#include "support/ListFixture.h"

#include <QLabel>
#include <QPushButton>

using namespace listfx;

class TestNameCase : public QObject
{
    Q_OBJECT
  private slots:
    void eachOperationItsOwnFile_data();
    void eachOperationItsOwnFile();
};

namespace
{

const QString kUpper = QStringLiteral("A.xml");
const QString kLower = QStringLiteral("a.xml");

// Every FILES row in the order stored: "name|number|send date (yyyy-mm-dd)|issuer surname".
QStringList filesState(ado::Connection& cn)
{
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT des_fileonly, des_numdoc, dat_send, des_emit_cogn FROM FILES ORDER BY rowid"),
            cn, ado::adOpenStatic, ado::adLockReadOnly);
    QStringList out;
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QVariant sent = rs[2].Value();
        out << rs[0].toString() + QLatin1Char('|') + rs[1].toString() + QLatin1Char('|') +
                   (ado::IsNull(sent) ? QString() : sent.toDate().toString(Qt::ISODate)) + QLatin1Char('|') +
                   ado::ValueText(rs[3].Value());
    }
    rs.Close();
    return out;
}

} // namespace

// operation: what is done to a.xml alone. stamped: both files sent on 05/02/2024 before.
// after: FILES afterwards (filesState), A.xml's row first.
void TestNameCase::eachOperationItsOwnFile_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("stamped");
    QTest::addColumn<QStringList>("after");
    const auto rows = [](const QString& upperSent, const QString& lowerSent) {
        return QStringList{QStringLiteral("A.xml|1|%1|").arg(upperSent), QStringLiteral("a.xml|2|%1|").arg(lowerSent)};
    };
    QTest::newRow("definitive ZIP") << "zip" << false << rows(QString(), QStringLiteral("2026-12-10"));
    QTest::newRow("ZIP right click") << "zip right" << false << rows(QString(), QStringLiteral("2024-03-15"));
    QTest::newRow("send date, rule 1") << "rule 1" << false << rows(QString(), QStringLiteral("2024-01-10"));
    QTest::newRow("header Ctrl+right click") << "header set" << false
                                             << rows(QString(), QStringLiteral("2024-01-31"));
    QTest::newRow("header right click") << "header clear" << true << rows(QStringLiteral("2024-02-05"), QString());
    // Run twice: a new row gets its name columns on the next run.
    QTest::newRow("refresh scan") << "refresh" << false
                                  << QStringList{QStringLiteral("A.xml|1||ROSSI"), QStringLiteral("a.xml|2||VERDI")};
}

void TestNameCase::eachOperationItsOwnFile()
{
    QFETCH(QString, operation);
    QFETCH(bool, stamped);
    QFETCH(QStringList, after);
    Fixture fx;
    fx.archive(true);
    // Two invoices of the same length: only the name's case tells the files apart.
    Doc upper{QStringLiteral("1")}, lower{QStringLiteral("2")};
    upper.emittNome = QStringLiteral("MARIO");
    upper.emittCogn = QStringLiteral("ROSSI");
    lower.emittNome = QStringLiteral("LUIGI");
    lower.emittCogn = QStringLiteral("VERDI");
    const QString upperPath = fx.write(kUpper, upper);
    const QString lowerPath = fx.write(kLower, lower);
    QCOMPARE(QFileInfo(upperPath).size(), QFileInfo(lowerPath).size());

    if (operation == QLatin1String("refresh")) {
        QCOMPARE(MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.folder)), 2);
        QCOMPARE(MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.folder)), 0);
        // The scan's own order among the two is the listing's: compare as a set.
        QStringList state = filesState(fx.cn);
        state.sort(Qt::CaseSensitive);
        QCOMPARE(state, after);
        return;
    }

    const QVariant sent = stamped ? QVariant(QDateTime(QDate(2024, 2, 5), QTime(0, 0))) : QVariant();
    fx.record(upperPath, sent);
    fx.record(lowerPath, sent);
    // The issuer surnames are no part of these operations.
    fx.cn.Execute(QStringLiteral("UPDATE FILES SET des_emit_cogn=NULL"));
    const bool ruleLayout = operation == QLatin1String("rule 1");
    F_ZipXML& w = fx.open(ruleLayout ? 5 : 0);
    w.Cmd_ListNew_Click();
    QCOMPARE(w.Lst_XMLRows->ListCount(), 2);
    for (int i = 0; i < 2; ++i)
        w.Lst_XMLRows->setSelected(i, w.Lst_XMLRows->FileName(i) == kLower);
    QCOMPARE(w.Lst_XMLRows->SelCount(), 1);

    ScriptedDialogs& d = fx.env.dialogs();
    if (operation == QLatin1String("zip")) {
        fx.env.launcher().onRun = &RecordingLauncher::runForReal;
        const QString zipDir = fx.env.work() + QStringLiteral("zip/");
        QDir().mkpath(zipDir);
        w.Txt_DirZIP.setText(zipDir);
        w.Chk_DoMail.setValue(0);
        d.answer(vb::Yes).answer(vb::Yes); // confirm, then "Definitiva ?"
        w.Cmd_ZipSel_Click();
        QCOMPARE(w.status(), QStringLiteral("Termine generazione File ZIP. - Mail NON Inviata."));
    } else if (operation == QLatin1String("zip right")) {
        w.Lbl_LastDo->setText(QStringLiteral("2024/03/15"));
        w.Cmd_ZipSel_MouseUp(2, 0, 0, 0);
    } else if (ruleLayout) {
        d.answer(vb::Yes).answerInput(QStringLiteral("1"));
        w.Cmd_DoDateSend_Click();
    } else if (operation == QLatin1String("header set")) {
        d.answer(vb::Yes).answer(vb::Yes); // confirm, then the document's month
        w.Lbl_Hed_MouseUp(2, 2, 0, 0);
    } else {
        d.answer(vb::Yes);
        w.Lbl_Hed_MouseUp(2, 0, 0, 0);
    }
    QVERIFY(d.allAnswered());
    QCOMPARE(filesState(fx.cn), after);
}

QTEST_MAIN(TestNameCase)
#include "tst_namecase.moc"
