#pragma once
#include <QWidget>

#include <functional>
#include <vector>

class RecordRowsModel;
class TCaptionBar;
class TGridView;

// A titled grid of records for the main window: the caption bar above the grid, the
// selection by identifier, and the widths of the line columns (1 to n).
class RecordGridPanel : public QWidget
{
    Q_OBJECT
public:
    struct Names
    {
        const char* panel;
        const char* caption;
        const char* grid;
        const char* accessible;  // also the caption's word: "Absender (3)"
    };
    RecordGridPanel(const Names& names, RecordRowsModel* model, QWidget* parent);

    QString SelectedID() const;
    // Makes the record's row current; nothing when no row has this identifier.
    void SelectByID(const QString& id);

    TGridView* Grid() const { return m_grid; }
    TCaptionBar* Caption() const { return m_caption; }

signals:
    void editRequested();
    void deleteRequested();

protected:
    // Runs fill with the grid's painting paused and a busy cursor, then makes row 1 current.
    void Refill(const std::function<void()>& fill);
    // "<word> (<count>)" and what follows it.
    void SetCount(int count, const QString& suffix = {});
    // Widths of the columns 1 .. widths.size(); -1 reads a hidden column.
    std::vector<int> LineColumnWidths(int count) const;
    void SetLineColumnWidths(const std::vector<int>& widths);

private:
    RecordRowsModel* m_rows;
    QString m_word;
    TCaptionBar* m_caption;
    TGridView* m_grid;
};
