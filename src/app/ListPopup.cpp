#include "app/ListPopup.h"

#include "display/ProductRequests.h"
#include "platform/Prompter.h"

ListPopup::ListPopup(ProductRequests& requests, IPrompter& prompter)
    : m_requests(requests), m_prompter(prompter)
{
}

const std::function<void()>* ListPopup::handler(int index) const
{
    switch (index) {
    case 2:
        return &m_handlers.listImages;
    case 6:
        return &m_handlers.addToAlarms;
    case 7:
        return &m_handlers.print;
    case 8:
        return &m_handlers.page;
    case 9:
        return &m_handlers.email;
    default:
        return nullptr;
    }
}

bool ListPopup::available(int index) const
{
    if (index == 0 || index == 4)
        return true;
    const std::function<void()>* action = handler(index);
    return action && *action;
}

void ListPopup::choose(int index, bool list1HasSelection, const QString& selectedEntry)
{
    if (!available(index))
        return;
    if (index == 0) {
        m_requests.listAllBulletins();
        return;
    }
    if (index == 4) {
        m_requests.setAutoUpdate(!m_requests.autoUpdate());
        return;
    }
    if (index >= 6 && !list1HasSelection) {
        m_prompter.message(QStringLiteral("Must select a product first"), QString(),
                           IPrompter::Icon::Information);
        return;
    }
    const QString entry = selectedEntry.toUpper();
    if (index == 7 && entry.startsWith(QLatin1String("GPH")) && m_handlers.afosPrint) {
        m_handlers.afosPrint(entry);
        return;
    }
    (*handler(index))();
}
