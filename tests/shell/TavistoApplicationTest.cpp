#include "shell/TavistoApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The captions of a dialog's buttons and labels, without their mnemonic marks.
QStringList captions(const QWidget& dialog)
{
    QStringList texts;
    for (const auto* button : dialog.findChildren<QAbstractButton*>())
        texts << QString(button->text()).remove(u'&');
    for (const auto* label : dialog.findChildren<QLabel*>())
        texts << QString(label->text()).remove(u'&');
    return texts;
}

} // namespace

// Qt's standard dialogs speak German whatever the system's language.
TEST(GermanQtTexts, StandardDialogsSpeakGerman)
{
    QTranslator translator;
    ASSERT_TRUE(InstallGermanQtTexts(translator)) << "Qt's German catalogue (qt6-translations-l10n) is missing";
    struct Case
    {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
        QStringList expected;
    };
    const Case cases[] = {
        {"save dialog",
         [] {
             auto d = std::make_unique<QFileDialog>(nullptr, QStringLiteral("Adressen exportieren"));
             d->setAcceptMode(QFileDialog::AcceptSave);
             return d;
         },
         {"Speichern", "Abbrechen", "Dateiname:", "Dateien des Typs:", "Suchen in:"}},
        {"open dialog", [] { return std::make_unique<QFileDialog>(nullptr, QStringLiteral("Adressen importieren")); },
         {"Öffnen", "Abbrechen", "Dateiname:"}},
        {"colour dialog", [] { return std::make_unique<QColorDialog>(); }, {"OK", "Abbrechen", "Rot:", "Grün:", "Blau:"}},
        {"message box",
         [] {
             return std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("Bestätigen"),
                                                  QStringLiteral("Änderungen speichern?"),
                                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
         },
         {"Speichern", "Verwerfen", "Abbrechen"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto dialog = c.make();
        const QStringList texts = captions(*dialog);
        for (const QString& text : c.expected)
            EXPECT_TRUE(texts.contains(text)) << text.toStdString() << " not in: " << texts.join(" | ").toStdString();
    }
}

// Every window shows the program's envelope, at every size a desktop asks for.
TEST(DesktopIdentity, EveryWindowCarriesTheProgramsIcon)
{
    SetDesktopIdentity();
    QDialog dialog;
    const QIcon icon = dialog.windowIcon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // The envelope fills the middle; its corners stay see-through.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
    QApplication::setWindowIcon(QIcon());
}
