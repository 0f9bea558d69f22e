#include "cwinapp.h"

#include <QApplication>

int AfxWinMain(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The desktop entry's file name (vornikal.desktop) without its suffix. Qt's wayland platform
    // sends it as the windows' app id, by which docks and task switchers find the entry and its
    // icon; without it the app id would follow the binary's file name.
    QGuiApplication::setDesktopFileName(QStringLiteral("vornikal"));
    return AfxRunApplication();
}
