#include "pdf/PdfSeriesFixture.h"
#include "printwindows/PdfSeriesCommand.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using PdfSeriesCommandTest = PdfSeriesFixture;

// Stands in for the save dialog: remembers what it was asked and answers with a file.
struct ChooserScript
{
    QString answer;
    int calls = 0;
    QString title, folder, filter, proposed;

    SaveFileChooser chooser()
    {
        return [this](QWidget*, const QString& t, const QString& d, const QString& f, const QString& name) {
            ++calls;
            title = t;
            folder = d;
            filter = f;
            proposed = name;
            return answer;
        };
    }
};

const QString kOverwrite = QStringLiteral("Es existiert bereits eine Datei unter diesem Namen!\nSoll diese Datei überschrieben werden?");

} // namespace

TEST_F(PdfSeriesCommandTest, CommandAsksForTheFileAndWritesIt)
{
    TempDir out;
    ChooserScript script;
    script.answer = out.file(QStringLiteral("Kunden"));  // no extension typed
    ModalAnswer watch([](QDialog*) {});
    PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
    watch.settle();
    EXPECT_EQ(script.calls, 1);
    EXPECT_EQ(script.title, "Als PDF speichern");
    EXPECT_EQ(script.filter, "PDF-Datei (*.pdf)");
    EXPECT_EQ(script.proposed, "Kunden");
    EXPECT_EQ(watch.dialogName(), "Form_PdfProgress");
    EXPECT_EQ(leftovers(out.path()), QStringList{"Kunden.pdf"});
    EXPECT_EQ(pageCount(out.file(QStringLiteral("Kunden.pdf"))), 3);
    EXPECT_EQ(t.messages.texts(), QStringList{"3 Umschläge wurden als PDF-Datei gespeichert."});
}

TEST_F(PdfSeriesCommandTest, AbbrechenLeavesNoFileAndAnOlderFileAsItWas)
{
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older ? "an older file" : "no file");
        TempDir out;
        const QString pdf = out.file(QStringLiteral("Serie.pdf"));
        if (older)
            out.write(QStringLiteral("Serie.pdf"), "older");
        t.messages.shown.clear();
        t.messages.answer({Msg::IdYes});  // overwrite, when asked
        ChooserScript script;
        script.answer = pdf;
        // "Abbrechen" while the first page is being written.
        ModalAnswer cancel([](QDialog* d) {
            if (auto* button = d->findChild<QPushButton*>(QStringLiteral("Button_Cancel")))
                button->click();
        });
        PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
        cancel.settle();
        ASSERT_TRUE(cancel.seen());
        EXPECT_EQ(leftovers(out.path()), older ? QStringList{"Serie.pdf"} : QStringList{});
        if (older) {
            QFile f(pdf);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), "older");
        }
        ASSERT_FALSE(t.messages.texts().isEmpty());
        EXPECT_TRUE(t.messages.texts().last().startsWith(QStringLiteral("Das Speichern wurde abgebrochen.")))
            << t.messages.texts().last().toStdString();
    }
}

TEST_F(PdfSeriesCommandTest, AnExistingFileIsReplacedOnlyAfterJa)
{
    struct Case
    {
        int answer;
        QByteArray startsWith;
    };
    for (const Case c : {Case{Msg::IdNo, "older"}, Case{Msg::IdYes, "%PDF-"}}) {
        SCOPED_TRACE(c.answer);
        TempDir out;
        const QString pdf = out.write(QStringLiteral("Serie.PDF"), "older");
        t.messages.shown.clear();
        t.messages.answer({c.answer});
        ChooserScript script;
        script.answer = pdf;  // the extension in capitals is kept
        PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
        ASSERT_FALSE(t.messages.shown.isEmpty());
        EXPECT_EQ(t.messages.shown.first().text, kOverwrite);
        EXPECT_EQ(t.messages.shown.first().kind, Msg::Warning);
        EXPECT_EQ(leftovers(out.path()), QStringList{"Serie.PDF"});
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith(c.startsWith));
        EXPECT_EQ(t.messages.shown.size(), c.answer == Msg::IdYes ? 2 : 1);
    }
}

