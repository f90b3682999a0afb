#include "foundation/M_MV.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Main();
    return app.exec();
}
