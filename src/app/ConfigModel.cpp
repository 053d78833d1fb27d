#include "app/ConfigModel.h"

#include "app/MainState.h"
#include "core/GeoLocation.h"
#include "notify/MailSender.h"
#include "platform/CreateDir.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
const QString DelayMessage =
    QStringLiteral("Minutes of inactivity must be a whole number from 0 to 255.");
} // namespace

ConfigModel::ConfigModel(MainState& state) : m_state(state) {}

ConfigFields ConfigModel::load() const
{
    const Settings& s = m_state.settings;
    ConfigFields f;
    f.text = s.TextPath;
    f.images = s.GIFPath;
    f.hourly = s.SAPath;
    f.dataIn = s.TransferPath;
    f.custom = s.ArchivePath;
    f.server = s.POPServer;
    f.personal = s.EMail0;
    f.gphplot = s.GPHPath;
    f.wxplot = s.WXPlotPath;
    f.port = QString::number(s.PortNum);
    switch (s.Baud) {
    case 1200:
        f.baud = QStringLiteral("1200");
        break;
    case 2400:
        f.baud = QStringLiteral("2400");
        break;
    case 9600:
        f.baud = QStringLiteral("9600");
        break;
    default:
        f.baud = QStringLiteral("19200");
    }
    f.mode = s.WeathernodeMode ? 1 : (s.NetworkMode ? 2 : 0);
    f.idleEmail = s.AlertEmail != 0;
    f.idlePager = s.AlertPager != 0;
    f.idleNet = s.AlertByte != 0;
    f.delay = QString::number(s.InactivityDelay);
    f.filters = {s.Filter0 != 0, s.Filter1 != 0, s.Filter2 != 0};
    for (int i = 0; i < 3; ++i)
        f.state[i] = s.StateFilterIt.mid(i * 3, 3);
    f.audio = s.LimitAudio == -1 ? 0 : (s.LimitOneAudio == -1 ? 1 : 2);
    f.metar = s.MetarDL == 1;
    f.metarIds = s.Metar;
    f.reverse = s.Reverse == 1;
    f.longHeader = s.LongHeader == 1;
    f.expandHeader = s.ExpandHeader == 1;
    f.compress = s.CompressEmailWarnings == 1;
    f.internet = s.InternetDL == 1;
    f.rcm = s.RCMUnzip == 1;
    f.purge = true;
    f.purgeTime = ValueConversion::plainNumber(s.Purge);
    f.purgeProd = QString::number(s.PurgeProd);
    f.latitude = s.Latitude;
    f.longitude = s.Longitude;
    f.notifyDesktop = s.NotifyDesktop;
    f.notifySpeak = s.NotifySpeak;
    f.notifyMailWords = s.NotifyMailWords;
    f.notifyVoice = s.NotifyVoice;
    f.notifyRate = QString::number(s.NotifyRate);
    return f;
}

void ConfigModel::modeClicked(int index, ConfigFields& fields)
{
    Settings& s = m_state.settings;
    switch (index) {
    case 0:
        s.WeathernodeMode = false;
        s.NetworkMode = false;
        fields.text = validatePath(fields.text);
        fields.images = validatePath(fields.images);
        fields.hourly = validatePath(fields.hourly);
        break;
    case 1:
        s.WeathernodeMode = true;
        s.NetworkMode = false;
        fields.dataIn = s.TransferPath;
        break;
    default:
        s.NetworkMode = true;
        s.WeathernodeMode = false;
    }
    fields.mode = index;
}

QString ConfigModel::validatePath(const QString& path)
{
    QString p = path.trimmed();
    if (p.isEmpty())
        return p;
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    CreateDir::CreateByPath(p);
    return p;
}

QString ConfigModel::validateWxPlot(const QString& path, bool* wxPlotFound)
{
    *wxPlotFound = false;
    QString p = path.trimmed();
    if (p.isEmpty())
        return p;
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    IPrompter& prompter = *m_state.services().prompter;
    if (!QDir::isAbsolutePath(p)) {
        prompter.message(
            QStringLiteral("Please use the full directory path, i.e. \"/opt/wxplot/\""), QString(),
            IPrompter::Icon::None);
        return {};
    }
    if (QFileInfo::exists(p + QStringLiteral("bin/wish80")) ||
        QFileInfo::exists(p + QStringLiteral("bin/WISH80.EXE"))) {
        *wxPlotFound = true;
        m_state.settings.WXPlotPath = p;
        return p;
    }
    prompter.message(QStringLiteral("Cannot find WXPlot in the\n") + p +
                         QStringLiteral(" directory."),
                     QString(), IPrompter::Icon::Critical);
    return {};
}

void ConfigModel::filterClicked(int index, bool checked)
{
    Settings& s = m_state.settings;
    const std::int16_t value = checked ? 1 : 0;
    if (index == 0)
        s.Filter0 = value;
    else if (index == 1)
        s.Filter1 = value;
    else
        s.Filter2 = value;
}

QString ConfigModel::emailEntry(int n) const
{
    return m_state.emailBook.address(n);
}

void ConfigModel::setEmailEntry(int n, const QString& address, bool writeToStore)
{
    m_state.emailBook.setAddress(n, address);
    if (writeToStore)
        m_state.settings.storeText(*m_state.services().store, Settings::Key::EMail, address, n);
}

bool ConfigModel::isValidDelay(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const int minutes = t.toInt(&ok);
    return ok && !t.startsWith(QLatin1Char('+')) && minutes >= 0 && minutes <= 255;
}

