#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

class SettingsStore;
struct SettingsEntry;

// The program-wide option variables, read from the store once at start and
// written back only by their named writers. Every stored key is a row of
// SettingsTable (section, name, type, default, written form); keys are named
// through Key, never spelled out elsewhere. Each write through this class
// emits changed().
class Settings : public QObject
{
    Q_OBJECT
public:
    // The stored keys. Indexed keys (EMail, aFile, InternetMirror) carry their
    // number after the name: "EMail" + 1 is stored as "EMail1".
    enum class Key
    {
        // Section "Config", in the order start-up reads them.
        ImageShowing,
        AlarmFileNum,
        PortNum,
        Baud,
        TextPath,
        GIFPath,
        ArchivePath,
        SAPath,
        FileNameConv,
        GraphicNameConv,
        StateFilterIt,
        Purge,
        PurgeProd,
        POPServer,
        Reverse,
        EMail0,
        MetarDL,
        PurgeVal,
        InactivityDelay,
        AlertEmail,
        AlertPager,
        AlertByte,
        Metar,
        Filter0,
        Filter1,
        Filter2,
        DefaultSaveDir,
        WeathernodeMode,
        NetworkMode,
        VBMWidth,
        MaxPages,
        FTPServer,
        FTPProxy,
        InternetDL,
        CompressPagerWarnings,
        CompressEmailWarnings,
        ExpandHeader,
        CutoffAM,
        CutoffPM,
        LimitAudio,
        LimitOneAudio,
        GPHPath,
        WXPlotPath,
        RCMUnzip,
        TransferPath,
        // Section "Location", read at start and written by Save.
        Latitude,
        Longitude,
        // Section "Notify": desktop notifications and speech, read at start
        // (an unreadable value is reported and its default kept) and written
        // by Save.
        Desktop,
        Speak,
        Voice,
        Rate,
        MailWords,
        // Read or written on their own.
        LongHeader,
        AFOSPath,
        TrackPath,
        Height,
        Width,
        HideIngest,
        EMail,
        aFile,
        InternetMirror,
        ImageWidth,
        ImageHeight,
        ZoomImage,
        Ocean,
        // Section "NWWS": the Weather Wire feed, kept by NwwsSettings.
        Enabled,
        User,
        Server,
        Resource,
        CACert,
    };
    Q_ENUM(Key)

    // Section "Config"
    QString TransferPath = QStringLiteral("abcd");
    QString TextPath = QStringLiteral("abcd");
    QString GIFPath;
    QString ArchivePath;
    QString SAPath;
    QString TrackPath;
    QString GPHPath;
    QString WXPlotPath;
    QString AFOSPath; // written by Save, never read back
    QString DefaultSaveDir;
    QString StateFilterIt = QStringLiteral("GRRDTXIWX");
    std::int16_t Filter0 = 1, Filter1 = 1, Filter2 = 1;
    std::uint8_t LongHeader = 0;
    std::uint8_t ExpandHeader = 0;
    double Purge = 12;
    std::int16_t PurgeVal = 0;
    std::uint8_t PurgeProd = 3;
    std::uint8_t RCMUnzip = 0;
    std::uint8_t InternetDL = 0;
    std::uint8_t InactivityDelay = 3;
    QString InactivityDelayText = QStringLiteral("3"); // the text Save writes
    std::int16_t AlertEmail = 0, AlertPager = 0, AlertByte = 0;
    bool WeathernodeMode = false;
    bool NetworkMode = false;
    std::int16_t PortNum = 1;
    std::int16_t Baud = 9600;
    QString POPServer;
    QString EMail0;
    QString Metar = QStringLiteral("KORD");
    std::int16_t MetarDL = 0;
    std::int16_t Reverse = 0;
    std::int16_t LimitAudio = 1;
    std::int16_t LimitOneAudio = 0;
    std::int16_t CutoffAM = 7;
    std::int16_t CutoffPM = 22;
    std::uint8_t AlarmFileNum = 0;
    QString ImageShowing;
    std::int16_t VBMWidth = 9000;
    std::uint8_t FileNameConv = 0, GraphicNameConv = 0;
    // Section "Startup"
    double Height = 7725;
    double Width = 10845;
    bool HideIngest = false;
    // Section "Pager"
    QString MaxPages = QStringLiteral("5");
    std::uint8_t CompressPagerWarnings = 0;
    std::uint8_t CompressEmailWarnings = 0;
    // Section "FTP"
    QString FTPServer;
    std::uint8_t FTPProxy = 0;
    // Section "Notify": desktop notifications and spoken alarms
    bool NotifyDesktop = true;                     // key Desktop
    bool NotifySpeak = false;                      // key Speak
    QString NotifyVoice = QStringLiteral("en-us"); // key Voice (a voice of the synthesizer)
    std::int16_t NotifyRate = 160;                 // key Rate (words per minute)
    bool NotifyMailWords = false; // key MailWords: alarm mail and page subjects in words

