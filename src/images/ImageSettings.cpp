#include "images/ImageSettings.h"

#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

void ImageSettings::read(const SettingsStore& store)
{
    ImageWidth = ValueConversion::lenientNumber(
        store.read(Section, QStringLiteral("ImageWidth"), QStringLiteral("0")));
    ImageHeight = ValueConversion::lenientNumber(
        store.read(Section, QStringLiteral("ImageHeight"), QStringLiteral("0")));
    ZoomImage = ValueConversion::lenientByte(
        store.read(Section, QStringLiteral("ZoomImage"), QStringLiteral("0")));
    Ocean = store.read(Section, QStringLiteral("Ocean"), QStringLiteral("A"));
}

void ImageSettings::write(SettingsStore& store) const
{
    store.write(Section, QStringLiteral("ImageWidth"), ValueConversion::plainNumber(ImageWidth));
    store.write(Section, QStringLiteral("ImageHeight"), ValueConversion::plainNumber(ImageHeight));
    store.write(Section, QStringLiteral("ZoomImage"), QString::number(ZoomImage));
    store.write(Section, QStringLiteral("Ocean"), Ocean);
}
