#include "shell/QtMessageService.h"
#include "support/QtPrint.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Seen
{
    QString title;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Reads the box that the call opens and presses the button with the given caption
// (or Escape when the caption is empty).
int showAndPress(const std::function<int()>& call, const QString& press, Seen& seen)
{
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        if (press.isEmpty()) {
            if (box->escapeButton())
                box->escapeButton()->click();
            else
                box->reject();
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == press)
                b->click();
    });
    return call();
}

} // namespace

TEST(QtMessageService, KindsButtonsAndResults)
{
    QtMessageService messages;
    struct Case
    {
        std::function<int()> call;
        QString press;
        QString title;
        QMessageBox::Icon icon;
        QStringList buttons;
        int result;
    };
    const Case cases[] = {
        {[&] { messages.ErrorMessage("E"); return 0; }, "OK", "Fehler", QMessageBox::Critical, {"OK"}, 0},
        {[&] { return messages.InfoCancel("I"); }, "Abbrechen", "Informationen", QMessageBox::Information,
         {"OK", "Abbrechen"}, Msg::IdCancel},
        {[&] { return messages.InfoCancel("I"); }, "", "Informationen", QMessageBox::Information,
         {"OK", "Abbrechen"}, Msg::IdCancel},
        {[&] { return messages.Confirm("C"); }, "&Ja", "Bestätigen", QMessageBox::Question, {"&Ja", "&Nein"},
         Msg::IdYes},
        {[&] { return messages.Confirm("C"); }, "&Nein", "Bestätigen", QMessageBox::Question, {"&Ja", "&Nein"},
         Msg::IdNo},
        {[&] { return messages.ConfirmOkCancel("C"); }, "OK", "Bestätigen", QMessageBox::Question,
         {"OK", "Abbrechen"}, Msg::IdOk},
        {[&] { return messages.WarningQuestion("W"); }, "", "Warnung", QMessageBox::Warning, {"&Ja", "&Nein"},
         Msg::IdNo},
    };
    for (const Case& c : cases) {
        Seen seen;
        const int result = showAndPress(c.call, c.press, seen);
        EXPECT_EQ(seen.title, c.title);
        EXPECT_EQ(seen.icon, c.icon) << c.title.toStdString();
        QStringList buttons = seen.buttons;
        std::sort(buttons.begin(), buttons.end());
        QStringList expected = c.buttons;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(buttons, expected) << c.title.toStdString();
        EXPECT_EQ(result, c.result) << c.title.toStdString() << " " << c.press.toStdString();
    }
}

TEST(QtMessageService, TextIsShownAsGivenNeverAsMarkup)
{
    QtMessageService messages;
    Seen seen;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            format = box->textFormat();
    });
    showAndPress([&] { messages.InfoMessage("<b>Zeile 1</b>\nZeile \"2\""); return 0; }, "OK", seen);
    EXPECT_EQ(seen.text, "<b>Zeile 1</b>\nZeile \"2\"");
    EXPECT_EQ(format, Qt::PlainText);
}
