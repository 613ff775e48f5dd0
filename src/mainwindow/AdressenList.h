#pragma once
#include "mainwindow/AdressenQuery.h"

#include <QWidget>
#include <array>

struct AppContext;
class AdressenModel;
class TCaptionBar;
class TGridView;

// The middle of the lower part, Panel_Adressen: the caption bar and the address grid of
// the selected group under the options bar's filter.
class AdressenList : public QWidget
{
    Q_OBJECT
public:

    AdressenList(AppContext& ctx, QWidget* parent = nullptr);

    // Clears and refills the grid for the filter; without a group it stays empty.
    void Load(const AdressenFilter& filter);
    void Clear();
    QString SelectedID() const;
    void SelectByID(const QString& adresseId);
    // Switches the active flag of a data row and writes it to the database at once; the
    // row stays where it is, whatever the view mode.
    void ToggleAktiv(int row);

    void SetNameHidden(bool hidden);
    std::array<int, 6> ColumnWidths() const;
    void SetColumnWidths(const std::array<int, 6>& widths);

    TGridView* Grid() const { return m_grid; }
    AdressenModel* Model() const { return m_model; }
    TCaptionBar* Caption() const { return m_caption; }

signals:
    void editRequested();
    void deleteRequested();

private:
    AppContext& m_ctx;
    TCaptionBar* m_caption;
    TGridView* m_grid;
    AdressenModel* m_model;
};
