#include "app/ui/BulletinView.h"

#include <QKeyEvent>

namespace {
QString lineEnds(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
} // namespace

BulletinView::BulletinView(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("txtDisplay"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(true);
    QFont fixed(QStringLiteral("Courier New"), 9);
    fixed.setStyleHint(QFont::TypeWriter);
    setFont(fixed);
}

void BulletinView::showText(const QString& text)
{
    setPlainText(lineEnds(text));
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
}

void BulletinView::applyColourScheme(int scheme)
{
    static const char* const styles[3] = {"background: white; color: black;",
                                          "background: black; color: rgb(255,255,0);",
                                          "background: black; color: rgb(0,255,0);"};
    if (scheme >= 0 && scheme <= 2)
        setStyleSheet(QLatin1String(styles[scheme]));
}

void BulletinView::setPointSize(int size)
{
    QFont f = font();
    f.setPointSize(size);
    setFont(f);
}

// Typed characters are discarded; navigation, selection and the clipboard
// shortcuts still work.
void BulletinView::keyPressEvent(QKeyEvent* key)
{
    const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const bool editing = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete ||
                         key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                         key->key() == Qt::Key_Tab;
    if (!command && (editing || !key->text().isEmpty()))
        return;
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
        key->matches(QKeySequence::Undo))
        return;
    QPlainTextEdit::keyPressEvent(key);
}
