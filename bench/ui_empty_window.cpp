// The anchor of the start-up benchmark (ui_startup.sh): a Qt program that shows one empty main
// window of the main window's default size and reports its first paint the way Quobel does.
#include <QApplication>
#include <QMainWindow>

#include "ui/app/startup_probe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(900, 600);
    quobel::WatchFirstPaintIfAsked(window);
    window.show();
    return app.exec();
}
