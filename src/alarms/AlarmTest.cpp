#include "alarms/AlarmTest.h"

#include "alarms/AlarmDispatcher.h"
#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "platform/FileLister.h"
#include "platform/RegExpMatcher.h"
#include "platform/RuntimeError.h"
#include "product/FiledProduct.h"

#include <QFile>

AlarmTest::AlarmTest(QString programDir, const Settings& settings, AlarmFile& alarms,
                     StatusLine& status, DisplayState& display, AlarmDispatcher& dispatcher)
    : m_programDir(std::move(programDir)), m_settings(settings), m_alarms(alarms), m_status(status),
      m_display(display), m_dispatcher(dispatcher)
{
}

bool AlarmTest::available() const
{
    return !FileLister::list(m_programDir, QStringLiteral("testprod.*")).isEmpty();
}

int AlarmTest::run()
{
    const QString dir = m_programDir;
    const QStringList found = FileLister::list(dir, QStringLiteral("testprod.*"));
    if (found.isEmpty()) {
        m_display.setDisplay(QStringLiteral(" --  No test file found --\n\nRequired: "
                                            "testprod.{filename}\nin ") +
                             dir);
        return 0;
    }
    const QString name = found.first().right(8).toUpper();
    const QString fileName = name + QStringLiteral(".TXT");
    m_status.setText(QStringLiteral("Processing ") + fileName);
    const QString target = m_settings.TextPath + fileName;
    QFile::remove(target);
    if (!QFile::copy(dir + found.first(), target)) {
        m_status.setText(QStringLiteral("Cannot copy the test product to ") + target);
        return 0;
    }
    // Alarmed as a text product whose identifier is the test file's name.
    FiledProduct product;
    product.kind = FiledProduct::Kind::Text;
    product.receivedName = fileName;
    product.productName = name;
    product.storedName = fileName;
    product.path = target;
    product.identifier = name;
    QList<AlarmDefinition>& definitions = m_alarms.definitions();
    int fired = 0;
    for (int i = 0; i < definitions.size() && i <= m_alarms.alarmCount(); ++i) {
        const QString pattern = definitions[i].pattern;
        if (pattern.isEmpty())
            break;
        RegExpMatcher matcher;
        matcher.setExpression(QString(pattern).replace(QLatin1Char('?'), QLatin1Char('.')));
        try {
            if (!matcher.Match(name))
                continue;
        } catch (const RuntimeError&) {
            continue; // an invalid pattern is reported when real products arrive
        }
        definitions[i].state = TestState;
        m_dispatcher.ProcessAlarms(product, i);
        ++fired;
    }
    return fired;
}
