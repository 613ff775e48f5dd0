#include "exchange/TDLG_FelderZuordnen.h"

#include "app/BlankText.h"
#include "shell/MessageService.h"
#include "sources/AddressComposer.h"
#include "sources/TableAdressenSource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QChar kDelimiters[] = {u';', u',', u'\t'};

QComboBox* targetCombo(int column, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("ComboBox_Ziel_%1").arg(column + 1));
    combo->addItem(QStringLiteral("nicht übernehmen"), -1);
    for (int f = 0; f < kAddressFieldCount; ++f)
        combo->addItem(AddressFieldCaption(AddressField(f)), f);
    combo->setMaxVisibleItems(kAddressFieldCount + 1);
    return combo;
}

QString previewText(const ImportedAdresse& a)
{
    return QStringList{a.Line1, a.Line2, a.Line3, a.Line4, a.Line5}.join(u'\n');
}

} // namespace

TDLG_FelderZuordnen::TDLG_FelderZuordnen(Table table, RememberedTargets& remembered, MessageService& messages,
                                         QWidget* parent)
    : QDialog(parent), m_table(std::move(table)), m_remembered(remembered), m_messages(messages)
{
    setObjectName(QStringLiteral("DLG_FelderZuordnen"));
    setWindowTitle(QStringLiteral("Felder zuordnen"));
    resize(980, 620);

    auto* layout = new QVBoxLayout(this);
    m_file = new QLabel(QStringLiteral("Datei: %1").arg(QFileInfo(m_table.fileName).fileName()), this);
    m_file->setObjectName(QStringLiteral("Label_Datei"));
    m_file->setTextFormat(Qt::PlainText);
    layout->addWidget(m_file);

    auto* options = new QHBoxLayout;
    auto* sheetLabel = new QLabel(QStringLiteral("Tabellenblatt:"), this);
    m_sheets = new QComboBox(this);
    m_sheets->setObjectName(QStringLiteral("ComboBox_Tabellenblatt"));
    sheetLabel->setBuddy(m_sheets);
    m_sheets->addItems(m_table.source->SheetNames());
    const bool severalSheets = m_sheets->count() > 1;
    sheetLabel->setVisible(severalSheets);
    m_sheets->setVisible(severalSheets);
    options->addWidget(sheetLabel);
    options->addWidget(m_sheets);

    auto* delimiterLabel = new QLabel(QStringLiteral("Trennzeichen:"), this);
    m_delimiter = new QComboBox(this);
    m_delimiter->setObjectName(QStringLiteral("ComboBox_Trennzeichen"));
    m_delimiter->addItems({QStringLiteral("Semikolon (;)"), QStringLiteral("Komma (,)"), QStringLiteral("Tabulator")});
    delimiterLabel->setBuddy(m_delimiter);
    auto* encodingLabel = new QLabel(QStringLiteral("Zeichensatz:"), this);
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("ComboBox_Zeichensatz"));
    m_encoding->addItems({QStringLiteral("UTF-8"), QStringLiteral("Windows-1252 (ANSI)")});
    encodingLabel->setBuddy(m_encoding);
    for (int i = 0; i < 3; ++i)
        if (m_table.textOptions.Delimiter == kDelimiters[i])
            m_delimiter->setCurrentIndex(i);
    m_encoding->setCurrentIndex(m_table.textOptions.Encoding == sheets::TextEncoding::Utf8 ? 0 : 1);
    for (QWidget* w : std::initializer_list<QWidget*>{delimiterLabel, m_delimiter, encodingLabel, m_encoding}) {
        w->setVisible(m_table.text);
        options->addWidget(w);
    }
    options->addStretch();
    layout->addLayout(options);

    m_header = new QCheckBox(QStringLiteral("Erste Zeile enthält Spaltenüberschriften"), this);
    m_header->setObjectName(QStringLiteral("CheckBox_Ueberschriften"));
    m_header->setChecked(true);
    layout->addWidget(m_header);

    auto* middle = new QHBoxLayout;
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("TableWidget_Spalten"));
    m_grid->setAccessibleName(QStringLiteral("Spalten der Datei"));
    m_grid->setColumnCount(5);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Spalte"), QStringLiteral("Übernehmen als"),
                                       QStringLiteral("1. Zeile"), QStringLiteral("2. Zeile"),
                                       QStringLiteral("3. Zeile")});
    m_grid->verticalHeader()->setVisible(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    middle->addWidget(m_grid, 3);

    auto* previewBox = new QGroupBox(QStringLiteral("So werden die ersten Adressen gespeichert"), this);
    previewBox->setObjectName(QStringLiteral("GroupBox_Vorschau"));
    auto* previewLayout = new QVBoxLayout(previewBox);
    for (int i = 0; i < 3; ++i) {
        m_preview[i] = new QLabel(previewBox);
        m_preview[i]->setObjectName(QStringLiteral("Label_Vorschau_%1").arg(i + 1));
        m_preview[i]->setTextFormat(Qt::PlainText);
        m_preview[i]->setFrameShape(QFrame::StyledPanel);
        m_preview[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_preview[i]->setMinimumSize(240, 5 * fontMetrics().lineSpacing() + 12);
        m_preview[i]->setMargin(4);
        m_preview[i]->setAutoFillBackground(true);
        QPalette pal = m_preview[i]->palette();
        pal.setColor(QPalette::Window, Qt::white);
        m_preview[i]->setPalette(pal);
        previewLayout->addWidget(m_preview[i]);
    }
    previewLayout->addStretch();
    middle->addWidget(previewBox, 1);
    layout->addLayout(middle, 1);

    m_skipDuplicates = new QCheckBox(QStringLiteral("Adressen überspringen, die in der Gruppe schon stehen"), this);
    m_skipDuplicates->setObjectName(QStringLiteral("CheckBox_Doppelte"));
    m_skipDuplicates->setChecked(true);
    layout->addWidget(m_skipDuplicates);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* import = new QPushButton(QStringLiteral("Importieren"), this);
    import->setObjectName(QStringLiteral("Button_Import"));
    import->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("Button_Cancel"));
    buttons->addWidget(import);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(import, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    loadRows();
    assignTargets();
    fillGrid();

    connect(m_header, &QCheckBox::toggled, this, [this] {
        assignTargets();
        fillGrid();
    });
    connect(m_sheets, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int before = m_sheet;
        m_sheet = index;
        try {
            loadRows();
        } catch (const sheets::SheetError& e) {
            m_messages.ErrorMessage(e.Message());
            m_sheet = before;
            const QSignalBlocker block(m_sheets);
            m_sheets->setCurrentIndex(before);
            return;
        }
        assignTargets();
        fillGrid();
    });
    connect(m_delimiter, &QComboBox::currentIndexChanged, this, &TDLG_FelderZuordnen::reopenText);
    connect(m_encoding, &QComboBox::currentIndexChanged, this, &TDLG_FelderZuordnen::reopenText);
}

