#pragma once

#include <QString>

class FiledProductRouter;
class ProductIntake;
struct IncomingProduct;

// STATUS.TXT, the broadcast's status bulletin: replaces status.txt in the
// program directory.
class StatusFileHandler
{
public:
    StatusFileHandler(QString programDir, ProductIntake& intake, FiledProductRouter& router);
    void handle(const IncomingProduct& p);

private:
    QString m_programDir;
    ProductIntake& m_intake;
    FiledProductRouter& m_router;
};
