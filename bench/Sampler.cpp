#include "Sampler.h"

#include <QCoreApplication>

#include <algorithm>

double Sampler::Median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

Sampler::Medians Sampler::Run(int samples, const Body &subject, const Body &floor)
{
    subject(samples);
    floor(samples);
    QVector<double> subjects;
    QVector<double> floors;
    for (int i = 0; i < samples; ++i) {
        floors << floor(i) / 1e6;
        subjects << subject(i) / 1e6;
    }
    return {Median(subjects), Median(floors)};
}

void Sampler::Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}
