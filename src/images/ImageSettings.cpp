#include "images/ImageSettings.h"

#include "core/Settings.h"
#include "platform/ValueConversion.h"

void ImageSettings::read(const SettingsStore& store)
{
    using Key = Settings::Key;
    ImageWidth = ValueConversion::lenientNumber(Settings::storedText(store, Key::ImageWidth));
    ImageHeight = ValueConversion::lenientNumber(Settings::storedText(store, Key::ImageHeight));
    ZoomImage = ValueConversion::lenientByte(Settings::storedText(store, Key::ZoomImage));
    Ocean = Settings::storedText(store, Key::Ocean);
}

void ImageSettings::write(Settings& settings, SettingsStore& store) const
{
    using Key = Settings::Key;
    settings.storeNumber(store, Key::ImageWidth, ImageWidth);
    settings.storeNumber(store, Key::ImageHeight, ImageHeight);
    settings.storeNumber(store, Key::ZoomImage, ZoomImage);
    settings.storeText(store, Key::Ocean, Ocean);
}
