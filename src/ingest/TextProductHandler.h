#pragma once

#include "ingest/VersionRotation.h"

#include <QByteArray>
#include <QString>
#include <functional>

class DuplicateFilter;
class FiledProductRouter;
class MenuDefinitions;
class ProductHeader;
class ProductIntake;
class QFile;
class ReferenceTables;
struct IncomingProduct;

// A text bulletin: read its heading and AWIPS identifier, apply the ignore
// rules and the regional filter, work out its product key and how many older
// versions to keep, then file it in the text directory under its key and
// write its receipt.
//
// The product leaves the Data-In directory first (staged in the store), its
// receipt is written, and only then do the older versions move up and the
// product take its key, so a product that cannot be taken never costs an
// older one. A product that cannot be filed goes to quarantine; one that
// cannot leave the Data-In directory yet stays there untouched.
class TextProductHandler
{
public:
    // Opens the product file for reading; false when it cannot be read.
    using Opener = std::function<bool(QFile&)>;

    struct Context
    {
        const ReferenceTables& tables;
        const MenuDefinitions& menus;
    };

    TextProductHandler(const Context& context, ProductIntake& intake, FiledProductRouter& router,
                       Opener opener);

    void handle(const IncomingProduct& p);
    // Drops a product filed before in the last hour (the same product from
    // both feeds); without a filter every product is filed.
    void setDuplicateFilter(DuplicateFilter* filter) { m_duplicates = filter; }

private:
    struct Settled
    {
        QString ttaaii;
        QString station;
        QString identifier;
    };
    struct Retention
    {
        int count = 0;
        int item = -1; // the menu item that matched, -1 for none
    };

    struct Content
    {
        QByteArray bytes;
        bool whole = false;
    };
    Content readProduct(const IncomingProduct& p) const;
    Settled settle(const IncomingProduct& p, const ProductHeader& header) const;
    bool rejectedByFilter(const IncomingProduct& p, const Settled& s) const;
    static void deriveIdentifier(const IncomingProduct& p, Settled& s);
    Retention retentionFor(const QString& key, const QString& station) const;
    bool fileText(const IncomingProduct& p, const QString& key, int count);
    void writeReceipt(const IncomingProduct& p, const QString& key);
    QString listLine(const QString& key, const Retention& retention) const;

    Context m_c;
    ProductIntake& m_intake;
    FiledProductRouter& m_router;
    Opener m_opener;
    VersionRotation m_versions;
    DuplicateFilter* m_duplicates = nullptr;
};
