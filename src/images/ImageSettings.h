#pragma once

#include <QString>
#include <cstdint>

class Settings;
class SettingsStore;

// The viewer's keys of settings section "Image": its size in twips (0 = not
// yet set), whether it was maximised ("255" or "0") and the NHC ocean letter.
class ImageSettings
{
public:
    static constexpr int TwipsPerPixel = 15;

    double ImageWidth = 0;
    double ImageHeight = 0;
    std::uint8_t ZoomImage = 0;
    QString Ocean = QStringLiteral("A");

    void read(const SettingsStore& store);
    void write(Settings& settings, SettingsStore& store) const;
};
