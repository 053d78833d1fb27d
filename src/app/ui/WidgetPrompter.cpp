#include "app/ui/WidgetPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>
#include <utility>

namespace {
QMessageBox::Icon boxIcon(IPrompter::Icon icon)
{
    switch (icon) {
    case IPrompter::Icon::Information:
        return QMessageBox::Information;
    case IPrompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case IPrompter::Icon::Critical:
        return QMessageBox::Critical;
    case IPrompter::Icon::Question:
        return QMessageBox::Question;
    case IPrompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void WidgetPrompter::message(const QString& text, const QString& title, Icon icon)
{
    QMessageBox box(boxIcon(icon), title.isEmpty() ? QApplication::applicationDisplayName() : title,
                    text, QMessageBox::Ok, m_parent);
    box.exec();
}

IPrompter::Answer WidgetPrompter::question(const QString& text, const QString& title,
                                           Buttons buttons)
{
    QMessageBox::StandardButtons standard = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel)
        standard |= QMessageBox::Cancel;
    else if (buttons == Buttons::OkCancel)
        standard = QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, title, text, standard, m_parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> WidgetPrompter::input(const QString& prompt, const QString& title,
                                             const QString& initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void WidgetPrompter::inputLater(const QString& prompt, const QString& title,
                                std::function<void(std::optional<QString>)> answered)
{
    auto* dialog = new QInputDialog(m_parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    dialog->setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    dialog->setLabelText(prompt);
    auto callback =
        std::make_shared<std::function<void(std::optional<QString>)>>(std::move(answered));
    QObject::connect(dialog, &QInputDialog::textValueSelected, dialog,
                     [callback](const QString& text) {
                         if (*callback)
                             std::exchange(*callback, nullptr)(text);
                     });
    QObject::connect(dialog, &QDialog::rejected, dialog, [callback] {
        if (*callback)
            std::exchange(*callback, nullptr)(std::nullopt);
    });
    dialog->show();
}
