#pragma once

#include <QString>
#include <functional>
#include <optional>

// Message boxes, questions and input boxes, asked through one interface so
// that logic can be tested with scripted answers.
class IPrompter
{
public:
    enum class Icon
    {
        None,
        Information,
        Exclamation,
        Critical,
        Question
    };
    enum class Buttons
    {
        YesNo,
        YesNoCancel,
        OkCancel
    };
    enum class Answer
    {
        Yes,
        No,
        Cancel,
        Ok
    };

    virtual ~IPrompter() = default;
    virtual void message(const QString& text, const QString& title, Icon icon) = 0;
    virtual Answer question(const QString& text, const QString& title, Buttons buttons) = 0;
    // The typed text, or nothing when cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& initial) = 0;
    // Asks without waiting: answered gets the typed text, or nothing when
    // cancelled, once the user has answered; the caller goes on meanwhile.
    // By default the question is put at once through input().
    virtual void inputLater(const QString& prompt, const QString& title,
                            std::function<void(std::optional<QString>)> answered)
    {
        answered(input(prompt, title, QString()));
    }
};
