#include "core/SettingsTable.h"

namespace {

using E = SettingsEntry;
using T = SettingsEntry::Type;
using F = SettingsEntry::Form;
using K = Settings::Key;

constexpr unsigned Start = E::ReadAtStart;
constexpr unsigned Save = E::ConfigSave;
constexpr unsigned StartSave = E::ReadAtStart | E::ConfigSave;
// Keys added after the others: a hand-edited value never stops the start.
constexpr unsigned Added = StartSave | E::Forgiving;

const QLatin1String Config("Config");
const QLatin1String Startup("Startup");
const QLatin1String Pager("Pager");
const QLatin1String Ftp("FTP");
const QLatin1String Image("Image");
const QLatin1String Location("Location");
const QLatin1String Notify("Notify");
const QLatin1String Nwws("NWWS");

QString saveDir(int)
{
    return Settings::defaultSaveDir();
}
QString gifPath(int)
{
    return Settings::defaultGIFPath();
}
QString archivePath(int)
{
    return Settings::defaultArchivePath();
}
QString saPath(int)
{
    return Settings::defaultSAPath();
}
QString popServer(int)
{
    return Settings::defaultPOPServer();
}
QString email0(int)
{
    return Settings::defaultEMail0();
}
QString ftpServer(int)
{
    return Settings::defaultFTPServer();
}
QString alarmFileCaption(int index)
{
    return QStringLiteral("File %1").arg(index + 1);
}
QString mirror(int index)
{
    return index == 2 ? QStringLiteral("https://www.weather.gov/emwin/")
                      : QStringLiteral("https://tgftp.nws.noaa.gov/data/emwin/");
}

QList<SettingsEntry> build()
{
    const auto L = [](const char* s) { return QLatin1String(s); };
    return {
        {K::ImageShowing, Config, L("ImageShowing"), T::UpperText, F::Text, "", nullptr,
         &Settings::ImageShowing, Start},
        {K::AlarmFileNum, Config, L("AlarmFileNum"), T::Byte, F::Plain, "0", nullptr,
         &Settings::AlarmFileNum, Start},
        {K::PortNum, Config, L("PortNum"), T::Int16, F::Number, "1", nullptr, &Settings::PortNum,
         StartSave},
        {K::Baud, Config, L("Baud"), T::Int16, F::Number, "9600", nullptr, &Settings::Baud,
         StartSave},
        {K::TextPath, Config, L("TextPath"), T::Text, F::Text, "abcd", nullptr, &Settings::TextPath,
         StartSave},
        {K::GIFPath, Config, L("GIFPath"), T::Text, F::Text, nullptr, gifPath, &Settings::GIFPath,
         StartSave},
        {K::ArchivePath, Config, L("ArchivePath"), T::Text, F::Text, nullptr, archivePath,
         &Settings::ArchivePath, StartSave},
        {K::SAPath, Config, L("SAPath"), T::Text, F::Text, nullptr, saPath, &Settings::SAPath,
         StartSave},
        {K::FileNameConv, Config, L("FileNameConv"), T::Byte, F::Plain, "0", nullptr,
         &Settings::FileNameConv, Start},
        {K::GraphicNameConv, Config, L("GraphicNameConv"), T::Byte, F::Plain, "0", nullptr,
         &Settings::GraphicNameConv, Start},
        {K::StateFilterIt, Config, L("StateFilterIt"), T::Text, F::Text, "GRRDTXIWX", nullptr,
         &Settings::StateFilterIt, StartSave},
        {K::Purge, Config, L("Purge"), T::Real, F::Number, "12", nullptr, &Settings::Purge,
         StartSave},
        {K::PurgeProd, Config, L("PurgeProd"), T::Byte, F::Number, "3", nullptr,
         &Settings::PurgeProd, StartSave},
        {K::POPServer, Config, L("POPServer"), T::Text, F::Text, nullptr, popServer,
         &Settings::POPServer, StartSave},
        {K::Reverse, Config, L("Reverse"), T::Int16, F::Number, "0", nullptr, &Settings::Reverse,
         StartSave},
        {K::EMail0, Config, L("EMail0"), T::Text, F::Text, nullptr, email0, &Settings::EMail0,
         StartSave},
        {K::MetarDL, Config, L("MetarDL"), T::StrictInt16, F::Number, "0", nullptr,
         &Settings::MetarDL, StartSave},
        {K::PurgeVal, Config, L("PurgeVal"), T::StrictInt16, F::Number, "0", nullptr,
         &Settings::PurgeVal, StartSave},
        // Read as a number and kept as the text it was given; written as that text.
        {K::InactivityDelay, Config, L("InactivityDelay"), T::Byte, F::Text, "3", nullptr,
         &Settings::InactivityDelay, StartSave},
        {K::AlertEmail, Config, L("AlertEmail"), T::Int16, F::Number, "0", nullptr,
         &Settings::AlertEmail, StartSave},
        {K::AlertPager, Config, L("AlertPager"), T::Int16, F::Number, "0", nullptr,
         &Settings::AlertPager, StartSave},
        {K::AlertByte, Config, L("AlertByte"), T::Int16, F::Number, "0", nullptr,
         &Settings::AlertByte, StartSave},
        {K::Metar, Config, L("Metar"), T::Text, F::Text, "KORD", nullptr, &Settings::Metar,
         StartSave},
        {K::Filter0, Config, L("Filter0"), T::Int16, F::Number, "1", nullptr, &Settings::Filter0,
         StartSave},
        {K::Filter1, Config, L("Filter1"), T::Int16, F::Number, "1", nullptr, &Settings::Filter1,
         StartSave},
        {K::Filter2, Config, L("Filter2"), T::Int16, F::Number, "1", nullptr, &Settings::Filter2,
         StartSave},
        {K::DefaultSaveDir, Config, L("DefaultSaveDir"), T::Text, F::Text, nullptr, saveDir,
         &Settings::DefaultSaveDir, Start},
        {K::WeathernodeMode, Config, L("WeathernodeMode"), T::Truth, F::TrueFalse, "False", nullptr,
         &Settings::WeathernodeMode, StartSave},
        {K::NetworkMode, Config, L("NetworkMode"), T::Truth, F::TrueFalse, "False", nullptr,
         &Settings::NetworkMode, StartSave},
        {K::VBMWidth, Config, L("VBMWidth"), T::Int16, F::Plain, "9000", nullptr,
         &Settings::VBMWidth, Start},
        {K::MaxPages, Pager, L("MaxPages"), T::Text, F::Text, "5", nullptr, &Settings::MaxPages,
         Start},
        {K::FTPServer, Ftp, L("FTPServer"), T::Text, F::Text, nullptr, ftpServer,
         &Settings::FTPServer, Start},
        {K::FTPProxy, Ftp, L("FTPProxy"), T::Byte, F::Plain, "0", nullptr, &Settings::FTPProxy,
         Start},
        {K::InternetDL, Config, L("InternetDL"), T::StrictByte, F::Number, "0", nullptr,
         &Settings::InternetDL, StartSave},
        {K::CompressPagerWarnings, Pager, L("CompressPagerWarnings"), T::StrictByte, F::Plain, "0",
         nullptr, &Settings::CompressPagerWarnings, Start},
        {K::CompressEmailWarnings, Pager, L("CompressEmailWarnings"), T::StrictByte, F::Plain, "0",
         nullptr, &Settings::CompressEmailWarnings, StartSave},
        {K::ExpandHeader, Config, L("ExpandHeader"), T::StrictByte, F::Plain, "0", nullptr,
         &Settings::ExpandHeader, StartSave},
        {K::CutoffAM, Config, L("CutoffAM"), T::Int16, F::Plain, "7", nullptr, &Settings::CutoffAM,
         Start},
        {K::CutoffPM, Config, L("CutoffPM"), T::Int16, F::Plain, "22", nullptr, &Settings::CutoffPM,
         Start},
        {K::LimitAudio, Config, L("LimitAudio"), T::Int16, F::Number, "1", nullptr,
         &Settings::LimitAudio, StartSave},
        {K::LimitOneAudio, Config, L("LimitOneAudio"), T::Int16, F::Number, "0", nullptr,
         &Settings::LimitOneAudio, StartSave},
        {K::GPHPath, Config, L("GPHPath"), T::Text, F::Text, "", nullptr, &Settings::GPHPath,
         StartSave},
        {K::WXPlotPath, Config, L("WXPlotPath"), T::Text, F::Text, "", nullptr,
         &Settings::WXPlotPath, StartSave},
        {K::RCMUnzip, Config, L("RCMUnzip"), T::Byte, F::Number, "0", nullptr, &Settings::RCMUnzip,
         StartSave},
        {K::TransferPath, Config, L("TransferPath"), T::Text, F::Text, "abcd", nullptr,
         &Settings::TransferPath, StartSave},
        // The user's place for the warning map and the alarm zone POINT.
        {K::Latitude, Location, L("Latitude"), T::Text, F::Text, "", nullptr, &Settings::Latitude,
         StartSave},
        {K::Longitude, Location, L("Longitude"), T::Text, F::Text, "", nullptr,
         &Settings::Longitude, StartSave},
        {K::Desktop, Notify, L("Desktop"), T::Truth, F::TrueFalse, "True", nullptr,
         &Settings::NotifyDesktop, Added},
        {K::Speak, Notify, L("Speak"), T::Truth, F::TrueFalse, "False", nullptr,
         &Settings::NotifySpeak, Added},
        {K::Voice, Notify, L("Voice"), T::Text, F::Text, "en-us", nullptr, &Settings::NotifyVoice,
         Added},
        {K::Rate, Notify, L("Rate"), T::StrictInt16, F::Plain, "160", nullptr,
         &Settings::NotifyRate, Added},
        {K::MailWords, Notify, L("MailWords"), T::Truth, F::TrueFalse, "False", nullptr,
         &Settings::NotifyMailWords, Added},
        {K::LongHeader, Config, L("LongHeader"), T::Byte, F::Number, "0", nullptr,
         &Settings::LongHeader, Save},
        {K::AFOSPath, Config, L("AFOSPath"), T::Text, F::Text, "", nullptr, &Settings::AFOSPath,
         Save},
        {K::TrackPath, Config, L("TrackPath"), T::Text, F::Text, "", nullptr, &Settings::TrackPath,
         E::None},
        {K::Height, Startup, L("Height"), T::Real, F::Number, "7725", nullptr, &Settings::Height,
         E::None},
        {K::Width, Startup, L("Width"), T::Real, F::Number, "10845", nullptr, &Settings::Width,
         E::None},
        {K::HideIngest,
         Startup,
         L("HideIngest"),
         T::Truth,
         F::TrueFalse,
         "0",
         nullptr,
         {},
         E::None},
        // The address book: EMail1, EMail2 ... (EMail0 is the sender above).
        {K::EMail, Config, L("EMail"), T::Text, F::Text, "", nullptr, {}, E::Indexed},
        // The captions of the alarm files aFile0..aFile4.
        {K::aFile, Config, L("aFile"), T::Text, F::Text, nullptr, alarmFileCaption, {}, E::Indexed},
        // The two Internet mirrors of products, InternetMirror1 and InternetMirror2.
        {K::InternetMirror,
         Config,
         L("InternetMirror"),
         T::Text,
         F::Text,
         nullptr,
         mirror,
         {},
         E::Indexed},
        // The image viewer's size in twips, maximised ("255") and NHC ocean letter.
        {K::ImageWidth, Image, L("ImageWidth"), T::Real, F::Plain, "0", nullptr, {}, E::None},
        {K::ImageHeight, Image, L("ImageHeight"), T::Real, F::Plain, "0", nullptr, {}, E::None},
        {K::ZoomImage, Image, L("ZoomImage"), T::Byte, F::Plain, "0", nullptr, {}, E::None},
        {K::Ocean, Image, L("Ocean"), T::Text, F::Text, "A", nullptr, {}, E::None},
        // The Weather Wire feed; the server is host:port.
        {K::Enabled, Nwws, L("Enabled"), T::Truth, F::TrueFalse, "False", nullptr, {}, E::None},
        {K::User, Nwws, L("User"), T::Text, F::Text, "", nullptr, {}, E::None},
        {K::Server,
         Nwws,
         L("Server"),
         T::Text,
         F::Text,
         "nwws-oi.weather.gov",
         nullptr,
         {},
         E::None},
        {K::Resource, Nwws, L("Resource"), T::Text, F::Text, "vantorel", nullptr, {}, E::None},
        {K::CACert, Nwws, L("CACert"), T::Text, F::Text, "", nullptr, {}, E::None},
    };
}

} // namespace

const QList<SettingsEntry>& SettingsTable::entries()
{
    static const QList<SettingsEntry> table = build();
    return table;
}

const SettingsEntry& SettingsTable::entry(Settings::Key key)
{
    const QList<SettingsEntry>& all = entries();
    // The table lists the keys in the order of the enumeration.
    const auto at = static_cast<qsizetype>(key);
    Q_ASSERT(at < all.size() && all.at(at).key == key);
    return all.at(at);
}
