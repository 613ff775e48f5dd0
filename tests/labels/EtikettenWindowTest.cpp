#include "LabelFixtures.h"
#include "labels/LabelSheetView.h"
#include "labels/TDLG_EtikettenVorschau.h"
#include "labels/TForm_Etiketten.h"
#include "support/ModalAnswer.h"
#include "support/OutputTestContext.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString& pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral(R"(Pages:\s+(\d+))")).match(runTool(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A context with a sender and n active addresses of the group "GR00000001", numbered so
// that sorting by line 2 reverses them.
struct LabelWindowContext : OutputTestContext
{
    explicit LabelWindowContext(int n)
    {
        addAbsender(QStringLiteral("AB00000001"), {"Lumo Versand GmbH", "Postfach 12", "", "12345 Hausen", ""});
        for (int i = 1; i <= n; ++i)
            addAdresse(QStringLiteral("AD%1").arg(i, 8, 10, QChar('0')),
                       {QStringLiteral("Empfänger %1").arg(i), QStringLiteral("Sortierung %1").arg(1000 - i), "",
                        QStringLiteral("%1 Köln").arg(50000 + i), ""});
        // Every label inside the printable area, so only the warnings a test asks for come.
        printer.sheet.margins = {};
        input.AbsenderID = QStringLiteral("AB00000001");
        input.GruppeID = QStringLiteral("GR00000001");
    }

    std::unique_ptr<TForm_Etiketten> window()
    {
        auto w = std::make_unique<TForm_Etiketten>(
            ctx, InstalledCatalog(), input, QStringLiteral("AD00000002"),
            [this](QWidget*, const QString&, const QString&, const QString&, const QString&) { return pdfFile; });
        return w;
    }

    void choose(TForm_Etiketten& w, const QString& brand, const QString& search)
    {
        auto* combo = w.findChild<QComboBox*>("ComboBox_Hersteller");
        combo->setCurrentIndex(combo->findText(brand));
        auto* edit = w.findChild<QLineEdit*>("Edit_Suche");
        edit->clear();
        QTest::keyClicks(edit, search);
    }

    // The document the fake printer got, written out for the poppler tools.
    QString printed(int k = 0)
    {
        const QString file = dir.file(QStringLiteral("job%1.pdf").arg(k));
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(printer.documents.value(k).pdf);
        return file;
    }

    SeriendruckInput input;
    QString pdfFile = dir.file(QStringLiteral("Etiketten.pdf"));
};

// Answers the label warning with the named button and keeps its text.
struct WarningAnswer
{
    explicit WarningAnswer(const char* button)
        : answer([this, button](QDialog* d) {
              text = static_cast<QMessageBox*>(d)->text();
              d->findChild<QPushButton*>(QString::fromLatin1(button))->click();
          })
    {
    }
    QString text;
    ModalAnswer answer;
};

TEST(EtikettenWindow, SearchStartPositionAndRememberedChoices)
{
    LabelWindowContext t(0);
    t.ctx.Settings.Labels = {"Avery L7163", 1, 4};
    auto w = t.window();
    ASSERT_NE(w->Current(), nullptr);
    EXPECT_EQ(w->Current()->Name(), "Avery L7163");
    EXPECT_TRUE(w->findChild<QRadioButton*>("RadioButton_Adresse")->isChecked());
    EXPECT_EQ(w->findChild<QSpinBox*>("SpinBox_Kopien")->value(), 4);

    t.choose(*w, "Zweckform", "3475");
    auto* list = w->findChild<QListWidget*>("ListBox_Vorlagen");
    ASSERT_GE(list->count(), 1);
    for (int i = 0; i < list->count(); ++i)
        EXPECT_TRUE(list->item(i)->text().startsWith("Zweckform ") && list->item(i)->text().contains("3475"));
    EXPECT_EQ(w->Current()->Name(), "Zweckform 3475");
    const QString description = w->findChild<QLabel*>("Label_Beschreibung")->text();
    EXPECT_TRUE(description.contains(QRegularExpression("70,[01] × 36,0 mm, 24 Etiketten je Bogen \\(A4\\)")))
        << description.toStdString();
    EXPECT_EQ(t.ctx.Settings.Labels.Template, "Zweckform 3475");

    // A click on the seventh label of the sheet drawn to scale.
    w->resize(900, 700);
    w->show();
    auto* sheet = w->findChild<LabelSheetView*>("Sheet_Etiketten");
    QTest::mouseClick(sheet, Qt::LeftButton, {}, sheet->SlotRect(6).center());
    EXPECT_EQ(w->Start(), 6);
    EXPECT_TRUE(w->findChild<QLabel*>("Label_Start")->text().contains("Etikett 7 von 24"));

    w->findChild<QRadioButton*>("RadioButton_Absender")->click();
    w->findChild<QSpinBox*>("SpinBox_Kopien")->setValue(9);
    EXPECT_EQ(t.ctx.Settings.Labels, (LabelSettings{"Zweckform 3475", 2, 9}));
}

