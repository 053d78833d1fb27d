#include "core/Settings.h"

#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

#include <QDir>

#include <type_traits>

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kStartup = QStringLiteral("Startup");
const QString kPager = QStringLiteral("Pager");
const QString kFtp = QStringLiteral("FTP");

QString home()
{
    QString h = QDir::homePath();
    if (!h.endsWith(QLatin1Char('/')))
        h += QLatin1Char('/');
    return h;
}

// Reads one key with a conversion; an overflowing stored value is reported
// and the default is used instead, so that an outside edit cannot keep the
// program from starting.
template <typename T, typename Convert>
T readNumber(const SettingsStore& store, const QString& section, const QString& key,
             const QString& defaultText, Convert convert, QStringList* problems)
{
    const QString text = store.read(section, key, defaultText);
    try {
        return convert(text);
    } catch (const RuntimeError& e) {
        if (e.number() != ErrorNumber::Overflow)
            throw RuntimeError(e.number(),
                               section + QLatin1Char('/') + key + QStringLiteral(" = ") + text);
        if (problems)
            problems->append(QStringLiteral("Setting %1/%2 holds \"%3\", too large; using %4.")
                                 .arg(section, key, text, defaultText));
        return convert(defaultText);
    }
}

std::uint8_t asByte(const QString& t)
{
    return ValueConversion::checkedByte(t);
}
std::int16_t asInt16(const QString& t)
{
    return ValueConversion::checkedInt16(t);
}
std::uint8_t asStrictByte(const QString& t)
{
    return ValueConversion::strictByte(t);
}
std::int16_t asStrictInt16(const QString& t)
{
    return ValueConversion::strictInt16(t);
}
bool asTruth(const QString& t)
{
    return ValueConversion::truthValue(t);
}
double asReal(const QString& t)
{
    return ValueConversion::lenientNumber(t);
}

QString num(double v)
{
    return ValueConversion::numberText(v);
}

} // namespace

Settings::Settings()
    : GIFPath(defaultGIFPath()), ArchivePath(defaultArchivePath()), SAPath(defaultSAPath()),
      DefaultSaveDir(home()), POPServer(defaultPOPServer()), EMail0(defaultEMail0()),
      FTPServer(defaultFTPServer())
{
}