QString ConfigModel::validateDelay(const QString& text)
{
    if (isValidDelay(text))
        return text.trimmed();
    m_state.services().prompter->message(DelayMessage, QString(), IPrompter::Icon::Exclamation);
    return m_state.settings.InactivityDelayText;
}

QString ConfigModel::validateLatitude(const QString& text)
{
    const QString problem = GeoLocation::latitudeProblem(text);
    if (problem.isEmpty())
        return text.trimmed();
    m_state.services().prompter->message(problem, QString(), IPrompter::Icon::Exclamation);
    return m_state.settings.Latitude;
}

QString ConfigModel::validateLongitude(const QString& text)
{
    const QString problem = GeoLocation::longitudeProblem(text);
    if (problem.isEmpty())
        return text.trimmed();
    m_state.services().prompter->message(problem, QString(), IPrompter::Icon::Exclamation);
    return m_state.settings.Longitude;
}

QString ConfigModel::locationProblem(const QString& latitude, const QString& longitude)
{
    QString problem = GeoLocation::latitudeProblem(latitude);
    if (problem.isEmpty())
        problem = GeoLocation::longitudeProblem(longitude);
    if (problem.isEmpty() && latitude.trimmed().isEmpty() != longitude.trimmed().isEmpty())
        problem = QStringLiteral("Enter both latitude and longitude of your location, or neither.");
    return problem;
}

ConfigModel::SaveResult ConfigModel::save(const ConfigFields& f)
{
    if (!isValidDelay(f.delay)) {
        m_state.services().prompter->message(DelayMessage, QString(), IPrompter::Icon::Exclamation);
        return SaveResult::Invalid;
    }
    if (const QString problem = locationProblem(f.latitude, f.longitude); !problem.isEmpty()) {
        m_state.services().prompter->message(problem, QString(), IPrompter::Icon::Exclamation);
        return SaveResult::Invalid;
    }
    Settings& s = m_state.settings;
    s.Latitude = f.latitude.trimmed();
    s.Longitude = f.longitude.trimmed();
    s.LimitAudio = f.audio == 0 ? -1 : 0;
    s.LimitOneAudio = f.audio == 1 ? -1 : 0;
    s.AlertEmail = f.idleEmail ? 1 : 0;
    s.AlertPager = f.idlePager ? 1 : 0;
    s.AlertByte = f.idleNet ? 1 : 0;
    s.TextPath = f.text;
    s.GIFPath = f.images;
    s.SAPath = f.hourly;
    s.ArchivePath = f.custom;
    s.POPServer = f.server;
    s.EMail0 = f.personal;
    s.GPHPath = f.gphplot;
    s.WXPlotPath = f.wxplot;
    s.RCMUnzip = f.rcm ? 1 : 0;
    s.PurgeProd = ValueConversion::lenientByte(f.purgeProd);
    s.InactivityDelay = ValueConversion::lenientByte(f.delay);
    s.InactivityDelayText = f.delay.trimmed();
    const bool restart = f.dataIn != s.TransferPath;
    s.TransferPath = f.dataIn;
    m_state.mail().install(s.POPServer, s.EMail0);
    s.MetarDL = f.metar ? 1 : 0;
    s.Metar = f.metarIds.toUpper();
    s.Reverse = f.reverse ? 1 : 0;
    s.InternetDL = f.internet ? 1 : 0;
    s.LongHeader = f.longHeader ? 1 : 0;
    m_state.lists.setLongHeader(f.longHeader);
    std::array<QString, 3> codes = f.state;
    if (codes[0].isEmpty()) {
        codes[0] = codes[1];
        codes[1] = codes[2];
        codes[2].clear();
    }
    if (codes[1].isEmpty()) {
        codes[1] = codes[2];
        codes[2].clear();
    }
    s.StateFilterIt = codes[0] + codes[1] + codes[2];
    s.Purge = ValueConversion::lenientNumber(f.purgeTime);
    s.PurgeVal = 1;
    s.CompressEmailWarnings = f.compress ? 1 : 0;
    s.ExpandHeader = f.expandHeader ? 1 : 0;
    s.PortNum = ValueConversion::lenientInt16(f.port);
    s.Baud = ValueConversion::lenientInt16(f.baud);
    if (s.Metar.isEmpty())
        s.Metar = QStringLiteral("K---");
    s.Filter0 = f.filters[0] ? 1 : 0;
    s.Filter1 = f.filters[1] ? 1 : 0;
    s.Filter2 = f.filters[2] ? 1 : 0;
    SettingsStore& store = *m_state.services().store;
    IPrompter& prompter = *m_state.services().prompter;
    s.NotifyDesktop = f.notifyDesktop;
    s.NotifySpeak = f.notifySpeak;
    s.NotifyMailWords = f.notifyMailWords;
    s.NotifyVoice = f.notifyVoice.trimmed().isEmpty() ? Settings::defaultText(Settings::Key::Voice)
                                                      : f.notifyVoice.trimmed();
    s.NotifyRate = static_cast<std::int16_t>(std::clamp(f.notifyRate.trimmed().toInt(), 80, 450));
    s.writeConfigSave(store);
    if (!store.sync()) {
        prompter.message(store.writeFailure() +
                             QStringLiteral("\nThe changes apply until Vantorel ends; press Save "
                                            "again once the file can be written."),
                         QString(), IPrompter::Icon::Exclamation);
        return SaveResult::NotWritten;
    }
    if (restart)
        prompter.message(QStringLiteral("Shut down Vantorel and restart."), QString(),
                         IPrompter::Icon::None);
    return restart ? SaveResult::RestartNeeded : SaveResult::Saved;
}
