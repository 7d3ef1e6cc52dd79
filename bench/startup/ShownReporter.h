// Tells the benchmark driver the moment a window has been painted for the first time, then ends
// the program, so that both timed programs stop at exactly the same point.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class ShownReporter final : public QObject
{
public:
    explicit ShownReporter(QWidget &window)
        : QObject(&window)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !mReported) {
            mReported = true;
            // Once the paint of the whole window has been handled.
            QTimer::singleShot(0, this, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool mReported = false;
};
