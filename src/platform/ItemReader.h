#pragma once

#include <QString>

// Reads comma-separated items from a table file's text: an item ends at a
// comma or a line end; blanks around an unquoted item are dropped; an item
// that starts with a double quote runs to the next double quote, which is
// removed, commas inside kept. Line ends and commas separate items alike;
// empty lines hold no item, but a comma at the end of a line is followed by
// one empty item, so that "MI,050,GRR," is four items.
class ItemReader
{
public:
    explicit ItemReader(QString text);
    // Reads the whole file; throws FileNotFound when it is missing.
    static ItemReader fromFile(const QString& path);

    // True when nothing but blanks and line ends is left.
    bool atEnd() const;
    // The next item; throws InputPastEnd when the text is used up.
    QString next();

private:
    void skipEmptyLines();
    void consumeLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
    bool m_afterComma = false; // the last item ended at a comma
};
