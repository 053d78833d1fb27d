#include "ingest/FiledProductRouter.h"

#include "core/AlarmFile.h"
#include "core/IAlarmLoops.h"
#include "core/IMetarHooks.h"
#include "core/NewProducts.h"
#include "core/ProductLists.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "product/FiledProduct.h"

FiledProductRouter::FiledProductRouter(const Targets& targets) : m_t(targets) {}

void FiledProductRouter::route(const FiledProduct& product)
{
    switch (product.kind) {
    case FiledProduct::Kind::Status:
        m_t.status.setText(QStringLiteral("New STATUS file ready"));
        break;
    case FiledProduct::Kind::Image:
        routeImage(product);
        break;
    case FiledProduct::Kind::Collection:
        routeCollection(product);
        break;
    case FiledProduct::Kind::WebPage:
        routeWebPage(product);
        break;
    case FiledProduct::Kind::Text:
        routeText(product);
        break;
    }
}

void FiledProductRouter::routeText(const FiledProduct& product)
{
    m_t.newProducts.add(product.key);
    runMetarHooks(product);
    m_t.lists.addReceived(product.listLine);
    m_t.lists.addLocal(product.listLine, product.key);
    setDdeHeader(product);
    m_t.status.setText(QStringLiteral("Received ") + product.identifier + QStringLiteral(" from ") +
                       product.station);
    m_t.alarmLoops.runAlarms(product);
    m_t.lists.recolour(ListKind::Live);
}

void FiledProductRouter::routeImage(const FiledProduct& product)
{
    m_t.status.setText(QStringLiteral("Received ") + product.storedName);
    m_t.alarmLoops.runAlarms(product);
    m_t.lists.addReceived(product.storedName);
    setDdeHeader(product);
}

void FiledProductRouter::routeCollection(const FiledProduct& product)
{
    m_t.status.setText(QStringLiteral("Received ") + product.storedName);
    m_t.lists.addReceived(product.storedName);
    setDdeHeader(product);
    m_t.alarmLoops.runAlarms(product);
}

void FiledProductRouter::routeWebPage(const FiledProduct& product)
{
    m_t.status.setText(QStringLiteral("Received ") + product.storedName);
    m_t.lists.addReceived(product.storedName);
    setDdeHeader(product);
}

// Special observations feed the METAR display and the METAR and SPECI alarms.
void FiledProductRouter::runMetarHooks(const FiledProduct& product)
{
    const QString& key = product.key;
    if (!key.contains(QLatin1String("MTRSP")))
        return;
    const Settings& s = m_t.settings;
    if (s.MetarDL == 1)
        m_t.metar.GetOffHourly(s.Metar, key, true);
    if (m_t.alarms.metarAlarmDefined()) {
        m_t.metar.GetOffHourly(s.Metar, key, false);
        m_t.metar.AlarmMetar(QStringLiteral("METAR"));
    }
    if (m_t.alarms.speciAlarmDefined()) {
        m_t.metar.GetOffHourly(s.Metar, key, false);
        m_t.metar.AlarmMetar(QStringLiteral("SPECI"));
    }
}

void FiledProductRouter::setDdeHeader(const FiledProduct& product)
{
    m_t.newProducts.setDdeHeader(product.receivedName.left(12) + QLatin1Char(',') +
                                 product.storedName);
}
