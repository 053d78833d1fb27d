#pragma once

#include <QList>
#include <QWidget>

class ProductRequests;
class QPushButton;
struct MenuEntry;

// The row of request buttons at the top of the main window
// ("cmdButton0".."cmdButton8"): each shows an entry of the button file and
// requests the products of its tag; buttons without an entry stay hidden.
class RequestButtonBar : public QWidget
{
    Q_OBJECT
public:
    explicit RequestButtonBar(ProductRequests& requests, QWidget* parent = nullptr);

    void showEntries(const QList<MenuEntry>& entries);

private:
    QList<QPushButton*> m_buttons;
};
