#pragma once

#include "platform/Prompter.h"

class QWidget;

// Asks the user with real message and input boxes.
class WidgetPrompter : public IPrompter
{
public:
    explicit WidgetPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(const QString& text, const QString& title, Icon icon) override;
    Answer question(const QString& text, const QString& title, Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& initial) override;
    // A dialog that does not block the window thread or the main window.
    void inputLater(const QString& prompt, const QString& title,
                    std::function<void(std::optional<QString>)> answered) override;

private:
    QWidget* m_parent;
};
