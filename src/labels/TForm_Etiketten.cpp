#include "labels/TForm_Etiketten.h"

#include "app/AppContext.h"
#include "app/HelpKey.h"
#include "envelope/PrintError.h"
#include "labels/LabelJob.h"
#include "labels/LabelPdf.h"
#include "labels/LabelSheetView.h"
#include "labels/TDLG_EtikettenVorschau.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/PrintService.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "uikit/TBusyCursor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

QString mm(double points)
{
    return QLocale(QLocale::German).toString(points * 25.4 / 72.0, 'f', 1);
}

template <class W>
W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

TForm_Etiketten::TForm_Etiketten(AppContext& ctx, LabelCatalog catalog, const SeriendruckInput& input,
                                 const QString& adresseId, SaveFileChooser chooseFile, QWidget* parent,
                                 PrinterChooser choosePrinter)
    : QDialog(parent), m_ctx(ctx), m_catalog(std::move(catalog)), m_input(input), m_adresseId(adresseId),
      m_chooseFile(std::move(chooseFile)),
      m_choosePrinter(std::move(choosePrinter))
{
    setObjectName(QStringLiteral("TForm_Etiketten"));
    setWindowTitle(QStringLiteral("Etiketten drucken"));
    InstallHelpKey(this, ctx, HelpContext::Etiketten);

    m_brand = named(new QComboBox, "ComboBox_Hersteller");
    m_brand->addItem(QStringLiteral("Alle Hersteller"));
    m_brand->addItems(m_catalog.Brands());
    m_brand->setAccessibleName(QStringLiteral("Hersteller"));
    m_search = named(new QLineEdit, "Edit_Suche");
    m_search->setPlaceholderText(QStringLiteral("Suchen (z. B. 3475, L7163)"));
    m_search->setAccessibleName(QStringLiteral("Produkt suchen"));
    m_search->setClearButtonEnabled(true);
    m_list = named(new QListWidget, "ListBox_Vorlagen");
    m_list->setAccessibleName(QStringLiteral("Produkte"));
    m_description = named(new QLabel, "Label_Beschreibung");
    m_description->setWordWrap(true);

    m_sheet = new LabelSheetView;
    m_startLabel = named(new QLabel, "Label_Start");

    m_gruppe = named(new QRadioButton(QStringLiteral("Adressen der &Gruppe")), "RadioButton_Gruppe");
    m_adresse = named(new QRadioButton(QStringLiteral("Gewählte &Adresse")), "RadioButton_Adresse");
    m_absender = named(new QRadioButton(QStringLiteral("A&bsender")), "RadioButton_Absender");
    auto* contents = new QButtonGroup(this);
    contents->addButton(m_gruppe, int(LabelContent::Gruppe));
    contents->addButton(m_adresse, int(LabelContent::Adresse));
    contents->addButton(m_absender, int(LabelContent::Absender));
    m_copies = named(new QSpinBox, "SpinBox_Kopien");
    m_copies->setRange(1, 999);
    m_copies->setAccessibleName(QStringLiteral("Anzahl"));
    const PrintSettings& s = m_ctx.Print();
    m_font = named(new QLabel(QStringLiteral("Schrift: %1, %2 (aus den Einstellungen)").arg(s.FontName).arg(s.AddressFontSize)),
                   "Label_Schrift");
    m_frames = named(new QCheckBox(QStringLiteral("&Rahmen drucken")), "CheckBox_Rahmen");

    auto* vorschau = named(new QPushButton(QStringLiteral("&Vorschau")), "Button_Vorschau");
    auto* drucken = named(new QPushButton(QStringLiteral("&Drucken")), "Button_Drucken");
    auto* pdf = named(new QPushButton(QStringLiteral("Als PDF &speichern")), "Button_PdfSpeichern");
    auto* schliessen = named(new QPushButton(QStringLiteral("Schließen")), "Button_Schliessen");

    auto* product = new QGroupBox(QStringLiteral("Etikettenbogen"));
    auto* pl = new QVBoxLayout(product);
    auto* search = new QFormLayout;
    search->addRow(QStringLiteral("&Hersteller:"), m_brand);
    search->addRow(QStringLiteral("&Produkt:"), m_search);
    pl->addLayout(search);
    pl->addWidget(m_list, 1);
    pl->addWidget(m_description);

    auto* what = new QGroupBox(QStringLiteral("Was gedruckt wird"));
    auto* wl = new QVBoxLayout(what);
    wl->addWidget(m_gruppe);
    wl->addWidget(m_adresse);
    wl->addWidget(m_absender);
    auto* copies = new QHBoxLayout;
    auto* copiesLabel = new QLabel(QStringLiteral("A&nzahl:"));
    copiesLabel->setBuddy(m_copies);
    copies->addWidget(copiesLabel);
    copies->addWidget(m_copies);
    copies->addStretch();
    wl->addLayout(copies);
    wl->addWidget(m_font);
    wl->addWidget(m_frames);

    auto* left = new QVBoxLayout;
    left->addWidget(product, 1);
    left->addWidget(what);
    auto* right = new QVBoxLayout;
    right->addWidget(m_sheet, 1);
    right->addWidget(m_startLabel);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(vorschau);
    buttons->addStretch();
    buttons->addWidget(drucken);
    buttons->addWidget(pdf);
    buttons->addWidget(schliessen);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(860, 620);

    // The remembered choices.
    const LabelSettings& remembered = m_ctx.Settings.Labels;
    const int content = std::clamp(remembered.Content, 0, 2);
    contents->button(content)->setChecked(true);
    m_copies->setValue(std::max(1, remembered.Copies));
    m_copies->setEnabled(content != int(LabelContent::Gruppe));
    m_current = m_catalog.Find(remembered.Template);
    if (!m_current && !m_catalog.Templates.isEmpty())
        m_current = m_catalog.Find(QStringLiteral("Zweckform 3475")) ? m_catalog.Find(QStringLiteral("Zweckform 3475"))
                                                                      : &m_catalog.Templates.front();
    fillList();
    refreshSheet();

    connect(m_brand, &QComboBox::currentIndexChanged, this, [this] { fillList(); });
    connect(m_search, &QLineEdit::textChanged, this, [this] { fillList(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { chooseTemplate(); });
    connect(m_sheet, &LabelSheetView::startChosen, this, &TForm_Etiketten::SetStart);
    connect(contents, &QButtonGroup::idClicked, this, [this](int id) {
        m_copies->setEnabled(id != int(LabelContent::Gruppe));
        remember();
    });
    connect(m_copies, &QSpinBox::valueChanged, this, [this] { remember(); });
    connect(vorschau, &QPushButton::clicked, this, &TForm_Etiketten::Vorschau);
    connect(drucken, &QPushButton::clicked, this, &TForm_Etiketten::Drucken);
    connect(pdf, &QPushButton::clicked, this, &TForm_Etiketten::PdfSpeichern);
    connect(schliessen, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm_Etiketten::Show(AppContext& ctx, QWidget* parent, const SeriendruckInput& input, const QString& adresseId,
                           const SaveFileChooser& chooseFile, const PrinterChooser& choosePrinter)
{
    LabelCatalog catalog;
    {
        TBusyCursor busy;
        catalog = LoadLabelCatalog();
    }
    if (catalog.Templates.isEmpty()) {
        ctx.Messages->ErrorMessage(kNoLabelTemplates);
        return;
    }
    for (const QString& error : catalog.Errors)
        ctx.Messages->ErrorMessage(error);
    TForm_Etiketten window(ctx, std::move(catalog), input, adresseId, chooseFile, parent, choosePrinter);
    window.exec();
}

void TForm_Etiketten::fillList()
{
    const QString brand = m_brand->currentIndex() > 0 ? m_brand->currentText() : QString();
    const QList<const LabelTemplate*> found = m_catalog.Search(brand, m_search->text());
    const QSignalBlocker block(m_list);
    m_list->clear();
    int current = -1;
    for (const LabelTemplate* t : found) {
        auto* item = new QListWidgetItem(t->Name() + QStringLiteral(" – ") + t->Description, m_list);
        item->setData(Qt::UserRole, t->Name());
        if (t == m_current)
            current = m_list->count() - 1;
    }
    // Typing narrows the list; the first match is taken when the chosen one drops out.
    if (current < 0 && m_list->count() > 0 && !m_search->text().isEmpty())
        current = 0;
    m_list->setCurrentRow(current);
    if (current >= 0)
        chooseTemplate();
}

void TForm_Etiketten::chooseTemplate()
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const LabelTemplate* t = m_catalog.Find(item->data(Qt::UserRole).toString());
    if (!t || t == m_current)
        return;
    m_current = t;
    m_start = 0;
    remember();
    refreshSheet();
}

void TForm_Etiketten::SetStart(int slot)
{
    if (!m_current)
        return;
    m_start = std::clamp(slot, 0, std::max(0, m_current->Count() - 1));
    refreshSheet();
}

void TForm_Etiketten::refreshSheet()
{
    if (!m_current) {
        m_description->clear();
        m_sheet->SetRun(LabelRun());
        return;
    }
    const LabelTemplate& t = *m_current;
    m_description->setText(QStringLiteral("%1\n%2 × %3 mm, %4 Etiketten je Bogen (%5)")
                               .arg(t.Name() + QStringLiteral(": ") + t.Description, mm(t.LabelSize.width()),
                                    mm(t.LabelSize.height()))
                               .arg(t.Count())
                               .arg(t.PaperId == QLatin1String("A4") ? QStringLiteral("A4") : QStringLiteral("Letter")));
    // The sheet view shows where printing begins; no texts are read for it.
    m_sheet->SetRun(LayoutLabels(t, {}, m_start, LabelStyle{}, QSize(), 100));
    m_startLabel->setText(QStringLiteral("Beginnen bei Etikett %1 von %2 (Klick oder Pfeiltasten und Eingabetaste ändern es)")
                              .arg(m_start + 1)
                              .arg(t.Count()));
}

LabelRequest TForm_Etiketten::request() const
{
    LabelRequest r;
    r.Content = m_absender->isChecked() ? LabelContent::Absender
                : m_adresse->isChecked() ? LabelContent::Adresse
                                         : LabelContent::Gruppe;
    r.Input = m_input;
    r.AdresseID = m_adresseId;
    r.Copies = m_copies->value();
    return r;
}

void TForm_Etiketten::remember()
{
    LabelSettings& l = m_ctx.Settings.Labels;
    if (m_current)
        l.Template = m_current->Name();
    l.Content = int(request().Content);
    l.Copies = m_copies->value();
}

std::optional<LabelRun> TForm_Etiketten::PrepareRun(LabelTexts& texts)
{
    if (!m_current)
        return std::nullopt;
    const LabelRequest r = request();
    const PrintSettings& s = m_ctx.Print();
    if (const QString missing = LabelSelectionMissing(r, s.Swap); !missing.isEmpty()) {
        m_ctx.Messages->InfoMessage(missing);
        return std::nullopt;
    }
    std::optional<LabelTexts> read;
    try {
        TBusyCursor busy;
        read = ReadLabelTexts(m_ctx, r);
    } catch (const ESQLiteException& e) {
        // Another program holding the file, say: the window stays open for another try.
        m_ctx.Messages->ErrorMessage(e.message());
        return std::nullopt;
    }
    if (!read || read->Texts.isEmpty()) {
        m_ctx.Messages->InfoMessage(QStringLiteral("Es gibt keine Adressen für die Etiketten."));
        return std::nullopt;
    }
    texts = std::move(*read);
    const LabelStyle style = LabelStyleFor(s.FontName, s.AddressFontSize, s.DpiFactor, s.PrintBlankLines, kDefaultLabelDpi);
    return LayoutLabels(*m_current, texts.Texts, m_start, style, texts.Banner.size(), kDefaultLabelDpi);
}

bool TForm_Etiketten::acceptWarnings(const QString& text)
{
    if (text.isEmpty())
        return true;
    QMessageBox box(QMessageBox::Warning, kLabelWarningTitle, text, QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("MessageBox_Etiketten"));
    QPushButton* go = box.addButton(QStringLiteral("Trotzdem drucken"), QMessageBox::AcceptRole);
    go->setObjectName(QStringLiteral("Button_TrotzdemDrucken"));
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == go;
}

void TForm_Etiketten::Vorschau()
{
    LabelTexts texts;
    const std::optional<LabelRun> run = PrepareRun(texts);
    if (!run)
        return;
    LabelPaintOptions options;
    options.Frames = true;
    options.ShowUsed = true;
    TDLG_EtikettenVorschau preview(*run, texts.Banner, options, this);
    preview.exec();
}

std::optional<TForm_Etiketten::Prepared> TForm_Etiketten::prepareOutput()
{
    Prepared p;
    std::optional<LabelRun> run = PrepareRun(p.Texts);
    if (!run || !acceptWarnings(TooLongText(*run, p.Texts.Texts)))
        return std::nullopt;
    p.Run = std::move(*run);
    return p;
}

QByteArray TForm_Etiketten::pdfOf(const Prepared& p, const QString& title) const
{
    TBusyCursor busy;
    LabelPaintOptions options;
    options.Frames = m_frames->isChecked();
    return LabelRunPdf(p.Run, p.Texts.Banner.isNull() ? nullptr : &p.Texts.Banner, options, title);
}

void TForm_Etiketten::Drucken()
{
    const std::optional<Prepared> p = prepareOutput();
    if (!p)
        return;
    try {
        if (m_ctx.Printer->PrinterCount() == 0) {
            WarnNoPrinter(*m_ctx.Messages);
            return;
        }
        if (!CheckRememberedPrinter(m_ctx, this, m_choosePrinter))
            return;
        // Asked as for envelopes: which printer, how many labels on how many sheets.
        if (m_ctx.Messages->Confirm(LabelPrintQuestion(PrinterDisplayName(m_ctx), *m_current, p->Run)) != Msg::IdYes)
            return;
        SelectConfiguredPrinter(m_ctx);
        const PrinterSheet sheet = m_ctx.Printer->SheetOf(m_current->Media());
        // A queue without the template's paper prints on its default paper: the labels
        // would land elsewhere on the sheet.
        if (!acceptWarnings(MissingPaperText(PrinterDisplayName(m_ctx), *m_current, sheet)))
            return;
        if (!acceptWarnings(OutsidePrintableText(LabelsOutsidePrintable(p->Run, sheet))))
            return;
        const QString title = QStringLiteral("Tavisto_Etiketten");
        m_ctx.Printer->PrintDocument(title, pdfOf(*p, title), m_current->Media());
    } catch (const PrintError& e) {
        m_ctx.Messages->ErrorMessage(e.message());
        return;
    }
    // The next sheet is a fresh one.
    SetStart(0);
    remember();
}

void TForm_Etiketten::PdfSpeichern()
{
    const std::optional<Prepared> p = prepareOutput();
    if (!p)
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString fileName = m_chooseFile(this, QStringLiteral("Etiketten als PDF speichern"), folder,
                                    QStringLiteral("PDF-Dateien (*.pdf)"), QStringLiteral("Etiketten.pdf"));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".pdf");
    // The file dialog leaves this question to the program, as for envelopes.
    if (QFileInfo::exists(fileName) &&
        m_ctx.Messages->WarningQuestion(QStringLiteral("Es existiert bereits eine Datei unter diesem Namen!\n"
                                                       "Soll diese Datei überschrieben werden?")) != Msg::IdYes)
        return;
    QString error;
    if (!SaveLabelRunPdf(pdfOf(*p, QFileInfo(fileName).completeBaseName()), fileName, &error)) {
        m_ctx.Messages->ErrorMessage(
            QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2").arg(fileName, error));
        return;
    }
    m_ctx.Messages->InfoMessage(LabelPdfSavedText(p->Run, fileName));
    remember();
}
