#include "core/StatusLine.h"

void StatusLine::setText(const QString& text)
{
    m_text = text;
    emit changed(text);
}
