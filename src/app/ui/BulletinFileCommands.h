#pragma once

#include <memory>

class MainState;
class QString;
class QWidget;
class QtTextPrinter;

// File > Print, Printer Setup and Save for the bulletin shown in the main
// window, with the dialogs they need.
class BulletinFileCommands
{
public:
    BulletinFileCommands(MainState& state, QWidget& window);
    ~BulletinFileCommands();
    BulletinFileCommands(const BulletinFileCommands&) = delete;
    BulletinFileCommands& operator=(const BulletinFileCommands&) = delete;

    void print(const QString& shown);
    void printSetup();
    // The save-file dialog, then the shown product written where chosen.
    void save();

private:
    QtTextPrinter& printer();

    MainState& m_state;
    QWidget& m_window;
    std::unique_ptr<QtTextPrinter> m_printer;
};