TDLG_FelderZuordnen::~TDLG_FelderZuordnen() = default;

bool TDLG_FelderZuordnen::HeaderRow() const { return m_header->isChecked(); }

bool TDLG_FelderZuordnen::SkipDuplicates() const { return m_skipDuplicates->isChecked(); }

void TDLG_FelderZuordnen::loadRows()
{
    std::vector<sheets::Row> rows;
    m_table.source->ReadRows(m_sheet, [&](const sheets::Row& row, double) {
        rows.push_back(row);
        return rows.size() < size_t(kSampleRows);
    });
    m_rows = std::move(rows);
    m_columns = 0;
    for (const sheets::Row& row : m_rows)
        m_columns = std::max(m_columns, row.size());
}

QStringList TDLG_FelderZuordnen::headers() const
{
    QStringList names;
    const sheets::Row first = m_rows.empty() ? sheets::Row() : m_rows.front();
    for (size_t i = 0; i < m_columns; ++i)
        names << (HeaderRow() && i < first.size() ? first[i].Text : QStringLiteral("Spalte %1").arg(i + 1));
    return names;
}

std::vector<sheets::Row> TDLG_FelderZuordnen::dataRows() const
{
    if (!HeaderRow() || m_rows.empty())
        return m_rows;
    return std::vector<sheets::Row>(m_rows.begin() + 1, m_rows.end());
}

void TDLG_FelderZuordnen::assignTargets()
{
    m_targets.assign(m_columns, std::nullopt);
    if (!HeaderRow())
        return; // chosen by hand
    const QStringList names = headers();
    if (const auto it = m_remembered.find(TargetsKey(names)); it != m_remembered.end())
        if (const std::optional<ColumnTargets> kept = DecodeTargets(it->second, m_columns)) {
            m_targets = *kept;
            return;
        }
    m_targets = GuessTargets(names, dataRows());
}

