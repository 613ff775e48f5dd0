#pragma once
#include "sheets/TableSource.h"
#include "sources/ColumnGuess.h"
#include "sources/RememberedTargets.h"

#include <QDialog>

#include <functional>
#include <memory>

class MessageService;
class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

// "Felder zuordnen": the columns of a table with its first rows, a target for each column,
// and the envelope lines of the first three addresses as they will be stored.
class TDLG_FelderZuordnen : public QDialog
{
    Q_OBJECT
public:
    // The file as the import opened it. A text file can be opened again with another
    // delimiter or encoding.
    struct Table
    {
        QString fileName;
        std::unique_ptr<sheets::TableSource> source;
        bool text = false;
        sheets::TextOptions textOptions;
        std::function<std::unique_ptr<sheets::TableSource>(const sheets::TextOptions&)> reopen;
    };

    // Raises sheets::SheetError when the first rows cannot be read.
    TDLG_FelderZuordnen(Table table, RememberedTargets& remembered, MessageService& messages,
                        QWidget* parent = nullptr);
    ~TDLG_FelderZuordnen() override;

    ColumnTargets Targets() const { return m_targets; }
    bool HeaderRow() const;
    int Sheet() const { return m_sheet; }
    bool SkipDuplicates() const;
    sheets::TableSource& Source() { return *m_table.source; }

    // The first rows of the sheet, and the texts of the first row as headers.
    static constexpr int kSampleRows = 21;

    void accept() override;

private:
    void loadRows();           // reads the first rows of the sheet; raises SheetError
    void assignTargets();      // remembered, else guessed, else none
    void fillGrid();
    void updatePreview();
    void reopenText();
    QStringList headers() const;
    std::vector<sheets::Row> dataRows() const;

    Table m_table;
    RememberedTargets& m_remembered;
    MessageService& m_messages;
    int m_sheet = 0;
    std::vector<sheets::Row> m_rows;
    size_t m_columns = 0;
    ColumnTargets m_targets;

    QLabel* m_file;
    QComboBox* m_sheets;
    QComboBox* m_delimiter;
    QComboBox* m_encoding;
    QCheckBox* m_header;
    QTableWidget* m_grid;
    QLabel* m_preview[3];
    QCheckBox* m_skipDuplicates;
};
