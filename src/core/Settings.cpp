#include "core/Settings.h"

#include "core/SettingsTable.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

#include <QDir>

#include <type_traits>

namespace {

using Type = SettingsEntry::Type;
using Form = SettingsEntry::Form;

QString home()
{
    QString h = QDir::homePath();
    if (!h.endsWith(QLatin1Char('/')))
        h += QLatin1Char('/');
    return h;
}

// Converts one stored text; an overflowing value is reported and the default
// is used instead, so that an outside edit cannot keep the program from
// starting. A text that is not a number where one is required throws.
template <typename T, typename Convert>
T convertNumber(const SettingsEntry& e, const QString& text, Convert convert, QStringList* problems)
{
    try {
        return convert(text);
    } catch (const RuntimeError& error) {
        const QString defaultText = Settings::defaultText(e.key);
        if (error.number() != ErrorNumber::Overflow)
            throw RuntimeError(error.number(), e.section + QLatin1Char('/') + e.name +
                                                   QStringLiteral(" = ") + text);
        if (problems)
            problems->append(QStringLiteral("Setting %1/%2 holds \"%3\", too large; using %4.")
                                 .arg(e.section, e.name, text, defaultText));
        return convert(defaultText);
    }
}

QString formatted(Form form, double value)
{
    switch (form) {
    case Form::Number:
        return ValueConversion::numberText(value);
    case Form::TrueFalse:
        return ValueConversion::trueFalse(value != 0);
    case Form::Plain:
    case Form::Text:
        break;
    }
    return ValueConversion::plainNumber(value);
}

template <typename T> void assign(Settings& s, const SettingsEntry& e, T value)
{
    if (const auto* field = std::get_if<T Settings::*>(&e.field))
        s.*(*field) = value;
}

} // namespace

Settings::Settings(QObject* parent)
    : QObject(parent), GIFPath(defaultGIFPath()), ArchivePath(defaultArchivePath()),
      SAPath(defaultSAPath()), DefaultSaveDir(defaultSaveDir()), POPServer(defaultPOPServer()),
      EMail0(defaultEMail0()), FTPServer(defaultFTPServer())
{
}

QString Settings::defaultTextPath()
{
    return home() + QStringLiteral("Weather/EMWIN/Data/");
}
QString Settings::defaultSaveDir()
{
    return home();
}
QString Settings::defaultGIFPath()
{
    return home() + QStringLiteral("Weather/EMWIN/Images/");
}
QString Settings::defaultArchivePath()
{
    return home() + QStringLiteral("Weather/EMWIN/Archive/");
}
QString Settings::defaultSAPath()
{
    return home() + QStringLiteral("Weather/EMWIN/HourlyWX/");
}
QString Settings::defaultFTPServer()
{
    return QStringLiteral("tgftp.nws.noaa.gov");
}
QString Settings::defaultPOPServer()
{
    return QStringLiteral("Enter your SMTP mail server");
}
QString Settings::defaultEMail0()
{
    return QStringLiteral("you@example.com");
}

QString Settings::keyName(Key key, int index)
{
    const SettingsEntry& e = SettingsTable::entry(key);
    return e.has(SettingsEntry::Indexed) ? e.name + QString::number(index) : QString(e.name);
}

QString Settings::defaultText(Key key, int index)
{
    const SettingsEntry& e = SettingsTable::entry(key);
    return e.defaultOf ? e.defaultOf(index) : QString::fromLatin1(e.defaultText);
}

QString Settings::storedText(const SettingsStore& store, Key key, int index)
{
    return store.read(SettingsTable::entry(key).section, keyName(key, index),
                      defaultText(key, index));
}

void Settings::write(SettingsStore& store, const SettingsEntry& e, const QString& text, int index)
{
    store.write(e.section, keyName(e.key, index), text);
    emit changed(e.key, index);
}

void Settings::storeText(SettingsStore& store, Key key, const QString& text, int index)
{
    write(store, SettingsTable::entry(key), text, index);
}

void Settings::storeNumber(SettingsStore& store, Key key, double value, int index)
{
    const SettingsEntry& e = SettingsTable::entry(key);
    write(store, e, formatted(e.form, value), index);
}

void Settings::store(SettingsStore& store, Key key)
{
    const SettingsEntry& e = SettingsTable::entry(key);
    write(store, e, storedForm(e), 0);
}