// 30 addresses on 3475 from label 20: one job of three sheets on A4, the list's order, and
// the start position back at the first label afterwards.
TEST(EtikettenWindow, PrintsTheGroupAsOneJobOfSheets)
{
    LabelWindowContext t(30);
    t.input.SortChoice = 2;  // by line 2: address 30 first
    auto w = t.window();
    t.choose(*w, "Zweckform", "3475");
    w->SetStart(19);
    w->findChild<QPushButton*>("Button_Drucken")->click();
    ASSERT_EQ(t.printer.documents.size(), 1) << t.messages.texts().join('\n').toStdString();
    EXPECT_EQ(t.printer.documents[0].media, "iso_a4_210x297mm");
    const QString pdf = t.printed();
    EXPECT_EQ(pageCount(pdf), 3);
    const QString text = runTool("pdftotext", {pdf, "-"});
    qsizetype at = 0;
    for (int i = 30; i >= 1; --i) {
        const qsizetype found = text.indexOf(QRegularExpression(QStringLiteral("Empfänger %1\\b").arg(i)), at);
        ASSERT_GE(found, 0) << "address " << i << " missing or out of order";
        at = found;
    }
    EXPECT_EQ(w->Start(), 0);
}

TEST(EtikettenWindow, TooLongAndOutsideThePrintableAreaAreNamedFirst)
{
    LabelWindowContext t(3);
    t.ctx.db().ExecSQL("UPDATE tab_adressen SET Line2=? WHERE Adresse_ID='AD00000002'", {QString(80, QChar('M'))});
    auto w = t.window();
    t.choose(*w, "Avery", "L7163");

    {
        WarningAnswer cancel("Button_Abbrechen");
        w->findChild<QPushButton*>("Button_Drucken")->click();
        cancel.answer.settle();
        EXPECT_EQ(cancel.text, "Die Adresse „Empfänger 2“ passt nicht auf das Etikett.");
        EXPECT_TRUE(t.printer.documents.isEmpty());
    }
    {
        WarningAnswer go("Button_TrotzdemDrucken");
        w->findChild<QPushButton*>("Button_Drucken")->click();
        go.answer.settle();
        EXPECT_EQ(t.printer.documents.size(), 1);
    }

    // A printer that keeps 12 mm from every edge cannot reach the text of L7163's left column.
    t.ctx.db().ExecSQL("UPDATE tab_adressen SET Line2='kurz'");
    t.printer.sheet.margins = {1200, 1200, 1200, 1200};
    WarningAnswer cancel("Button_Abbrechen");
    w->findChild<QPushButton*>("Button_Drucken")->click();
    cancel.answer.settle();
    EXPECT_EQ(cancel.text, "Die Etiketten 1, 3 liegen außerhalb des bedruckbaren Bereichs des Druckers.");
    EXPECT_EQ(t.printer.documents.size(), 1);
}

