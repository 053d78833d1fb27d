#pragma once

#include <QString>

// The alarm file the benchmarks load: 999 definitions as a busy office keeps them.
class BenchAlarmFile
{
public:
    // 999 patterns in the alarm file's write form: categories of common
    // products for a spread of offices, with "?" wildcards and WAR groups;
    // every 10th logs, as does "TOR???" (tornado warnings from anywhere).
    static void write(const QString& path);
};
