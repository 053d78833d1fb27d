#include "ingest/WebPageHandler.h"

#include "core/Settings.h"
#include "ingest/FiledProductRouter.h"
#include "ingest/IncomingProduct.h"
#include "ingest/ProductIntake.h"
#include "product/FiledProduct.h"

WebPageHandler::WebPageHandler(ProductIntake& intake, FiledProductRouter& router)
    : m_intake(intake), m_router(router)
{
}

void WebPageHandler::handle(const IncomingProduct& p)
{
    const QString target = m_intake.settings().TextPath + p.fileName;
    m_intake.takeOut(p, target);
    FiledProduct filed;
    filed.kind = FiledProduct::Kind::WebPage;
    filed.receivedName = p.received;
    filed.productName = p.productName;
    filed.storedName = p.fileName;
    filed.path = target;
    m_router.route(filed);
}
