#include "cwinapp.h"

#include <QApplication>

int AfxWinMain(int argc, char** argv)
{
    QApplication application(argc, argv);
    return AfxRunApplication();
}
