#pragma once

#include <QString>
#include <functional>

class IPrompter;
class ProductRequests;

// The filtered list's pop-up menu: 0 "List All Bulletins", 2 "List All
// Images", 4 "Auto-Update", 6 "Add to Alarms", 7 "Print", 8 "Send to Pager",
// 9 "Send to Email". The last four act on the selected entry of the filtered
// list and ask for one first. Print of an AFOS graphic (an entry beginning
// with "GPH") has the outside viewer print it.
class ListPopup
{
public:
    // What the entries do beyond listing; an entry without a handler is not offered.
    struct Handlers
    {
        std::function<void()> listImages;
        std::function<void()> addToAlarms;
        std::function<void()> print;
        std::function<void(const QString& entry)> afosPrint;
        std::function<void()> page;
        std::function<void()> email;
    };

    ListPopup(ProductRequests& requests, IPrompter& prompter);

    void setHandlers(Handlers handlers) { m_handlers = std::move(handlers); }
    // True when the entry does something in this program.
    bool available(int index) const;
    // selectedEntry: the text of the selected entry of the filtered list.
    void choose(int index, bool list1HasSelection, const QString& selectedEntry = QString());

private:
    const std::function<void()>* handler(int index) const;

    ProductRequests& m_requests;
    IPrompter& m_prompter;
    Handlers m_handlers;
};
