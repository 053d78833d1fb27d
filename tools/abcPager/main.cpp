#include "abcPager/AbcPager.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("abcPager"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOREL_VERSION));
    return AbcPager(QCoreApplication::applicationDirPath()).run(QCoreApplication::arguments());
}
