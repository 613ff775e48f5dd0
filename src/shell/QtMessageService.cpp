#include "shell/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

QString Msg::title(int kind)
{
    switch (kind) {
    case Warning: return QStringLiteral("Warnung");
    case Error: return QStringLiteral("Fehler");
    case Information: return QStringLiteral("Informationen");
    case Confirmation: return QStringLiteral("Bestätigen");
    default: return QString();
    }
}

int QtMessageService::ShowMessageBox(const QString& text, int kind, int sound, int buttons, int)
{
    if (sound >= Msg::SoundInformation && sound <= Msg::SoundError)
        QApplication::beep();

    QMessageBox box(QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(Msg::title(kind));
    // Messages quote user data (names, file paths): never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (kind) {
    case Msg::Warning: box.setIcon(QMessageBox::Warning); break;
    case Msg::Error: box.setIcon(QMessageBox::Critical); break;
    case Msg::Information: box.setIcon(QMessageBox::Information); break;
    case Msg::Confirmation: box.setIcon(QMessageBox::Question); break;
    default: break;
    }
    struct Choice { int flag; QMessageBox::ButtonRole role; const char* caption; int result; };
    static const Choice choices[] = {
        {Msg::Ok, QMessageBox::AcceptRole, "OK", Msg::IdOk},
        {Msg::Yes, QMessageBox::YesRole, "&Ja", Msg::IdYes},
        {Msg::No, QMessageBox::NoRole, "&Nein", Msg::IdNo},
        {Msg::Cancel, QMessageBox::RejectRole, "Abbrechen", Msg::IdCancel},
    };
    QList<QPair<QAbstractButton*, int>> made;
    for (const Choice& c : choices) {
        if (!(buttons & c.flag))
            continue;
        QPushButton* b = box.addButton(QString::fromUtf8(c.caption), c.role);
        made.append({b, c.result});
    }
    if (made.isEmpty())
        made.append({box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole), Msg::IdOk});
    // Escape means Cancel where there is one, else the negative answer.
    if (buttons & Msg::Cancel)
        box.setEscapeButton(made.last().first);
    else if (buttons & Msg::No)
        for (auto& m : made)
            if (m.second == Msg::IdNo)
                box.setEscapeButton(m.first);
    box.setDefaultButton(qobject_cast<QPushButton*>(made.first().first));
    box.exec();
    for (auto& m : made)
        if (box.clickedButton() == m.first)
            return m.second;
    return (buttons & Msg::Cancel) ? Msg::IdCancel : ((buttons & Msg::No) ? Msg::IdNo : Msg::IdOk);
}

void QtMessageService::ShowPlainMessage(const QString& text)
{
    QMessageBox box;
    box.setWindowTitle(QApplication::applicationName());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

int QtMessageService::ShowChoice(const QString& text, const QString& first, const QString& second)
{
    QApplication::beep();
    QMessageBox box(QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(Msg::title(Msg::Confirmation));
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QPushButton* a = box.addButton(first, QMessageBox::AcceptRole);
    QPushButton* b = box.addButton(second, QMessageBox::RejectRole);
    a->setObjectName(QStringLiteral("Button_Choice1"));
    b->setObjectName(QStringLiteral("Button_Choice2"));
    // Escape closes the box without an answer.
    box.addButton(QMessageBox::Cancel)->hide();
    box.setDefaultButton(a);
    box.exec();
    if (box.clickedButton() == a)
        return 0;
    if (box.clickedButton() == b)
        return 1;
    return -1;
}

bool QtMessageService::PrintAnyway(const QString& title, const QString& text)
{
    QApplication::beep();
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessageBox_TrotzdemDrucken"));
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    QPushButton* go = box.addButton(QStringLiteral("Trotzdem drucken"), QMessageBox::AcceptRole);
    go->setObjectName(QStringLiteral("Button_TrotzdemDrucken"));
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == go;
}