TEST_F(PdfSeriesCommandTest, WhatStopsTheCommandBeforeAnythingIsWritten)
{
    struct Case
    {
        const char* name;
        void (*change)(SeriendruckInput&, PrintSettings&);
        QString message;
        bool asksForFile;
    };
    const Case cases[] = {
        {"no sender", [](SeriendruckInput& in, PrintSettings&) { in.AbsenderID.clear(); },
         "Bitte wählen Sie einen Absender!", false},
        {"no group", [](SeriendruckInput& in, PrintSettings&) { in.GruppeID.clear(); }, "Bitte wählen Sie eine Gruppe!",
         false},
        {"sender gone", [](SeriendruckInput& in, PrintSettings&) { in.AbsenderID = "AB00000077"; },
         "Der gewählte Absender wurde nicht gefunden.", false},
        {"nothing matches", [](SeriendruckInput& in, PrintSettings&) { in.SearchText = "Inaktiv"; },
         "Die gewählte Gruppe enthält keine aktiven Adressen, die der Suche entsprechen. Es wurde keine PDF-Datei "
         "gespeichert.",
         false},
        {"unknown format", [](SeriendruckInput&, PrintSettings& s) { s.FormatIndex = 10; },
         "Das eingestellte Umschlagformat ist unbekannt. Bitte wählen Sie unter \"Einstellungen (Druckausgabe)\" ein "
         "Format.",
         false},
        {"dialog cancelled", [](SeriendruckInput&, PrintSettings&) {}, QString(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeriendruckInput in = input();
        PrintSettings saved = t.ctx.Print();
        c.change(in, t.ctx.Print());
        t.messages.shown.clear();
        ChooserScript script;  // answers "cancelled"
        PdfSeriesCommand(t.ctx, nullptr, in, script.chooser());
        t.ctx.Print() = saved;
        EXPECT_EQ(script.calls, c.asksForFile ? 1 : 0);
        EXPECT_EQ(t.messages.texts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
    }
}

TEST_F(PdfSeriesCommandTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft)
{
    TempDir out;
    ChooserScript script;
    script.answer = out.file(QStringLiteral("fehlt/Serie.pdf"));  // a folder that does not exist
    PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().kind, Msg::Error);
    EXPECT_TRUE(t.messages.shown.first().text.startsWith(
        QStringLiteral("Die PDF-Datei \"%1\" konnte nicht gespeichert werden.\n").arg(script.answer)))
        << t.messages.shown.first().text.toStdString();
    EXPECT_TRUE(leftovers(out.path()).isEmpty());
}

TEST_F(PdfSeriesCommandTest, WritingTheFileShowsInTheProgressWindowAndAbbrechenStopsIt)
{
    TempDir out;
    ChooserScript script;
    script.answer = out.file(QStringLiteral("Serie.pdf"));
    // Clicks "Abbrechen" once the window says the file is being written.
    QString label;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!d || !d->labelText().startsWith(QStringLiteral("Die PDF-Datei wird geschrieben")))
            return;
        label = d->labelText();
        watch.stop();
        d->findChild<QPushButton*>(QStringLiteral("Button_Cancel"))->click();
    });
    watch.start(2);
    // Enough pages that the writing step lasts a while.
    for (int i = 10; i < 200; ++i)
        t.addAdresse(QStringLiteral("AD%1").arg(i, 8, 10, QLatin1Char('0')),
                     {QStringLiteral("Herrn"), QStringLiteral("Max Muster %1").arg(i), QStringLiteral("Weg 1"),
                      QStringLiteral("12345 Ort"), QString()});
    PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
    EXPECT_EQ(label, "Die PDF-Datei wird geschrieben");
    EXPECT_TRUE(leftovers(out.path()).isEmpty());
    ASSERT_FALSE(t.messages.texts().isEmpty());
    EXPECT_TRUE(t.messages.texts().last().startsWith(QStringLiteral("Das Speichern wurde abgebrochen.")))
        << t.messages.texts().last().toStdString();
}
