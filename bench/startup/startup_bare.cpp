// The yardstick: a Qt window with a few controls and nothing behind it.
#include "ShownReporter.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QMainWindow window;
    auto *central = new QWidget(&window);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(new QLabel(QStringLiteral("Bare window"), central));
    window.setCentralWidget(central);
    new ShownReporter(window);
    window.show();
    return QApplication::exec();
}
