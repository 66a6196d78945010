// Timing of work in a window, shared by the benchmarks of the viewer.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Milliseconds of work plus the events it leaves behind (layout, painting).
inline double timedWithEvents(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    // Layout and painting post further events while being handled; all of
    // them belong to this work, not to whatever is timed next.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    return double(timer.nsecsElapsed()) / 1e6;
}
