#include "core/DisplayState.h"

void DisplayState::setDisplay(const QString& text, const QString& tag)
{
    m_text = text;
    m_tag = tag;
    emit changed(text, tag);
}