    // Section "Location": the user's place for the warning map and the alarm
    // zone POINT; decimal degrees, north and east positive; empty = none.
    QString Latitude;
    QString Longitude;

    // Not stored: on when "striplf.txt" is in the program directory at start;
    // outgoing mail texts then end their lines in CR only.
    bool stripLF = false;

    explicit Settings(QObject* parent = nullptr);

    // Defaults that depend on the user's home directory.
    static QString defaultTextPath();
    static QString defaultSaveDir();
    static QString defaultGIFPath();
    static QString defaultArchivePath();
    static QString defaultSAPath();
    static QString defaultFTPServer();
    static QString defaultPOPServer();
    static QString defaultEMail0();

    // The stored text of a key, or the key's default when it is absent.
    static QString storedText(const SettingsStore& store, Key key, int index = 0);
    // The key's default text.
    static QString defaultText(Key key, int index = 0);
    // The stored name of a key ("aFile" with index 2 is "aFile2").
    static QString keyName(Key key, int index = 0);

    // Writes a text or a number as the key's value in the key's stored form.
    void storeText(SettingsStore& store, Key key, const QString& text, int index = 0);
    void storeNumber(SettingsStore& store, Key key, double value, int index = 0);
    // Writes the option variable of a key as it now stands.
    void store(SettingsStore& store, Key key);

    // Reads LongHeader (start-up reads it before everything else).
    void readLongHeader(const SettingsStore& store);
    // Reads Height and Width of section "Startup".
    void readWindowSize(const SettingsStore& store);
    // Reads the keys of "Config", "Pager", "FTP", "Location" and "Notify" in
    // start-up order. A value that is not a number where one is required
    // throws TypeMismatch; a number too large for its key is reported in
    // problems and the default used. Keys marked Forgiving report every
    // unreadable value and keep their default.
    void readStartupKeys(const SettingsStore& store, QStringList* problems);
    bool readHideIngest(const SettingsStore& store, QStringList* problems) const;

    // The writers.
    void writeConfigSave(SettingsStore& store); // the configuration dialog's Save
    void writeShutdown(SettingsStore& store, bool hideIngest, bool minimised);
    void writePagerSetup(SettingsStore& store); // the paging configuration's Save

    // The receipt directory: TrackPath + "emwin/"; empty while TrackPath is unset.
    QString receiptDir() const;

    // The three local office codes cut from StateFilterIt; "=}" for an empty one.
    QStringList localFilterCodes() const;

signals:
    // A key was written to the store (index for the indexed keys, else 0).
    void changed(Settings::Key key, int index);

private:
    void readKey(const SettingsStore& store, const SettingsEntry& entry, QStringList* problems);
    void convertKey(const SettingsEntry& entry, const QString& text, QStringList* problems);
    QString storedForm(const SettingsEntry& entry) const;
    void write(SettingsStore& store, const SettingsEntry& entry, const QString& text, int index);
};
