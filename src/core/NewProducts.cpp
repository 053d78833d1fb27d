#include "core/NewProducts.h"

void NewProducts::add(const QString& key)
{
    m_entries.removeLast();
    m_entries.prepend(key);
    emit changed(m_entries);
}

void NewProducts::clearOlder()
{
    for (int i = 1; i < Count; ++i)
        m_entries[i] = None;
    emit changed(m_entries);
}

QString NewProducts::caption(const QString& entry)
{
    return entry.left(9).trimmed();
}

bool NewProducts::visible(int index, const QString& entry)
{
    return index == 0 || caption(entry) != None;
}

bool NewProducts::filled(int index) const
{
    return index >= 0 && index < Count && m_entries.at(index) != None;
}

void NewProducts::setDdeHeader(const QString& text)
{
    m_ddeHeader = text;
    emit ddeHeaderChanged(text);
}
