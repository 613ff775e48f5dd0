#include "mainwindow/AdressenList.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "app/GeneralError.h"
#include "mainwindow/AdressenModel.h"
#include "uikit/TGridView.h"

#include <QHeaderView>

namespace {
constexpr int kNameShownWidth = 120;
}

AdressenList::AdressenList(AppContext& ctx, QWidget* parent) : AdressenList(ctx, new AdressenModel, parent) {}

AdressenList::AdressenList(AppContext& ctx, AdressenModel* model, QWidget* parent)
    : RecordGridPanel({"Panel_Adressen", "VCap_Adressen", "StringGrid_Adressen", "Adressen"}, model, parent),
      m_ctx(ctx), m_model(model)
{
    Grid()->setCheckColumn(AdressenModel::ColAktiv);
    Grid()->horizontalHeader()->resizeSection(AdressenModel::ColAktiv, 35);
    SetColumnWidths({120, 120, 120, 120, 120, 120});
    connect(Grid(), &TGridView::cellPressed, this, [this](const QModelIndex& index, Qt::MouseButton) {
        if (index.isValid() && index.column() == AdressenModel::ColAktiv)
            RunGuarded(m_ctx.Messages, [&] { ToggleAktiv(index.row()); });
    });
}

void AdressenList::Clear()
{
    m_model->Clear();
}

void AdressenList::Load(const AdressenFilter& filter)
{
    Clear();
    if (IsBlank(filter.GruppeID)) {
        SetCount(0);
        return;
    }
    if (!m_ctx.db().TableExists(QStringLiteral("tab_adressen")))
        return;
    int count = 0;
    Refill([&] {
        const SqlStatement s = BuildAdressenQuery(filter);
        TSQLiteTable t = m_ctx.db().GetTable(s.Sql(), s.Params);
        count = t.Count();
        m_model->Load(std::move(t));
    });
    SetCount(count, filter.IsFiltered() ? QStringLiteral(" - Gefiltert") : QString());
}

void AdressenList::ToggleAktiv(int row)
{
    const QString id = m_model->AdresseID(row);
    if (id.isEmpty())
        return;
    const bool wasActive = !IsBlank(m_model->Cell(row, AdressenModel::ColAktiv));
    m_model->SetCell(row, AdressenModel::ColAktiv, wasActive ? QString() : QStringLiteral("X"));
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_adressen")))
        return;
    Transaction tx(db);
    db.ExecSQL(QStringLiteral("UPDATE tab_adressen SET Aktiv=%1 WHERE Adresse_ID=?").arg(wasActive ? 0 : 1), {id});
    tx.Commit();
}

void AdressenList::SetNameHidden(bool hidden)
{
    Grid()->setColumnHidden(AdressenModel::ColName, hidden);
    if (!hidden)
        Grid()->horizontalHeader()->resizeSection(AdressenModel::ColName, kNameShownWidth);
}

std::array<int, 6> AdressenList::ColumnWidths() const
{
    const std::vector<int> w = LineColumnWidths(6);
    return {w[0], w[1], w[2], w[3], w[4], w[5]};
}

void AdressenList::SetColumnWidths(const std::array<int, 6>& widths)
{
    SetLineColumnWidths({widths.begin(), widths.end()});
}
