#include "printwindows/TDLG_Einstellungen.h"

#include "uikit/InstalledFonts.h"
#include "uikit/Placed.h"

#include "app/AppContext.h"
#include "envelope/UmschlagFormat.h"
#include "printing/ConfiguredPrinter.h"
#include "printwindows/FontListDelegate.h"
#include "shell/HelpService.h"
#include "shell/PrintSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

constexpr int kMaxPrinterIndex = 255;

QLabel* label(QWidget* parent, const QString& text, const QRect& g, const char* name = nullptr)
{
    return Placed<QLabel>(parent, name, g, text);
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items, const QRect& g)
{
    auto* c = Placed<QComboBox>(parent, name, g);
    c->addItems(items);
    return c;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& text, const QRect& g)
{
    return Placed<QCheckBox>(parent, name, g, text);
}

QGroupBox* group(QWidget* parent, const QString& title, const QRect& g)
{
    return Placed<QGroupBox>(parent, nullptr, g, title);
}

// A small envelope, lying or standing, for the orientation boxes.
QIcon envelopeIcon(bool standing)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const QRect r = standing ? QRect(6, 2, 12, 19) : QRect(2, 6, 19, 12);
    p.setPen(QColor(70, 80, 95));
    p.setBrush(QColor(255, 252, 238));
    p.drawRect(r);
    if (standing) {
        p.drawLine(r.topRight(), QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2));
        p.drawLine(r.bottomRight(), QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2));
    } else {
        p.drawLine(r.topLeft(), QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2));
        p.drawLine(r.topRight(), QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2));
    }
    return QIcon(pm);
}

QStringList numbers(std::initializer_list<int> values, const QString& suffix = QString())
{
    QStringList out;
    for (int v : values)
        out << QString::number(v) + suffix;
    return out;
}

// A click checks the clicked box and clears the others; a click on the checked box keeps it.
void radioGroup(std::initializer_list<QCheckBox*> boxes)
{
    const QList<QCheckBox*> all(boxes);
    for (QCheckBox* box : all)
        QObject::connect(box, &QCheckBox::clicked, box, [box, all] {
            for (QCheckBox* other : all)
                other->setChecked(other == box);
        });
}

} // namespace

