#include "BenchAlarmFile.h"

#include "core/AlarmFile.h"

#include <QStringList>

void BenchAlarmFile::write(const QString& path)
{
    const QStringList categories = {"TOR", "SVR", "FFW", "AFD", "ZFP", "WAR", "SPS", "HWO",
                                    "CLI", "RWR", "FLS", "NOW", "LSR", "PNS", "RTP", "SWO"};
    const QStringList offices = {"GRR", "DTX", "IWX", "BOX", "DMX", "PSR", "LOT", "MKX",
                                 "OKX", "LWX", "FWD", "HGX", "MFL", "SEW", "???", "G??"};
    AlarmFile file;
    for (int i = 0; i < 999; ++i) {
        AlarmDefinition d;
        const QString category = categories.at(i % categories.size());
        QString office = offices.at((i / categories.size()) % offices.size());
        if (category == QLatin1String("WAR"))
            office.replace(QLatin1Char('?'), QLatin1Char('G'));
        d.pattern = category + office;
        if (i >= 256)
            d.pattern += QString::number(i % 10); // longer patterns, rarely firing
        // Every 10th logs, and so do tornado warnings from anywhere.
        d.log = i % 10 == 0 || d.pattern == QLatin1String("TOR???") ? 1 : 0;
        d.list = 1;
        file.definitions() << d;
    }
    file.save(path);
}
