#pragma once

#include <QObject>
#include <QString>

class Settings;
class ProductLists;

// "All Image Files": every image of the image directory, upper-cased, in the
// filtered list List1, which is brought to the front. The listing kind "GIF"
// makes the filtered list's auto-update repeat this listing.
class ImageList : public QObject
{
    Q_OBJECT
public:
    static inline const QString ListingKind = QStringLiteral("GIF");
    static inline const QString Pattern = QStringLiteral("*.GIF;*.JPG;*.BMP;*.JPEG");

    ImageList(const Settings& settings, ProductLists& lists, QObject* parent = nullptr);

    void listImages();

signals:
    // The current listing request is now the image list (R0 = "GIF").
    void listingKindChosen(const QString& kind);

private:
    const Settings& m_settings;
    ProductLists& m_lists;
};
