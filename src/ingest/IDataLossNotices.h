#pragma once

#include <QString>

// Where the data-loss watchdog sends its notices: a mail to the user's own
// address and a page to the personal pager. Both go out without waiting.
class IDataLossNotices
{
public:
    virtual ~IDataLossNotices() = default;
    virtual void mail(const QString& subject, const QString& text) = 0;
    virtual void page(const QString& text) = 0;
};
