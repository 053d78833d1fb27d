#include "blat/Blat.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("blat"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOREL_VERSION));
    return Blat(QCoreApplication::applicationDirPath()).run(QCoreApplication::arguments());
}
