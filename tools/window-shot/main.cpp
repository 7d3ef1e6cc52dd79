// Saves a picture of one window of the X display as its program painted it, so the software
// centre's screenshot shows the real program, grabbed from outside it.
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QThread>

namespace {

constexpr unsigned long settleMilliseconds = 250;
constexpr int grabAttempts = 80;

bool hasContent(const QImage &picture)
{
    const QImage flat = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb first = flat.pixel(0, 0);
    for (int y = 0; y < flat.height(); ++y) {
        for (int x = 0; x < flat.width(); ++x) {
            if (flat.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}

// The window's picture once two grabs a moment apart agree and show more than one colour: its
// program has painted it and is done. A null picture if that never happens.
QImage settledPicture(WId window)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    QImage previous;
    for (int attempt = 0; attempt < grabAttempts; ++attempt) {
        const QImage current = screen->grabWindow(window).toImage();
        if (!current.isNull() && current == previous && hasContent(current))
            return current;
        previous = current;
        QThread::msleep(settleMilliseconds);
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    const QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Saves a picture of an X window as PNG."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("window"), QStringLiteral("The window's X id."));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The PNG file to write."));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    bool valid = false;
    const WId window = arguments.value(0).toULongLong(&valid, 0);
    if (arguments.size() != 2 || !valid)
        parser.showHelp(2);
    QTextStream errors(stderr);
    const QImage picture = settledPicture(window);
    if (picture.isNull()) {
        errors << "Window " << arguments.at(0) << " was never painted steadily.\n";
        return 1;
    }
    if (!picture.save(arguments.at(1), "PNG")) {
        errors << "Could not write " << arguments.at(1) << ".\n";
        return 1;
    }
    return 0;
}
