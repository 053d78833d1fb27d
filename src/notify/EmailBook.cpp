#include "notify/EmailBook.h"

#include "platform/TextFile.h"

EmailBook::EmailBook()
{
    clear();
}

void EmailBook::clear()
{
    m_names = QStringList(MaxEntries);
    m_addresses = QStringList(MaxEntries + 1);
    m_count = 0;
}

void EmailBook::loadUsers(const QString& path, const QString& ownAddress)
{
    clear();
    m_addresses[0] = ownAddress;
    if (!TextFile::existsNonEmpty(path))
        return;
    const QStringList lines = TextFile::readLines(path);
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("END")) || m_count >= MaxEntries)
            break;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        addEntry(line);
    }
}

// "name*address;address": a line without the separator is not an entry.
bool EmailBook::addEntry(const QString& line)
{
    const qsizetype star = line.indexOf(QLatin1Char('*'));
    if (star < 0)
        return false;
    QString addresses = line.mid(star + 1);
    addresses.replace(QLatin1Char(';'), QLatin1Char(','));
    m_names[m_count] = line.left(star);
    ++m_count;
    m_addresses[m_count] = addresses;
    return true;
}

void EmailBook::loadTag(const QString& path)
{
    m_tag = TextFile::existsNonEmpty(path) ? TextFile::readAll(path) : QString();
}

QString EmailBook::name(int index) const
{
    return index >= 0 && index < MaxEntries ? m_names.at(index) : QString();
}

QString EmailBook::address(int index) const
{
    return index >= 0 && index <= MaxEntries ? m_addresses.at(index) : QString();
}

void EmailBook::setAddress(int index, const QString& addresses)
{
    if (index >= 0 && index <= MaxEntries)
        m_addresses[index] = addresses;
}
