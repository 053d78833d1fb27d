#pragma once

#include "alarms/ISoundOutput.h"

#include <QStringList>

// Records what the alarm sound asked of the output.
class FakeSoundOutput : public ISoundOutput
{
public:
    void play(const QString& path) override { played << path; }
    void beep() override { ++beeps; }
    void close() override { ++closes; }

    QStringList played;
    int beeps = 0;
    int closes = 0;
};
