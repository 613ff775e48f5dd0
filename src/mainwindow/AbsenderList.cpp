#include "mainwindow/AbsenderList.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "mainwindow/AbsenderModel.h"
#include "store/Schema.h"
#include "uikit/TGridView.h"

#include <QHeaderView>

AbsenderList::AbsenderList(AppContext& ctx, QWidget* parent)
    : AbsenderList(ctx, new AbsenderModel, parent)
{
}

AbsenderList::AbsenderList(AppContext& ctx, AbsenderModel* model, QWidget* parent)
    : RecordGridPanel({"Panel_Absender", "VCap_Absender", "StringGrid_Absender", "Absender"}, model, parent),
      m_ctx(ctx), m_model(model)
{
    Grid()->setCheckColumn(AbsenderModel::ColBanner);
    Grid()->horizontalHeader()->resizeSection(AbsenderModel::ColBanner, 48);
    SetColumnWidths({150, 150, 150, 150, 150});
    connect(Grid(), &TGridView::cellPressed, this, [this](const QModelIndex& index, Qt::MouseButton) {
        onCellPressed(index);
    });
}

void AbsenderList::Clear()
{
    m_model->Clear();
}

void AbsenderList::Load()
{
    Clear();
    if (!m_ctx.db().TableExists(QStringLiteral("tab_absender")))
        return;
    int count = 0;
    Refill([&] {
        TSQLiteTable t = m_ctx.db().GetTable(AbsenderListQuery());
        m_model->Load(t);
        count = t.Count();
    });
    SetCount(count);
}

void AbsenderList::SetBannerMark(const QString& absenderId, const QString& mark)
{
    m_model->SetCell(m_model->RowOf(absenderId), AbsenderModel::ColBanner, mark);
}

std::array<int, 5> AbsenderList::ColumnWidths() const
{
    const std::vector<int> w = LineColumnWidths(5);
    return {w[0], w[1], w[2], w[3], w[4]};
}

void AbsenderList::SetColumnWidths(const std::array<int, 5>& widths)
{
    SetLineColumnWidths({widths.begin(), widths.end()});
}

void AbsenderList::onCellPressed(const QModelIndex& index)
{
    if (!index.isValid() || index.column() != AbsenderModel::ColBanner)
        return;
    const QString id = m_model->AbsenderID(index.row());
    if (id.isEmpty())
        return;
    emit bannerCellPressed(id, !IsBlank(m_model->Cell(index.row(), AbsenderModel::ColBanner)));
}
