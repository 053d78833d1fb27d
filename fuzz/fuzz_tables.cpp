// The reference tables and definition files read at start: zones, counties,
// the dictionary, county products, AWIPS headers, the menu, button and quick
// files, and the comma-separated item reading under them. The first byte
// chooses the file; the rest is its content.

#include "FuzzInput.h"
#include "core/MenuDefinitions.h"
#include "core/ReferenceTables.h"
#include "platform/ItemReader.h"
#include "platform/RuntimeError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray content = FuzzInput::bytes(data + 1, size - 1);
    const QString path = FuzzInput::write(QStringLiteral("table.txt"), content);
    ReferenceTables tables;
    MenuDefinitions menus;
    try {
        switch (data[0] % 9) {
        case 0:
            tables.loadZones(path);
            break;
        case 1:
            tables.loadCounties(path);
            break;
        case 2:
            tables.loadDictionary(path);
            break;
        case 3:
            tables.loadCountyProducts(path);
            break;
        case 4:
            tables.loadAwipsHeaders(path);
            (void)tables.awipsIdentifierFor(QStringLiteral("AFDGRRMI"));
            break;
        case 5:
            menus.loadMainMenu(path);
            break;
        case 6:
            menus.loadButtons(path);
            break;
        case 7:
            menus.loadQuick(path);
            break;
        default: {
            ItemReader reader(QString::fromLatin1(content));
            for (int i = 0; i < 100000 && !reader.atEnd(); ++i)
                (void)reader.next();
        }
        }
    } catch (const RuntimeError&) {
        // A malformed file is reported by start-up; that is the expected outcome.
    }
    return 0;
}