QString Settings::defaultTextPath()
{
    return home() + QStringLiteral("Weather/EMWIN/Data/");
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

void Settings::readLongHeader(const SettingsStore& store)
{
    LongHeader = readNumber<std::uint8_t>(store, kConfig, QStringLiteral("LongHeader"),
                                          QStringLiteral("0"), asByte, nullptr);
}

void Settings::readWindowSize(const SettingsStore& store)
{
    Height = asReal(store.read(kStartup, QStringLiteral("Height"), QStringLiteral("7725")));
    Width = asReal(store.read(kStartup, QStringLiteral("Width"), QStringLiteral("10845")));
}

bool Settings::readHideIngest(const SettingsStore& store, QStringList* problems) const
{
    return readNumber<bool>(store, kStartup, QStringLiteral("HideIngest"), QStringLiteral("0"),
                            asTruth, problems);
}

void Settings::readStartupKeys(const SettingsStore& store, QStringList* p)
{
    auto text = [&](const QString& section, const char* key, const QString& def) {
        return store.read(section, QLatin1String(key), def);
    };
    auto byte = [&](const QString& s, const char* key, const char* def) {
        return readNumber<std::uint8_t>(store, s, QLatin1String(key), QLatin1String(def), asByte,
                                        p);
    };
    auto int16 = [&](const QString& s, const char* key, const char* def) {
        return readNumber<std::int16_t>(store, s, QLatin1String(key), QLatin1String(def), asInt16,
                                        p);
    };
    auto strictByte = [&](const QString& s, const char* key, const char* def) {
        return readNumber<std::uint8_t>(store, s, QLatin1String(key), QLatin1String(def),
                                        asStrictByte, p);
    };
    auto strictInt16 = [&](const QString& s, const char* key, const char* def) {
        return readNumber<std::int16_t>(store, s, QLatin1String(key), QLatin1String(def),
                                        asStrictInt16, p);
    };
    auto truth = [&](const QString& s, const char* key, const char* def) {
        return readNumber<bool>(store, s, QLatin1String(key), QLatin1String(def), asTruth, p);
    };

    ImageShowing = text(kConfig, "ImageShowing", QString()).toUpper();
    AlarmFileNum = byte(kConfig, "AlarmFileNum", "0");
    PortNum = int16(kConfig, "PortNum", "1");
    Baud = int16(kConfig, "Baud", "9600");
    TextPath = text(kConfig, "TextPath", QStringLiteral("abcd"));
    GIFPath = text(kConfig, "GIFPath", defaultGIFPath());
    ArchivePath = text(kConfig, "ArchivePath", defaultArchivePath());
    SAPath = text(kConfig, "SAPath", defaultSAPath());
    FileNameConv = byte(kConfig, "FileNameConv", "0");
    GraphicNameConv = byte(kConfig, "GraphicNameConv", "0");
    StateFilterIt = text(kConfig, "StateFilterIt", QStringLiteral("GRRDTXIWX"));
    Purge = asReal(text(kConfig, "Purge", QStringLiteral("12")));
    PurgeProd = byte(kConfig, "PurgeProd", "3");
    POPServer = text(kConfig, "POPServer", defaultPOPServer());
    Reverse = int16(kConfig, "Reverse", "0");
    EMail0 = text(kConfig, "EMail0", defaultEMail0());
    MetarDL = strictInt16(kConfig, "MetarDL", "0");
    PurgeVal = strictInt16(kConfig, "PurgeVal", "0");
    InactivityDelay = byte(kConfig, "InactivityDelay", "3");
    InactivityDelayText = text(kConfig, "InactivityDelay", QStringLiteral("3")).trimmed();
    AlertEmail = int16(kConfig, "AlertEmail", "0");
    AlertPager = int16(kConfig, "AlertPager", "0");
    AlertByte = int16(kConfig, "AlertByte", "0");
    Metar = text(kConfig, "Metar", QStringLiteral("KORD"));
    Filter0 = int16(kConfig, "Filter0", "1");
    Filter1 = int16(kConfig, "Filter1", "1");
    Filter2 = int16(kConfig, "Filter2", "1");
    DefaultSaveDir = text(kConfig, "DefaultSaveDir", home());
    WeathernodeMode = truth(kConfig, "WeathernodeMode", "False");
    NetworkMode = truth(kConfig, "NetworkMode", "False");
    VBMWidth = int16(kConfig, "VBMWidth", "9000");
    MaxPages = text(kPager, "MaxPages", QStringLiteral("5"));
    FTPServer = text(kFtp, "FTPServer", defaultFTPServer());
    FTPProxy = byte(kFtp, "FTPProxy", "0");
    InternetDL = strictByte(kConfig, "InternetDL", "0");
    CompressPagerWarnings = strictByte(kPager, "CompressPagerWarnings", "0");
    CompressEmailWarnings = strictByte(kPager, "CompressEmailWarnings", "0");
    ExpandHeader = strictByte(kConfig, "ExpandHeader", "0");
    CutoffAM = int16(kConfig, "CutoffAM", "7");
    CutoffPM = int16(kConfig, "CutoffPM", "22");
    LimitAudio = int16(kConfig, "LimitAudio", "1");
    LimitOneAudio = int16(kConfig, "LimitOneAudio", "0");
    GPHPath = text(kConfig, "GPHPath", QString());
    WXPlotPath = text(kConfig, "WXPlotPath", QString());
    RCMUnzip = byte(kConfig, "RCMUnzip", "0");
    TransferPath = text(kConfig, "TransferPath", QStringLiteral("abcd"));
    readNotifyKeys(store, p);
}

// ---- Section "Notify" ----
void Settings::readNotifyKeys(const SettingsStore& store, QStringList* problems)
{
    const QString section = QStringLiteral("Notify");
    // Keys added after the others: a value that cannot be read keeps the
    // default and is reported, but never stops the start.
    auto read = [&](auto& field, const char* key, const char* def, auto convert) {
        using T = std::decay_t<decltype(field)>;
        try {
            field = readNumber<T>(store, section, QLatin1String(key), QLatin1String(def), convert,
                                  problems);
        } catch (const RuntimeError&) {
            field = convert(QLatin1String(def));
            if (problems)
                problems->append(QStringLiteral("Setting %1/%2 holds \"%3\"; using %4.")
                                     .arg(section, QLatin1String(key),
                                          store.read(section, QLatin1String(key), QString()),
                                          QLatin1String(def)));
        }
    };
    read(NotifyDesktop, "Desktop", "True", asTruth);
    read(NotifySpeak, "Speak", "False", asTruth);
    NotifyVoice = store.read(section, QStringLiteral("Voice"), QStringLiteral("en-us"));
    read(NotifyRate, "Rate", "160", asStrictInt16);
    read(NotifyMailWords, "MailWords", "False", asTruth);
}

void Settings::writeNotifyKeys(SettingsStore& store) const
{
    const QString section = QStringLiteral("Notify");
    store.write(section, QStringLiteral("Desktop"), ValueConversion::trueFalse(NotifyDesktop));
    store.write(section, QStringLiteral("Speak"), ValueConversion::trueFalse(NotifySpeak));
    store.write(section, QStringLiteral("Voice"), NotifyVoice);
    store.write(section, QStringLiteral("Rate"), QString::number(NotifyRate));
    store.write(section, QStringLiteral("MailWords"), ValueConversion::trueFalse(NotifyMailWords));
}
// ---- end of section "Notify" ----

void Settings::writeConfigSave(SettingsStore& store) const
{
    auto w = [&](const char* key, const QString& value) {
        store.write(kConfig, QLatin1String(key), value);
    };
    w("LimitAudio", num(LimitAudio));
    w("LimitOneAudio", num(LimitOneAudio));
    w("GPHPath", GPHPath);
    w("ArchivePath", ArchivePath);
    w("WXPlotPath", WXPlotPath);
    w("AlertEmail", num(AlertEmail));
    w("AlertPager", num(AlertPager));
    w("AlertByte", num(AlertByte));
    w("PurgeVal", num(PurgeVal));
    w("PortNum", num(PortNum));
    w("Baud", num(Baud));
    w("TextPath", TextPath);
    w("AFOSPath", AFOSPath);
    w("SAPath", SAPath);
    w("GIFPath", GIFPath);
    w("StateFilterIt", StateFilterIt);
    w("Purge", num(Purge));
    w("PurgeProd", num(PurgeProd));
    w("InactivityDelay", InactivityDelayText);
    w("POPServer", POPServer);
    w("EMail0", EMail0);
    w("MetarDL", num(MetarDL));
    w("Metar", Metar);
    w("Filter0", num(Filter0));
    w("Filter1", num(Filter1));
    w("Filter2", num(Filter2));
    w("WeathernodeMode", ValueConversion::trueFalse(WeathernodeMode));
    w("NetworkMode", ValueConversion::trueFalse(NetworkMode));
    w("InternetDL", num(InternetDL));
    store.write(kPager, QStringLiteral("CompressEmailWarnings"),
                ValueConversion::plainNumber(CompressEmailWarnings));
    w("ExpandHeader", ValueConversion::plainNumber(ExpandHeader));
    w("Reverse", num(Reverse));
    w("LongHeader", num(LongHeader));
    w("RCMUnzip", num(RCMUnzip));
    w("TransferPath", TransferPath);
}

void Settings::writeShutdown(SettingsStore& store, bool hideIngest, bool minimised) const
{
    store.write(kStartup, QStringLiteral("HideIngest"), ValueConversion::trueFalse(hideIngest));
    store.write(kConfig, QStringLiteral("ImageShowing"), ImageShowing);
    if (!minimised) {
        store.write(kStartup, QStringLiteral("Width"), num(Width));
        store.write(kStartup, QStringLiteral("Height"), num(Height));
    }
}

void Settings::writePagerSetup(SettingsStore& store) const
{
    store.write(kPager, QStringLiteral("MaxPages"), MaxPages);
    store.write(kPager, QStringLiteral("CompressPagerWarnings"),
                ValueConversion::plainNumber(CompressPagerWarnings));
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