TEST(EtikettenWindow, SenderLabelsWithCopiesIntoAPdf)
{
    LabelWindowContext t(0);
    auto w = t.window();
    t.choose(*w, "Zweckform", "3475");
    w->findChild<QRadioButton*>("RadioButton_Absender")->click();
    w->findChild<QSpinBox*>("SpinBox_Kopien")->setValue(26);
    w->findChild<QPushButton*>("Button_PdfSpeichern")->click();
    ASSERT_TRUE(QFile::exists(t.pdfFile)) << t.messages.texts().join('\n').toStdString();
    EXPECT_EQ(pageCount(t.pdfFile), 2);
    EXPECT_EQ(runTool("pdftotext", {t.pdfFile, "-"}).count("Lumo Versand GmbH"), 26);
    EXPECT_TRUE(t.printer.documents.isEmpty());
    // Saved as the envelopes' PDF is: confirmed with what went where.
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].kind, Msg::Information);
    EXPECT_EQ(t.messages.shown[0].text,
              QStringLiteral("26 Etiketten auf 2 Bögen wurden als PDF-Datei gespeichert:\n%1").arg(t.pdfFile));

    // The file is there now: "Nein" leaves it as it was, "Ja" replaces it.
    const QByteArray before = "older file";
    ASSERT_EQ(t.dir.write("Etiketten.pdf", before), t.pdfFile);
    t.messages.shown.clear();
    t.messages.answer({Msg::IdNo});
    w->findChild<QPushButton*>("Button_PdfSpeichern")->click();
    EXPECT_EQ(t.messages.texts(),
              QStringList{"Es existiert bereits eine Datei unter diesem Namen!\nSoll diese Datei überschrieben werden?"});
    QFile f(t.pdfFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();
    t.messages.shown.clear();
    t.messages.answer({Msg::IdYes});
    w->findChild<QPushButton*>("Button_PdfSpeichern")->click();
    EXPECT_EQ(t.messages.shown.size(), 2);
    EXPECT_EQ(pageCount(t.pdfFile), 2);
}

TEST(EtikettenWindow, MissingSelectionIsNamed)
{
    LabelWindowContext t(2);
    t.input.GruppeID.clear();
    auto w = t.window();
    w->findChild<QRadioButton*>("RadioButton_Gruppe")->click();
    w->findChild<QPushButton*>("Button_Drucken")->click();
    EXPECT_EQ(t.messages.texts(), QStringList{"Bitte wählen Sie eine Gruppe!"});
    EXPECT_TRUE(t.printer.documents.isEmpty());
}

TEST(EtikettenWindow, ADatabaseErrorIsShownAndNothingPrinted)
{
    LabelWindowContext t(2);
    t.ctx.db().ExecSQL("DROP TABLE tab_adressen");
    auto w = t.window();
    w->findChild<QRadioButton*>("RadioButton_Gruppe")->click();
    w->findChild<QPushButton*>("Button_Drucken")->click();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].kind, Msg::Error);
    EXPECT_TRUE(t.messages.shown[0].text.contains("tab_adressen")) << t.messages.shown[0].text.toStdString();
    EXPECT_TRUE(t.printer.documents.isEmpty());
}

TEST(EtikettenWindow, PreviewPagesThroughTheSheets)
{
    LabelWindowContext t(30);
    auto w = t.window();
    t.choose(*w, "Zweckform", "3475");
    w->SetStart(19);
    int sheets = 0;
    QString status;
    ModalAnswer look([&](QDialog* d) {
        auto* next = d->findChild<QPushButton*>("Button_Weiter");
        while (next->isEnabled()) {
            next->click();
            ++sheets;
        }
        status = d->findChild<QLabel*>("Label_Bogen")->text();
        const QPixmap picture = d->findChild<QLabel*>("Image_Vorschau")->pixmap();
        // 100 %: A4 at 96 pixels per inch.
        EXPECT_NEAR(picture.width(), 794, 1);
        d->accept();
    });
    w->findChild<QPushButton*>("Button_Vorschau")->click();
    look.settle();
    EXPECT_EQ(sheets, 2);
    EXPECT_EQ(status, "Bogen 3 von 3");
}

} // namespace

namespace {

// The folders the label database is looked for in, pointed elsewhere for one test.
struct DataFolders
{
    explicit DataFolders(const QString& folder)
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME"}) {
            saved.append({name, qgetenv(name)});
            qputenv(name, folder.toLocal8Bit());
        }
    }
    ~DataFolders()
    {
        for (const auto& [name, value] : saved)
            qputenv(name, value);
    }
    QList<std::pair<const char*, QByteArray>> saved;
};

TEST(EtikettenWindow, WithoutTheLabelDatabaseTheCommandSaysWhichPackageIsMissing)
{
    LabelWindowContext t(1);
    {
        DataFolders empty(t.dir.path());
        EXPECT_TRUE(LoadLabelCatalog().Templates.isEmpty());
        TForm_Etiketten::Show(t.ctx, nullptr, t.input, QString(), {});
    }
    EXPECT_EQ(t.messages.texts(), QStringList{"Es sind keine Etikettenvorlagen installiert (Paket glabels-data)."});
    // The distribution's folder is back: the same command opens the window.
    EXPECT_FALSE(LoadLabelCatalog().Templates.isEmpty());
}

} // namespace

