#pragma once
#include "mainwindow/AdressenQuery.h"
#include "mainwindow/RecordGridPanel.h"

#include <array>

struct AppContext;
class AdressenModel;

// The middle of the lower part, Panel_Adressen: the caption bar and the address grid of
// the selected group under the options bar's filter.
class AdressenList : public RecordGridPanel
{
    Q_OBJECT
public:
    AdressenList(AppContext& ctx, QWidget* parent = nullptr);

    // Clears and refills the grid for the filter; without a group it stays empty.
    void Load(const AdressenFilter& filter);
    void Clear();
    // Switches the active flag of a data row and writes it to the database at once; the
    // row stays where it is, whatever the view mode.
    void ToggleAktiv(int row);

    void SetNameHidden(bool hidden);
    std::array<int, 6> ColumnWidths() const;
    void SetColumnWidths(const std::array<int, 6>& widths);

    AdressenModel* Model() const { return m_model; }

private:
    AdressenList(AppContext& ctx, AdressenModel* model, QWidget* parent);

    AppContext& m_ctx;
    AdressenModel* m_model;
};
