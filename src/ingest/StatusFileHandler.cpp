#include "ingest/StatusFileHandler.h"

#include "ingest/FiledProductRouter.h"
#include "ingest/IncomingProduct.h"
#include "ingest/ProductIntake.h"
#include "product/FiledProduct.h"

StatusFileHandler::StatusFileHandler(QString programDir, ProductIntake& intake,
                                     FiledProductRouter& router)
    : m_programDir(std::move(programDir)), m_intake(intake), m_router(router)
{
}

void StatusFileHandler::handle(const IncomingProduct& p)
{
    const QString target = m_programDir + QStringLiteral("status.txt");
    m_intake.takeOut(p, target);
    FiledProduct filed;
    filed.kind = FiledProduct::Kind::Status;
    filed.receivedName = p.received;
    filed.productName = p.productName;
    filed.storedName = QStringLiteral("status.txt");
    filed.path = target;
    m_router.route(filed);
}