namespace {

// Every accessible name of the window's controls, and how often it is used.
QMap<QString, int> accessibleNames(QWidget& window)
{
    QMap<QString, int> names;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (a && !a->text(QAccessible::Name).isEmpty())
            ++names[a->text(QAccessible::Name)];
    }
    return names;
}

TEST(EtikettenWindow, TheSheetHasANameOfItsOwnAndIsChosenByKeyboard)
{
    LabelWindowContext t(0);
    auto w = t.window();
    t.choose(*w, "Zweckform", "3475");
    w->resize(900, 700);
    w->show();
    QApplication::setActiveWindow(w.get());
    auto* sheet = w->findChild<LabelSheetView*>("Sheet_Etiketten");

    const QMap<QString, int> names = accessibleNames(*w);
    EXPECT_EQ(names.value("Etikettenbogen"), 1);  // the product box
    EXPECT_EQ(names.value("Startetikett wählen"), 1);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(sheet);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), "Startetikett wählen");
    EXPECT_TRUE(a->state().focusable);
    EXPECT_TRUE(a->text(QAccessible::Description).startsWith("Startetikett: Etikett 1 von 24."))
        << a->text(QAccessible::Description).toStdString();

    // Tab reaches it like any control.
    sheet->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(sheet->hasFocus());

    // Right, then down twice: the label right of the first one, two rows lower.
    const QRect first = sheet->SlotRect(0);
    QTest::keyClick(sheet, Qt::Key_Right);
    QTest::keyClick(sheet, Qt::Key_Down);
    QTest::keyClick(sheet, Qt::Key_Down);
    const int marked = sheet->FocusSlot();
    const QRect r = sheet->SlotRect(marked);
    EXPECT_GT(r.left(), first.right() - 2);
    EXPECT_NEAR(r.top(), first.top() + 2 * (sheet->SlotRect(marked).height()), 3);
    EXPECT_EQ(w->Start(), 0) << "the arrows only move the mark";
    EXPECT_TRUE(a->text(QAccessible::Description).contains(QStringLiteral("Markiert: Etikett %1").arg(marked + 1)));

    // The mark is drawn: the selection colour on the marked label's edge, not on the others.
    const QImage shot = sheet->grab().toImage();
    const QColor mark = sheet->palette().color(QPalette::Highlight);
    auto markedAt = [&](const QRect& label) {
        return shot.pixelColor(label.center().x(), label.top() - 1) == mark;
    };
    EXPECT_TRUE(markedAt(r));
    EXPECT_FALSE(markedAt(first));

    QTest::keyClick(sheet, Qt::Key_Return);
    EXPECT_EQ(w->Start(), marked);
    EXPECT_TRUE(w->findChild<QLabel*>("Label_Start")->text().contains(QStringLiteral("Etikett %1 von 24").arg(marked + 1)));
    EXPECT_TRUE(a->text(QAccessible::Description).startsWith(QStringLiteral("Startetikett: Etikett %1 von 24.").arg(marked + 1)));
    EXPECT_TRUE(w->isVisible()) << "Enter on the sheet is not the window's default button";

    // At the sheet's edge the mark stays; Home and Space choose the first label again.
    QTest::keyClick(sheet, Qt::Key_End);
    const int last = sheet->FocusSlot();
    EXPECT_EQ(last, 23);
    QTest::keyClick(sheet, Qt::Key_Right);
    QTest::keyClick(sheet, Qt::Key_Down);
    EXPECT_EQ(sheet->FocusSlot(), last);
    QTest::keyClick(sheet, Qt::Key_Home);
    QTest::keyClick(sheet, Qt::Key_Space);
    EXPECT_EQ(w->Start(), 0);
}

} // namespace

namespace {

// 30 addresses on 3475 from label 20: the question names the printer, the labels and the
// sheets; "Nein" prints nothing.
TEST(EtikettenWindow, PrintingAsksWithPrinterLabelsAndSheets)
{
    LabelWindowContext t(30);
    auto w = t.window();
    t.choose(*w, "Zweckform", "3475");
    w->SetStart(19);
    t.messages.answer({Msg::IdNo});
    w->findChild<QPushButton*>("Button_Drucken")->click();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text,
              "Drucker: Office Laser\n30 Etiketten auf 3 Bögen „Zweckform 3475“ (A4)\n\nSollen die Etiketten gedruckt werden?");
    EXPECT_EQ(t.messages.shown[0].kind, Msg::Confirmation);
    EXPECT_EQ(t.messages.shown[0].buttons, Msg::Yes | Msg::No);
    EXPECT_TRUE(t.printer.documents.isEmpty());
    EXPECT_EQ(w->Start(), 19) << "a refused print keeps the start";

