#pragma once

#include "core/Settings.h"

#include <QLatin1String>
#include <QList>
#include <cstdint>
#include <variant>

// One stored key: where it lives, how its text is read and written, its
// default and the option variable of Settings that holds it (none for keys
// whose value another class keeps).
struct SettingsEntry
{
    // How the stored text is read.
    enum class Type
    {
        Text,
        UpperText,   // upper-cased on reading
        Real,        // any text; what is not a number reads as 0
        Byte,        // 0..255; too large reports and takes the default
        Int16,       // -32768..32767; too large reports and takes the default
        StrictByte,  // as Byte, and a text that is not a number is refused
        StrictInt16, // as Int16, and a text that is not a number is refused
        Truth,       // True/False or a number
    };
    // How a value is written.
    enum class Form
    {
        Text,
        Number,    // a positive number after a space (" 12"), a negative one without
        Plain,     // a number as it is ("12")
        TrueFalse, // "True" or "False"
    };
    // Which of Settings' writers and readers take the key.
    enum Use : unsigned
    {
        None = 0,
        ReadAtStart = 1, // readStartupKeys
        ConfigSave = 2,  // writeConfigSave
        Indexed = 4,     // the name takes a number
        Forgiving = 8,   // a value that cannot be read is reported and the default kept
    };
    using Field = std::variant<std::monostate, QString Settings::*, std::uint8_t Settings::*,
                               std::int16_t Settings::*, double Settings::*, bool Settings::*>;

    Settings::Key key;
    QLatin1String section;
    QLatin1String name;
    Type type;
    Form form;
    // The default: a text, or a function of the index (home-dependent paths,
    // numbered names).
    const char* defaultText;
    QString (*defaultOf)(int index);
    Field field;
    unsigned uses;

    bool has(Use use) const { return (uses & use) != 0; }
};

// The table of every key the program and its companions keep in the
// settings store, in the order start-up reads them.
class SettingsTable
{
public:
    static const QList<SettingsEntry>& entries();
    static const SettingsEntry& entry(Settings::Key key);
};
