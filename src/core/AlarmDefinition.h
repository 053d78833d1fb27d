#pragma once

#include <QString>

// One alarm definition: a product pattern and what to do when a product
// matches it. The switches hold 0 (off) or 1 (on); -1 means "none" for the
// sound, e-mail and pager choices.
struct AlarmDefinition
{
    QString pattern;
    quint8 list = 0, print = 0, compress = 0;
    qint16 scroll = 0, audio = -1, email = -1, pager = -1;
    quint8 dayOnly = 0;
    QString zone;
    quint8 log = 0, display = 0, exe = 0, custom = 0;
    QString state; // runtime-only alarm state text, never written

    bool operator==(const AlarmDefinition&) const = default;
};
