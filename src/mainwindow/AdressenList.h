#pragma once
#include "mainwindow/AdressenQuery.h"
#include "mainwindow/RecordGridPanel.h"

#include <array>
#include <optional>

class QTimer;

struct AppContext;
class AdressenModel;

// The middle of the lower part, Panel_Adressen: the caption bar and the address grid of
// the selected group under the options bar's filter.
class AdressenList : public RecordGridPanel
{
    Q_OBJECT
public:
    AdressenList(AppContext& ctx, QWidget* parent = nullptr);

    // Clears and refills the grid for the filter; without a group it stays empty. A long
    // list in stored order shows its first kFirstRows rows and the whole count at once and
    // reads the rest once the window has been drawn.
    void Load(const AdressenFilter& filter);
    void Clear();
    // Reads now the rows a long list still holds back: for whatever works on every row shown.
    // When the database does not give them, the rest stays to come and the error thrown
    // says so in German, with the database's reason and the consequence given (what the
    // command therefore does not do).
    void CompleteRows(const QString& consequence);
    // True while rows of the last load are still to come.
    bool RowsPending() const { return m_rest.has_value(); }
    static constexpr int kFirstRows = 500;
    // Switches the active flag of a data row and writes it to the database at once; the
    // row stays where it is, whatever the view mode.
    void ToggleAktiv(int row);

    void SetNameHidden(bool hidden);
    std::array<int, 6> ColumnWidths() const;
    void SetColumnWidths(const std::array<int, 6>& widths);

    AdressenModel* Model() const { return m_model; }

private:
    AdressenList(AppContext& ctx, AdressenModel* model, QWidget* parent);
    void restTimeout();
    void readRest();

    AppContext& m_ctx;
    AdressenModel* m_model;
    // The statement whose rows beyond the first are still to come, and the caption's suffix.
    std::optional<SqlStatement> m_rest;
    QString m_suffix;
    QTimer* m_restTimer;
    int m_restWaits = 0;
};
