#pragma once

#include <QVector>
#include <QtGlobal>
#include <functional>

// Runs a measurement and its floor in turns (so both see the same machine load) and
// keeps the median of each. Each callable times its own critical section and returns
// nanoseconds, so set-up and tear-down stay out of the figure.
class Sampler
{
public:
    using Body = std::function<qint64(int sample)>;

    struct Medians
    {
        double subjectMs = 0;
        double floorMs = 0;
    };

    // One untimed warm-up round of each first (sample number = samples): file cache,
    // fonts, plugins.
    static Medians Run(int samples, const Body &subject, const Body &floor);
    static double Median(QVector<double> values);
    // Lets the event loop finish what a step posted (layouts, paints) before the clock stops.
    static void Settle();
};
