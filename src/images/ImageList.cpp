#include "images/ImageList.h"

#include "core/ProductLists.h"
#include "core/Settings.h"
#include "platform/FileLister.h"

ImageList::ImageList(const Settings& settings, ProductLists& lists, QObject* parent)
    : QObject(parent), m_settings(settings), m_lists(lists)
{
}

void ImageList::listImages()
{
    const QStringList names = FileLister::list(m_settings.GIFPath, Pattern);
    ProductListModel& list1 = m_lists.filtered();
    list1.clear();
    emit listingKindChosen(ListingKind);
    QStringList upper;
    upper.reserve(names.size());
    for (const QString& name : names)
        upper << name.toUpper();
    list1.appendAll(upper);
    m_lists.showList(ListKind::Filtered);
}
