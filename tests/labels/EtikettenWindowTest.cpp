#include "LabelFixtures.h"
#include "labels/LabelSheetView.h"
#include "labels/TForm_Etiketten.h"
#include "labels/TDLG_EtikettenVorschau.h"
#include "output/OutputTestContext.h"
#include "support/ModalAnswer.h"

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