QString Settings::storedForm(const SettingsEntry& e) const
{
    if (e.key == Key::InactivityDelay)
        return InactivityDelayText;
    return std::visit(
        [&](auto field) -> QString {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, std::monostate>)
                return QString();
            else if constexpr (std::is_same_v<F, QString Settings::*>)
                return this->*field;
            else
                return formatted(e.form, static_cast<double>(this->*field));
        },
        e.field);
}

void Settings::readKey(const SettingsStore& store, const SettingsEntry& e, QStringList* p)
{
    const QString text = storedText(store, e.key);
    if (!e.has(SettingsEntry::Forgiving)) {
        convertKey(e, text, p);
        return;
    }
    try {
        convertKey(e, text, p);
    } catch (const RuntimeError&) {
        const QString fallback = defaultText(e.key);
        if (p)
            p->append(QStringLiteral("Setting %1/%2 holds \"%3\"; using %4.")
                          .arg(e.section, e.name, text, fallback));
        convertKey(e, fallback, p);
    }
}

void Settings::convertKey(const SettingsEntry& e, const QString& text, QStringList* p)
{
    switch (e.type) {
    case Type::Text:
        assign(*this, e, text);
        break;
    case Type::UpperText:
        assign(*this, e, text.toUpper());
        break;
    case Type::Real:
        assign(*this, e, ValueConversion::lenientNumber(text));
        break;
    case Type::Byte:
        assign(*this, e, convertNumber<std::uint8_t>(e, text, ValueConversion::checkedByte, p));
        break;
    case Type::Int16:
        assign(*this, e, convertNumber<std::int16_t>(e, text, ValueConversion::checkedInt16, p));
        break;
    case Type::StrictByte:
        assign(*this, e, convertNumber<std::uint8_t>(e, text, ValueConversion::strictByte, p));
        break;
    case Type::StrictInt16:
        assign(*this, e, convertNumber<std::int16_t>(e, text, ValueConversion::strictInt16, p));
        break;
    case Type::Truth:
        assign(*this, e, convertNumber<bool>(e, text, ValueConversion::truthValue, p));
        break;
    }
    if (e.key == Key::InactivityDelay)
        InactivityDelayText = text.trimmed();
}

void Settings::readLongHeader(const SettingsStore& store)
{
    readKey(store, SettingsTable::entry(Key::LongHeader), nullptr);
}

void Settings::readWindowSize(const SettingsStore& store)
{
    readKey(store, SettingsTable::entry(Key::Height), nullptr);
    readKey(store, SettingsTable::entry(Key::Width), nullptr);
}

bool Settings::readHideIngest(const SettingsStore& store, QStringList* problems) const
{
    const SettingsEntry& e = SettingsTable::entry(Key::HideIngest);
    return convertNumber<bool>(e, storedText(store, e.key), ValueConversion::truthValue, problems);
}

void Settings::readStartupKeys(const SettingsStore& store, QStringList* problems)
{
    for (const SettingsEntry& e : SettingsTable::entries())
        if (e.has(SettingsEntry::ReadAtStart))
            readKey(store, e, problems);
}

void Settings::writeConfigSave(SettingsStore& store)
{
    for (const SettingsEntry& e : SettingsTable::entries())
        if (e.has(SettingsEntry::ConfigSave))
            write(store, e, storedForm(e), 0);
}

void Settings::writeShutdown(SettingsStore& store, bool hideIngest, bool minimised)
{
    storeNumber(store, Key::HideIngest, hideIngest);
    this->store(store, Key::ImageShowing);
    if (!minimised) {
        this->store(store, Key::Width);
        this->store(store, Key::Height);
    }
}

void Settings::writePagerSetup(SettingsStore& store)
{
    this->store(store, Key::MaxPages);
    this->store(store, Key::CompressPagerWarnings);
}

QStringList Settings::localFilterCodes() const
{
    QStringList codes;
    for (int i = 0; i < 3; ++i) {
        const QString code = StateFilterIt.mid(i * 3, 3);
        codes << (code.isEmpty() ? QStringLiteral("=}") : code);
    }
    return codes;
}

QString Settings::receiptDir() const
{
    return TrackPath.isEmpty() ? QString() : TrackPath + QStringLiteral("emwin/");
}
