#include "ingest/ImageHandler.h"

#include "core/Settings.h"
#include "ingest/FiledProductRouter.h"
#include "ingest/IncomingProduct.h"
#include "ingest/IngestFiles.h"
#include "ingest/ProductIntake.h"
#include "product/FiledProduct.h"

ImageHandler::ImageHandler(ProductIntake& intake, FiledProductRouter& router)
    : m_intake(intake), m_router(router)
{
}

void ImageHandler::handle(const IncomingProduct& p)
{
    const QString& dir = m_intake.settings().GIFPath;
    const QString extension = p.received.contains(QLatin1String(".GIF")) ? QStringLiteral(".GIF")
                                                                         : QStringLiteral(".JPG");
    const QString newName = p.fileName.left(p.fileName.indexOf(QLatin1Char('.'))) +
                            QLatin1Char('-') + m_intake.timestamp() + extension;
    m_intake.takeOut(p, dir + newName);
    if (newName != p.fileName)
        IngestFiles::removeIfPresent(dir + p.fileName);
    FiledProduct filed;
    filed.kind = FiledProduct::Kind::Image;
    filed.receivedName = p.received;
    filed.productName = p.productName;
    filed.storedName = newName;
    filed.path = dir + newName;
    m_router.route(filed);
}