TDLG_Einstellungen::TDLG_Einstellungen(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TDLG_Einstellungen"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    const QFont arial = StyleFixedWindow(this, QSize(374, 292), QColor(240, 240, 240), 13);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setGeometry(6, 6, 362, 242);
    // Five tabs side by side in the narrow dialog, without scroll arrows.
    PageControl->setUsesScrollButtons(false);
    PageControl->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    PageControl->addTab(buildDruckerPage(), QStringLiteral("Drucker"));
    PageControl->addTab(buildFormatPage(), QStringLiteral("Format"));
    PageControl->addTab(buildDruckausgabePage(), QStringLiteral("Druckausgabe"));
    PageControl->addTab(buildPositionPage(), QStringLiteral("Position"));
    PageControl->addTab(buildAbstandPage(), QStringLiteral("Abstand"));

    Button_Help = new QPushButton(QStringLiteral("?"), this);
    Button_Help->setObjectName(QStringLiteral("Button_Help"));
    Button_Help->setAccessibleName(QStringLiteral("Hilfe"));
    Button_Help->setGeometry(8, 258, 32, 25);
    Button_Help->setAutoDefault(false);
    Button_Save = new QPushButton(QStringLiteral("&Speichern"), this);
    Button_Save->setObjectName(QStringLiteral("Button_Save"));
    Button_Save->setGeometry(196, 258, 82, 25);
    Button_Save->setAutoDefault(false);
    Button_Cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    Button_Cancel->setObjectName(QStringLiteral("Button_Cancel"));
    Button_Cancel->setGeometry(284, 258, 82, 25);
    Button_Cancel->setAutoDefault(false);
    connect(Button_Help, &QPushButton::clicked, this,
            [this] { m_ctx.Help->ShowHelpTopic(HelpContext::Einstellungen); });
    connect(Button_Save, &QPushButton::clicked, this, [this] {
        SaveSettings();
        accept();
    });
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Creation: printers, fonts (busy), the settings, the first tab.
    ComboBox_Drucker->addItems(m_ctx.Printer->Printers());
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore
        {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        ComboBox_FontName->addItems(InstalledFontNames());
    }
    LoadSettings();
    PageControl->setCurrentIndex(0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    Timer1Timer();
}

QWidget* TDLG_Einstellungen::buildDruckerPage()
{
    auto* page = new QWidget;
    auto* g1 = group(page, QStringLiteral(" Drucker "), QRect(8, 6, 340, 56));
    ComboBox_Drucker = combo(g1, "ComboBox_Drucker", {}, QRect(10, 22, 288, 24));
    Button_Printer_Setup = new QPushButton(QStringLiteral("..."), g1);
    Button_Printer_Setup->setObjectName(QStringLiteral("Button_Printer_Setup"));
    Button_Printer_Setup->setToolTip(QStringLiteral("Eigenschaften"));
    Button_Printer_Setup->setAccessibleName(QStringLiteral("Eigenschaften"));
    Button_Printer_Setup->setGeometry(304, 22, 26, 24);
    connect(Button_Printer_Setup, &QPushButton::clicked, this,
            [this] {
                // The factor taken there goes into this dialog's list as well, which
                // "Speichern" keeps.
                const int taken = ShowPrinterProperties(m_ctx, ComboBox_Drucker->currentIndex(), this,
                                                        ComboBox_DPIFactor->currentIndex() + 1);
                if (taken > 0)
                    ComboBox_DPIFactor->setCurrentIndex(taken - 1);
            });

    auto* g2 = group(page, QStringLiteral(" Orientation "), QRect(8, 68, 166, 140));
    CheckBox_Horizontal = check(g2, "CheckBox_Horizontal", QStringLiteral("Horizontal"), QRect(12, 28, 140, 28));
    CheckBox_Vertikal = check(g2, "CheckBox_Vertikal", QStringLiteral("Vertikal"), QRect(12, 68, 140, 28));
    CheckBox_Horizontal->setIcon(envelopeIcon(false));
    CheckBox_Vertikal->setIcon(envelopeIcon(true));
    CheckBox_Horizontal->setIconSize(QSize(24, 24));
    CheckBox_Vertikal->setIconSize(QSize(24, 24));
    // The click has toggled the clicked box; the other one takes the opposite state.
    connect(CheckBox_Horizontal, &QCheckBox::clicked, this,
            [this](bool on) { CheckBox_Vertikal->setChecked(!on); });
    connect(CheckBox_Vertikal, &QCheckBox::clicked, this,
            [this](bool on) { CheckBox_Horizontal->setChecked(!on); });

    auto* g3 = group(page, QStringLiteral(" Ausrichtung "), QRect(182, 68, 166, 140));
    CheckBox_AlignLeft = check(g3, "CheckBox_AlignLeft", QStringLiteral("Links"), QRect(12, 26, 140, 24));
    CheckBox_AlignCenter = check(g3, "CheckBox_AlignCenter", QStringLiteral("Mitte"), QRect(12, 58, 140, 24));
    CheckBox_AlignRight = check(g3, "CheckBox_AlignRight", QStringLiteral("Rechts"), QRect(12, 90, 140, 24));
    radioGroup({CheckBox_AlignLeft, CheckBox_AlignCenter, CheckBox_AlignRight});
    return page;
}

QWidget* TDLG_Einstellungen::buildFormatPage()
{
    auto* page = new QWidget;
    auto* g1 = group(page, QStringLiteral(" Format (Höhe x Breite) "), QRect(8, 6, 340, 56));
    QStringList labels;
    for (int i = 0; i < kUmschlagFormatCount; ++i)
        labels << FormatLabel(i);
    ComboBox_Format = combo(g1, "ComboBox_Format", labels, QRect(10, 22, 320, 24));
    ComboBox_Format->setMaxVisibleItems(10);
    // A drop-down list under the box, so that the row count holds in every style.
    ComboBox_Format->setStyleSheet(QStringLiteral("combobox-popup: 0;"));

    auto* g2 = group(page, QStringLiteral(" Texteigenschaften "), QRect(8, 68, 340, 140));
    const QStringList sizes = numbers({10, 12, 14, 16, 18, 20, 22, 24});
    label(g2, QStringLiteral("Schriftgröße Absender:"), QRect(10, 26, 150, 24));
    ComboBox_FontSize1 = combo(g2, "ComboBox_FontSize1", sizes, QRect(156, 26, 56, 24));
    label(g2, QStringLiteral("Adresse:"), QRect(222, 26, 54, 24));
    ComboBox_FontSize2 = combo(g2, "ComboBox_FontSize2", sizes, QRect(274, 26, 56, 24));
    label(g2, QStringLiteral("Schriftart:"), QRect(10, 64, 150, 24));
    ComboBox_FontName = combo(g2, "ComboBox_FontName", {}, QRect(10, 90, 322, 24));
    ComboBox_FontName->setMaxVisibleItems(20);
    ComboBox_FontName->setStyleSheet(QStringLiteral("combobox-popup: 0;"));
    ComboBox_FontName->setItemDelegate(new FontListDelegate(ComboBox_FontName));
    return page;
}

QWidget* TDLG_Einstellungen::buildDruckausgabePage()
{
    auto* page = new QWidget;
    auto* g = group(page, QStringLiteral(" Druckausgabe "), QRect(8, 6, 340, 202));
    CheckBox_Absender = check(g, "CheckBox_Absender", QStringLiteral("Absender"), QRect(10, 24, 80, 22));
    CheckBox_Banner = check(g, "CheckBox_Banner", QStringLiteral("Banner"), QRect(92, 24, 72, 22));
    CheckBox_Adresse = check(g, "CheckBox_Adresse", QStringLiteral("Adresse"), QRect(166, 24, 76, 22));
    CheckBox_Leerzeilen = check(g, "CheckBox_Leerzeilen", QStringLiteral("Leerzeilen"), QRect(244, 24, 90, 22));
    CheckBox_Leerzeilen->setToolTip(QStringLiteral("Leerzeilen drucken"));
    CheckBox_SwapDruck = check(g, "CheckBox_SwapDruck", QStringLiteral("Absender u. Empfänger tauschen (Rückumschlag)"),
                               QRect(10, 56, 324, 22));
    CheckBox_SwapDruck->setToolTip(QStringLiteral("Für Rückumschläge: die Adresse oben links, der Absender in der Mitte"));
    label(g, QStringLiteral("Seriendruck nach jeder"), QRect(10, 96, 146, 24));
    ComboBox_BreakCount = combo(g, "ComboBox_BreakCount", numbers({10, 20, 30, 40, 50}, QStringLiteral(".")),
                                QRect(156, 96, 56, 24));
    label(g, QStringLiteral("Seite bestätigen"), QRect(218, 96, 116, 24));
    label(g, QStringLiteral("Umrechnungsfaktor Schriftgröße anpassen:"), QRect(10, 140, 258, 24));
    ComboBox_DPIFactor = combo(g, "ComboBox_DPIFactor", numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                               QRect(272, 140, 56, 24));
    return page;
}

QWidget* TDLG_Einstellungen::buildPositionPage()
{
    auto* page = new QWidget;
    auto* g = group(page, QStringLiteral(" Position "), QRect(8, 6, 340, 202));
    QLabel* text = label(g,
                         QStringLiteral("Hier können Sie bei Bedarf die horizontale Position der Adressen auf dem Umschlag "
                                        "angepassen. Standardmäßig werden Adressen mittig eingefügt."),
                         QRect(10, 22, 320, 52));
    text->setWordWrap(true);
    label(g, QStringLiteral("Adressen verschieben nach"), QRect(10, 80, 320, 22));
    CheckBox_MoveAdressLeft = check(g, "CheckBox_MoveAdressLeft", QStringLiteral("Links"), QRect(10, 106, 70, 22));
    CheckBox_MoveAdressRight = check(g, "CheckBox_MoveAdressRight", QStringLiteral("Rechts"), QRect(86, 106, 76, 22));
    CheckBox_MoveAdressNo =
        check(g, "CheckBox_MoveAdressNo", QStringLiteral("Nicht verschieben"), QRect(168, 106, 160, 22));
    radioGroup({CheckBox_MoveAdressLeft, CheckBox_MoveAdressRight, CheckBox_MoveAdressNo});
    Label_MoveAdressSpace = label(g, QStringLiteral("Abstand zur Mitte:"), QRect(10, 146, 130, 24), "Label_MoveAdressSpace");
    ComboBox_MoveAdressSpace = combo(g, "ComboBox_MoveAdressSpace",
                                     numbers({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}), QRect(144, 146, 64, 24));
    return page;
}

QWidget* TDLG_Einstellungen::buildAbstandPage()
{
    auto* page = new QWidget;
    auto* g = group(page, QStringLiteral(" Abstand "), QRect(8, 6, 340, 202));
    QLabel* text = label(
        g, QStringLiteral("Hier können Sie den Abstand der Absenderadresse inkl. Banner zu den Seitenrändern vergrößern."),
        QRect(10, 22, 320, 52));
    text->setWordWrap(true);
    const QStringList steps = numbers({0, 100, 200, 300, 400, 500});
    label(g, QStringLiteral("Abstand zum linken Rand (X):"), QRect(10, 90, 200, 24));
    ComboBox_SpaceX = combo(g, "ComboBox_SpaceX", steps, QRect(214, 90, 64, 24));
    label(g, QStringLiteral("Abstand zum oberen Rand (Y):"), QRect(10, 126, 200, 24));
    ComboBox_SpaceY = combo(g, "ComboBox_SpaceY", steps, QRect(214, 126, 64, 24));
    return page;
}

void TDLG_Einstellungen::LoadSettings()
{
    const PrintSettings& s = m_ctx.Print();
    const int printers = ComboBox_Drucker->count();
    if (printers == 0) {
        ComboBox_Drucker->setCurrentIndex(-1);
        WarnNoPrinter(*m_ctx.Messages);
    } else if (s.PrinterIndex >= 0 && s.PrinterIndex < printers && s.PrinterIndex <= kMaxPrinterIndex) {
        ComboBox_Drucker->setCurrentIndex(s.PrinterIndex);
    } else {
        ComboBox_Drucker->setCurrentIndex(0);
    }

    ComboBox_Format->setCurrentIndex(s.FormatIndex >= 0 && s.FormatIndex < kUmschlagFormatCount ? s.FormatIndex : 2);
    CheckBox_Horizontal->setChecked(s.Orientation == 0);
    CheckBox_Vertikal->setChecked(s.Orientation == 1);
    CheckBox_AlignLeft->setChecked(s.Alignment == 0);
    CheckBox_AlignCenter->setChecked(s.Alignment == 1);
    CheckBox_AlignRight->setChecked(s.Alignment == 2);

    int font = ComboBox_FontName->findText(s.FontName, Qt::MatchFixedString);  // case-insensitive
    if (font < 0)
        font = ComboBox_FontName->findText(QStringLiteral("Arial"), Qt::MatchFixedString);
    ComboBox_FontName->setCurrentIndex(font);
    ComboBox_FontSize1->setCurrentIndex(ComboBox_FontSize1->findText(QString::number(s.SenderFontSize), Qt::MatchExactly));
    ComboBox_FontSize2->setCurrentIndex(ComboBox_FontSize2->findText(QString::number(s.AddressFontSize), Qt::MatchExactly));

    CheckBox_Absender->setChecked(s.PrintSender);
    CheckBox_Banner->setChecked(s.PrintBanner);
    CheckBox_Adresse->setChecked(s.PrintAddress);
    CheckBox_Leerzeilen->setChecked(s.PrintBlankLines);
    CheckBox_SwapDruck->setChecked(s.Swap);
    ComboBox_BreakCount->setCurrentIndex(s.BreakCount / 10 - 1);
    ComboBox_DPIFactor->setCurrentIndex(s.DpiFactor - 1);
    ComboBox_SpaceX->setCurrentIndex(s.SpaceX >= 0 && s.SpaceX <= 5 ? s.SpaceX : 0);
    ComboBox_SpaceY->setCurrentIndex(s.SpaceY >= 0 && s.SpaceY <= 5 ? s.SpaceY : 0);
    CheckBox_MoveAdressLeft->setChecked(s.MoveMode == 1);
    CheckBox_MoveAdressRight->setChecked(s.MoveMode == 2);
    CheckBox_MoveAdressNo->setChecked(s.MoveMode == 0);
    ComboBox_MoveAdressSpace->setCurrentIndex(s.MoveSpace - 1);
}

PrintSettings TDLG_Einstellungen::ControlsToSettings() const
{
    PrintSettings s = m_ctx.Print();
    const int printer = ComboBox_Drucker->currentIndex();
    // The name goes with the index; a printer that was saved by name but is missing now
    // keeps its name until the user picks another one.
    if (printer != s.PrinterIndex || s.PrinterName.isEmpty())
        s.PrinterName = printer >= 0 ? ComboBox_Drucker->itemText(printer) : QString();
    s.PrinterIndex = printer;
    s.FormatIndex = ComboBox_Format->currentIndex();
    s.Orientation = CheckBox_Horizontal->isChecked() ? 0 : 1;
    if (CheckBox_AlignLeft->isChecked())
        s.Alignment = 0;
    else if (!CheckBox_AlignCenter->isChecked() && CheckBox_AlignRight->isChecked())
        s.Alignment = 2;
    else
        s.Alignment = 1;
    s.FontName = ComboBox_FontName->currentIndex() >= 0 ? ComboBox_FontName->currentText() : QString();
    bool ok = false;
    const int size1 = ComboBox_FontSize1->currentText().toInt(&ok);
    s.SenderFontSize = ok ? size1 : 14;
    const int size2 = ComboBox_FontSize2->currentText().toInt(&ok);
    s.AddressFontSize = ok ? size2 : 18;
    s.PrintSender = CheckBox_Absender->isChecked();
    s.PrintBanner = CheckBox_Banner->isChecked();
    s.PrintAddress = CheckBox_Adresse->isChecked();
    s.PrintBlankLines = CheckBox_Leerzeilen->isChecked();
    s.Swap = CheckBox_SwapDruck->isChecked();
    s.BreakCount = ComboBox_BreakCount->currentIndex() * 10 + 10;
    s.DpiFactor = ComboBox_DPIFactor->currentIndex() + 1;
    s.SpaceX = ComboBox_SpaceX->currentIndex();
    s.SpaceY = ComboBox_SpaceY->currentIndex();
    if (CheckBox_MoveAdressLeft->isChecked())
        s.MoveMode = 1;
    else if (CheckBox_MoveAdressRight->isChecked())
        s.MoveMode = 2;
    else
        s.MoveMode = 0;
    s.MoveSpace = ComboBox_MoveAdressSpace->currentIndex() + 1;
    return s;
}

void TDLG_Einstellungen::SaveSettings()
{
    m_ctx.Print() = ControlsToSettings();
}

void TDLG_Einstellungen::Timer1Timer()
{
    Button_Printer_Setup->setEnabled(PageControl->currentIndex() == 0 && ComboBox_Drucker->currentIndex() >= 0);
    const bool move = !CheckBox_MoveAdressNo->isChecked();
    Label_MoveAdressSpace->setEnabled(move);
    ComboBox_MoveAdressSpace->setEnabled(move);
}

bool ShowEinstellungen(AppContext& ctx, QWidget* parent)
{
    TDLG_Einstellungen dialog(ctx, parent);
    return dialog.exec() == QDialog::Accepted;
}
