#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

class IClock;
class PointZone;
class QDateTime;
class ITextPrinter;
class ReferenceTables;
struct AlarmDefinition;
struct FiledProduct;

// The alarm component: decides whether a product that matched an alarm
// definition concerns the definition's area and has not been alarmed yet,
// and performs the definition's switched-on actions, mostly by raising events.
//
// Events are plain signals; connect them directly (the default for objects on
// one thread). Handlers run synchronously inside CheckAlarm, on the caller's
// thread, and may throw RuntimeError: CheckAlarm still carries out the
// remaining actions and then rethrows the first failure to its caller.
//
// Area: an empty zone means any area. A zone code (MIZ050) or county code
// (MIC081) means the product must hold a UGC segment for it, and that segment
// is the text of the alarm. A zone code without "!" also accepts the segment
// of the county that bears the zone's name in the same state (warnings list
// counties); "!" before a zone code accepts the zone code only. "!" before a
// county code is ignored. A malformed zone matches nothing. The zone POINT
// matches the segment that concerns the user's location (see PointZone).
//
// Texts: a text product is taken from the text directory as the display shows
// it; images and hourly collections get a one-line notice naming the file. The
// archive event passes the segment when a zone narrowed the product and no
// text otherwise (the filed file is copied unchanged). Archive and program
// start get the filed name, to which their handlers add the directory; both
// are left out for a collection whose file was removed after extraction.
// The compress switch shortens the texts of the scroll, e-mail and pager
// events only. Log and print are done here: a line in weather.txt, the text
// on the printer. The matched text (CheckString of the events) is the
// product's identifier, or the product name of an image or collection.
//
// Repeats: for text products the state text holds the digests of the texts
// alarmed within the last RepeatSeconds, each with its time (most recent
// first, at most MaxRemembered, so a broad definition that sees every product
// keeps a bounded state). A text whose digest is there raises nothing, however
// many other products came in between; otherwise AlarmUpdate hands back the
// state with its digest added and the entries of more than RepeatSeconds ago
// dropped. Images and collections are new products on every arrival (their
// notice text is the same every time) and always alarm.
//
// Reading: a text product is read up to MaxProductBytes. Within a
// ProductScope (one product matched against every definition) it is read
// and digested once and shared by all matching definitions.
class AlarmComponent : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 RepeatSeconds = 3600;
    // About 110 KB of state text for a definition that sees every product.
    static constexpr int MaxRemembered = 4096;
    static constexpr qint64 MaxProductBytes = 1024 * 1024;

    // While one lives, CheckAlarm reads each product once.
    class ProductScope
    {
    public:
        explicit ProductScope(AlarmComponent& component) : m_component(component)
        {
            m_component.m_cached.reset();
            m_component.m_caching = true;
        }
        ~ProductScope()
        {
            m_component.m_caching = false;
            m_component.m_cached.reset();
        }
        ProductScope(const ProductScope&) = delete;
        ProductScope& operator=(const ProductScope&) = delete;

    private:
        AlarmComponent& m_component;
    };

    AlarmComponent(QString programDir, const ReferenceTables& tables, IClock& clock,
                   ITextPrinter& printer, QObject* parent = nullptr);

    // The zone POINT (the user's location); without it POINT matches nothing.
    void setPointZone(const PointZone* zone) { m_pointZone = zone; }

    // Checks definition number index of the alarm table against a filed
    // product that matched its pattern.
    void CheckAlarm(const FiledProduct& product, const AlarmDefinition& definition, int index);

    // The shortened notification text: for TOR, SVR and FFW the bullets from
    // the first one on, then the dictionary's abbreviations for every category.
    static QString compressText(const QString& text, const QString& category,
                                const QList<QPair<QString, QString>>& dictionary);
    // A product read for display: the broadcast framing up to the first
    // start-of-heading group dropped, CR CR read as CR, NUL characters removed.
    static QString cleanProduct(const QString& raw);
    // Digest of a text alarmed for a product; framing lines do not count.
    static QString digest(const QString& fullPathName, const QString& text);
    // One entry of the state text: a digest and when it was alarmed.
    static QString rememberedEntry(const QString& digest, const QDateTime& when);

signals:
    void AlarmUpdate(int anumber, QString astring);
    void AlarmScreen(QString prodtxt, QString FullPathName);
    void AlarmVisual(QString producttxt, QString FullPathName, QString CheckString);
    void PlayAudio(QString LocationF);
    void AlarmList(QString line);
    void AlarmArchive(QString pathname3, QString output3);
    void AlarmEXE(int exenum, QString FullerPathName);
    void alarmEMail(QString prodtxt, int Method, QString CheckString);
    void AlarmPager(QString prodtxt, int aMethod);

private:
    struct Product
    {
        QString text;
        bool whole = true;   // false: the text is a segment of the product
        bool hasFile = true; // the filed file is there to archive or open
    };
    struct CachedProduct
    {
        QString name;
        std::optional<Product> product;
        QString wholeDigest; // of the whole text, once asked for
    };
    std::optional<Product> product(const FiledProduct& filed);
    // The digest of the product's text, shared within a ProductScope when the
    // text is the whole product.
    QString textDigest(const QString& name, const Product& product);
    static std::optional<Product> readProduct(const FiledProduct& filed);
    static std::optional<QString> readText(const QString& path);
    // The state text with mark added, or nothing when mark is remembered.
    std::optional<QString> remember(const QString& state, const QString& mark) const;
    std::optional<QString> areaText(const QString& zone, const QString& text) const;
    QStringList countiesOfZone(const QString& zoneCode) const;
    // Hands back the new state, then runs the switched-on actions.
    void perform(const AlarmDefinition& a, int index, const Product& product,
                 const FiledProduct& filed, const QString& newState);
    void writeLog(const QString& text, const QString& FullPathName,
                  const QString& CheckString) const;
    void print(const QString& text) const;
    QString soundFile(qint16 audio) const;

    QString m_programDir;
    const ReferenceTables& m_tables;
    IClock& m_clock;
    ITextPrinter& m_printer;
    bool m_caching = false;
    std::optional<CachedProduct> m_cached;
    const PointZone* m_pointZone = nullptr;
};