    // One sender label: singular; "Ja" prints.
    t.messages.shown.clear();
    w->findChild<QRadioButton*>("RadioButton_Absender")->click();
    w->findChild<QSpinBox*>("SpinBox_Kopien")->setValue(1);
    t.messages.answer({Msg::IdYes});
    w->findChild<QPushButton*>("Button_Drucken")->click();
    EXPECT_EQ(t.messages.texts(),
              QStringList{"Drucker: Office Laser\n1 Etikett auf 1 Bogen „Zweckform 3475“ (A4)\n\nSollen die Etiketten "
                          "gedruckt werden?"});
    EXPECT_EQ(t.printer.documents.size(), 1);
}

// A Letter sheet on a printer that has only A4 (and the other way round): named before
// anything goes to the printer.
TEST(EtikettenWindow, APaperThePrinterLacksIsNamedFirst)
{
    const struct
    {
        const char* product;
        const char* paper;
        QSizeF size;
        const char* text;
    } cases[] = {
        {"Avery 5160", "iso_a4_210x297mm", {21000, 29700},
         "Der Drucker „Office Laser“ kennt das Papier „Letter“ nicht. Er würde die Etiketten auf sein Papier „A4“ "
         "drucken; dort liegen sie verschoben oder werden abgeschnitten.\n\nWählen Sie einen Drucker, der Letter "
         "kennt, oder ein Etikettenprodukt auf A4."},
        {"Zweckform 3475", "na_letter_8.5x11in", {21590, 27940},
         "Der Drucker „Office Laser“ kennt das Papier „A4“ nicht. Er würde die Etiketten auf sein Papier „Letter“ "
         "drucken; dort liegen sie verschoben oder werden abgeschnitten.\n\nWählen Sie einen Drucker, der A4 "
         "kennt, oder ein Etikettenprodukt auf Letter."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.product);
        LabelWindowContext t(3);
        t.printer.sheet = {c.paper, c.size, {}};
        t.printer.papers = {{c.paper, c.size}};
        auto w = t.window();
        t.choose(*w, QString::fromLatin1(c.product).section(' ', 0, 0), QString::fromLatin1(c.product).section(' ', 1));
        auto* list = w->findChild<QListWidget*>("ListBox_Vorlagen");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toString() == QLatin1String(c.product))
                list->setCurrentRow(i);
        ASSERT_EQ(w->Current()->Name(), c.product);
        {
            WarningAnswer cancel("Button_Abbrechen");
            w->findChild<QPushButton*>("Button_Drucken")->click();
            cancel.answer.settle();
            EXPECT_EQ(cancel.text, QString::fromUtf8(c.text));
            EXPECT_TRUE(t.printer.documents.isEmpty());
        }
        {
            WarningAnswer go("Button_TrotzdemDrucken");
            w->findChild<QPushButton*>("Button_Drucken")->click();
            go.answer.settle();
            ASSERT_EQ(t.printer.documents.size(), 1);
        }
        // A printer that has the paper prints without the warning.
        t.printer.papers.insert(w->Current()->Media(), w->Current()->PageSize * (2540.0 / 72.0));
        ModalAnswer none([](QDialog* d) { d->reject(); });
        w->findChild<QPushButton*>("Button_Drucken")->click();
        none.settle();
        EXPECT_FALSE(none.seen());
        EXPECT_EQ(t.printer.documents.size(), 2);
    }
}

// The remembered printer gone: asked before the labels' own question; "Abbrechen" prints
// nothing.
TEST(EtikettenWindow, AGoneRememberedPrinterIsNamedBeforeLabelsArePrinted)
{
    LabelWindowContext t(3);
    t.ctx.Print().PrinterName = QStringLiteral("Etiketten_Laser");
    t.ctx.Print().PrinterIndex = 1;
    auto w = t.window();
    t.choose(*w, "Zweckform", "3475");
    t.messages.answer({Msg::IdCancel});
    w->findChild<QPushButton*>("Button_Drucken")->click();
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith(
        "Der zuletzt gewählte Drucker „Etiketten_Laser“ ist nicht mehr vorhanden. Gedruckt würde jetzt auf "
        "„Tavisto_PDF“"))
        << t.messages.shown[0].text.toStdString();
    EXPECT_TRUE(t.printer.documents.isEmpty());
}

} // namespace
