#pragma once

#include <QString>
#include <vector>

// Figures every benchmark reports beside its own.
class BenchFigures
{
public:
    // The highest resident memory of this process so far.
    static long peakRssKb();
    // The system's load averages over 1, 5 and 15 minutes.
    static QString loadAverage();
    // The value at fraction p (0..1] of the sorted values; 0 when empty.
    static double percentile(std::vector<double> values, double p);
};
