#include "app/ui/RequestButtonBar.h"

#include "core/MenuDefinitions.h"
#include "display/ProductRequests.h"

#include <QHBoxLayout>
#include <QPushButton>

RequestButtonBar::RequestButtonBar(ProductRequests& requests, QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    for (int i = 0; i < MenuDefinitions::ButtonCount; ++i) {
        auto* button = new QPushButton;
        button->setObjectName(QStringLiteral("cmdButton%1").arg(i));
        button->setVisible(false);
        connect(button, &QPushButton::clicked, this, [&requests, button] {
            requests.productButton(button->property("tag").toString());
        });
        m_buttons << button;
        row->addWidget(button);
    }
    row->addStretch();
}

void RequestButtonBar::showEntries(const QList<MenuEntry>& entries)
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        QPushButton* button = m_buttons[i];
        const bool defined = i < entries.size();
        button->setVisible(defined);
        if (defined) {
            button->setText(entries[i].caption);
            button->setToolTip(entries[i].tag);
            button->setProperty("tag", entries[i].tag);
        }
    }
}
