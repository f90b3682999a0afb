#include <QTest>
class T : public QObject { Q_OBJECT private slots: void placeholder() {} };
QTEST_GUILESS_MAIN(T)
#include "tst_proc_qor.moc"
