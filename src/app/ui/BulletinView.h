#pragma once

#include <QPlainTextEdit>

// The bulletin area "txtDisplay": plain text in a fixed-width font without
// wrapping, so that a bulletin or log of megabytes stays quick. It can be
// read, selected and copied but not typed into.
class BulletinView : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit BulletinView(QWidget* parent = nullptr);

    // Shows text with any line ends, from the top.
    void showText(const QString& text);
    // The menu file's colour scheme: 0 black on white, 1 yellow on black,
    // 2 green on black; other numbers leave the colours.
    void applyColourScheme(int scheme);
    void setPointSize(int size);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