void TDLG_FelderZuordnen::fillGrid()
{
    const QStringList names = headers();
    const std::vector<sheets::Row> rows = dataRows();
    // The old combo boxes go at once by name: the view deletes them only later.
    for (QComboBox* old : m_grid->findChildren<QComboBox*>())
        if (old->objectName().startsWith(QStringLiteral("ComboBox_Ziel_"))) {
            old->setObjectName(QString());
            old->disconnect(this);
        }
    m_grid->setRowCount(0);
    m_grid->setRowCount(int(m_columns));
    for (size_t c = 0; c < m_columns; ++c) {
        const int row = int(c);
        m_grid->setItem(row, 0, new QTableWidgetItem(names.at(row)));
        QComboBox* combo = targetCombo(row, m_grid);
        combo->setAccessibleName(QStringLiteral("Übernehmen als: %1").arg(names.at(row)));
        combo->setCurrentIndex(m_targets[c] ? int(*m_targets[c]) + 1 : 0);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, c, combo] {
            const int f = combo->currentData().toInt();
            m_targets[c] = f < 0 ? std::nullopt : std::optional<AddressField>(AddressField(f));
            updatePreview();
        });
        m_grid->setCellWidget(row, 1, combo);
        for (int r = 0; r < 3; ++r) {
            const QString text = size_t(r) < rows.size() && c < rows[r].size() ? rows[r][c].Text : QString();
            m_grid->setItem(row, 2 + r, new QTableWidgetItem(text));
        }
    }
    m_grid->resizeColumnsToContents();
    m_grid->setColumnWidth(1, std::max(m_grid->columnWidth(1), 170));
    for (int col : {0, 2, 3, 4})
        m_grid->setColumnWidth(col, std::min(m_grid->columnWidth(col), 180));
    updatePreview();
}

void TDLG_FelderZuordnen::updatePreview()
{
    const bool assigned = std::any_of(m_targets.begin(), m_targets.end(), [](const auto& t) { return t.has_value(); });
    int shown = 0;
    for (const sheets::Row& row : dataRows()) {
        if (shown == 3)
            break;
        const std::optional<AddressRecord> r = TableAdressenSource::RecordOf(row, m_targets);
        if (!r)
            continue;
        const ImportedAdresse a = ComposeAdresse(*r);
        // What gives no envelope line is not imported, so it is not shown either; with
        // nothing assigned yet every row shows its empty lines.
        const bool anyLine = !IsBlank(a.Line1) || !IsBlank(a.Line2) || !IsBlank(a.Line3) || !IsBlank(a.Line4) ||
                             !IsBlank(a.Line5);
        if (!anyLine && assigned)
            continue;
        m_preview[shown++]->setText(previewText(a));
    }
    for (; shown < 3; ++shown)
        m_preview[shown]->clear();
}

void TDLG_FelderZuordnen::reopenText()
{
    if (!m_table.reopen)
        return;
    sheets::TextOptions options;
    options.Delimiter = kDelimiters[std::clamp(m_delimiter->currentIndex(), 0, 2)];
    options.Encoding = m_encoding->currentIndex() == 0 ? sheets::TextEncoding::Utf8 : sheets::TextEncoding::Windows1252;
    try {
        std::unique_ptr<sheets::TableSource> source = m_table.reopen(options);
        std::swap(m_table.source, source);
        try {
            loadRows();
        } catch (const sheets::SheetError&) {
            std::swap(m_table.source, source);
            throw;
        }
        m_table.textOptions = options;
    } catch (const sheets::SheetError& e) {
        m_messages.ErrorMessage(e.Message());
        return;
    }
    assignTargets();
    fillGrid();
}

void TDLG_FelderZuordnen::accept()
{
    // Only what the user changed is kept: a better guess in a later version still reaches
    // the files nobody corrected.
    if (HeaderRow() && !m_rows.empty()) {
        const QString key = TargetsKey(headers());
        if (m_targets == GuessTargets(headers(), dataRows()))
            m_remembered.erase(key);
        else
            m_remembered[key] = EncodeTargets(m_targets);
    }
    QDialog::accept();
}
