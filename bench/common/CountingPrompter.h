#pragma once

#include "platform/Prompter.h"

// The prompter of the benchmarks: never waits, answers every question No
// and counts what was shown or asked.
class CountingPrompter : public IPrompter
{
public:
    void message(const QString&, const QString&, Icon) override { ++messages; }
    Answer question(const QString&, const QString&, Buttons) override
    {
        ++questions;
        return Answer::No;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override
    {
        ++questions;
        return std::nullopt;
    }
    int asked() const { return messages + questions; }

    int messages = 0;
    int questions = 0;
};
