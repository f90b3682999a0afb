// Selection tools on a long invoice list: builds N layout-0 rows (and 2N), then times
//   search on the whole row, search on one column, invert, never-sent, and the list
//   window's Refine over the same rows,
// and prints the time per row of each at N and 2N and the ratio of the two totals
// (about 2 when the work is linear, about 4 when it is quadratic).
//
//   bench_select [--rows N]

#include "foundation/StartSettings.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Dialogs.h"
#include "printing/F_List.h"

#include "BenchDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace
{

QString row(int i)
{
    const QString type = i % 5 == 0 ? QStringLiteral("TD04") : QStringLiteral("TD01");
    const QString sent = i % 3 == 0 ? QStringLiteral("01/02/2024 10:00:00") : QStringLiteral(" ");
    return QStringLiteral(
               "20240110|IT01234567890_%1.xml                                           |10/01/2024 "
               "| %2  |%3|10/01/2024|CLIENTE %4 SPA                          |DITTA EMITTENTE SRL"
               "                      | |%5|")
        .arg(i, 6, 10, QLatin1Char('0'))
        .arg(type)
        .arg(QString::number(i).rightJustified(20))
        .arg(i % 500)
        .arg(sent);
}

void fill(F_ZipXML& w, int n)
{
    w.Lst_XMLRows->Clear();
    w.Lst_XMLRows->setLayout(0);
    for (int i = 0; i < n; ++i)
        w.Lst_XMLRows->AddItem(row(i), QStringLiteral("/tmp/f%1.xml").arg(i),
                               QStringLiteral("f%1.xml").arg(i));
}

double timeMs(const std::function<void()>& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

struct Times {
    double wholeRow = 0, column = 0, invert = 0, neverSent = 0, refine = 0;
};

Times run(F_ZipXML& w, int n)
{
    Times t;
    fill(w, n);
    w.Txt_Find.setText(QStringLiteral("CLIENTE 1"));
    w.Cmb_Sel->setCurrentIndex(0);
    t.wholeRow = timeMs([&] { w.Cmd_Find_Click(); });
    w.Cmb_Sel->setCurrentIndex(4);
    w.Txt_Find.setText(QStringLiteral("TD04"));
    t.column = timeMs([&] { w.Cmd_Find_Click(); });
    t.invert = timeMs([&] { w.Cmd_SelInv_Click(); });
    t.neverSent = timeMs([&] { w.Cmd_SelInv_MouseUp(2, 0, 0, 0); });

    F_List& list = F_List::instance();
    list.Lst_Lista->Clear();
    for (int i = 0; i < n; ++i)
        list.Lst_Lista->AddItem(w.Lst_XMLRows->List(i));
    list.show();
    list.Txt_Cerca->setText(QStringLiteral("TD04"));
    t.refine = timeMs([&] { list.Cmd_Lascia_Click(); });
    list.Unload();
    QCoreApplication::processEvents();
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    p.addOption({QStringLiteral("rows"), QStringLiteral("rows of the smaller run"), QStringLiteral("N"),
                 QStringLiteral("20000")});
    p.process(app);
    const int n = qMax(1, p.value(QStringLiteral("rows")).toInt());

    QTemporaryDir dir;
    qputenv("PLICORA_APPDIR", dir.filePath(QStringLiteral("app")).toUtf8());
    qputenv("PLICORA_WINDIR", dir.filePath(QStringLiteral("win")).toUtf8());
    setDialogService(std::make_unique<AnswerYes>());
    G_DirApp = dir.path() + QLatin1Char('/');

    F_ZipXML& w = F_ZipXML::instance();
    w.show();
    const Times a = run(w, n);
    const Times b = run(w, 2 * n);
    std::printf("%-22s %14s %14s %8s\n", "", "us/row at N", "us/row at 2N", "2N/N");
    auto line = [&](const char* name, double x, double y) {
        std::printf("%-22s %14.3f %14.3f %8.2f\n", name, 1000.0 * x / n, 1000.0 * y / (2 * n),
                    x > 0 ? y / x : 0.0);
    };
    std::printf("rows: N = %d\n", n);
    line("search, whole row", a.wholeRow, b.wholeRow);
    line("search, one column", a.column, b.column);
    line("invert", a.invert, b.invert);
    line("never-sent", a.neverSent, b.neverSent);
    line("list window Refine", a.refine, b.refine);
    std::fflush(stdout);
    std::_Exit(0); // the main window's close would end the process through its own road
}
