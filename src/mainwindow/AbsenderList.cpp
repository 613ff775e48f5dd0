#include "mainwindow/AbsenderList.h"

#include "app/AppContext.h"
#include "mainwindow/AbsenderModel.h"
#include "uikit/TBusyCursor.h"
#include "uikit/TCaptionBar.h"
#include "uikit/TGridView.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace {
const QString kQuery = QStringLiteral(
    "SELECT\r\n"
    "a.Absender_ID\r\n"
    ",a.Line1\r\n"
    ",a.Line2\r\n"
    ",a.Line3\r\n"
    ",a.Line4\r\n"
    ",a.Line5\r\n"
    ",(SELECT COUNT(*) FROM tab_banner WHERE Absender_ID=a.Absender_ID) Banner\r\n"
    "FROM tab_absender a\r\n");
}

AbsenderList::AbsenderList(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Panel_Absender"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_caption = new TCaptionBar(QStringLiteral("Absender (0)"), this);
    m_caption->setObjectName(QStringLiteral("VCap_Absender"));
    v->addWidget(m_caption);
    m_grid = new TGridView(this);
    m_grid->setObjectName(QStringLiteral("StringGrid_Absender"));
    m_grid->setAccessibleName(QStringLiteral("Absender"));
    m_model = new AbsenderModel(this);
    m_grid->setModel(m_model);
    m_grid->setCheckColumn(AbsenderModel::ColBanner);
    m_grid->horizontalHeader()->resizeSection(AbsenderModel::ColNr, 40);
    m_grid->horizontalHeader()->resizeSection(AbsenderModel::ColBanner, 48);
    SetColumnWidths({150, 150, 150, 150, 150});
    v->addWidget(m_grid, 1);

    connect(m_grid, &TGridView::returnPressed, this, &AbsenderList::editRequested);
    connect(m_grid, &TGridView::gridDoubleClicked, this, &AbsenderList::editRequested);
    connect(m_grid, &TGridView::deletePressed, this, &AbsenderList::deleteRequested);
    connect(m_grid, &TGridView::cellPressed, this, [this](const QModelIndex& index, Qt::MouseButton) {
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
    TBusyCursor busy;
    m_grid->setUpdatesEnabled(false);
    struct Resume
    {
        QWidget* w;
        ~Resume() { w->setUpdatesEnabled(true); }
    } resume{m_grid};
    TSQLiteTable t = m_ctx.db().GetTable(kQuery);
    m_model->Load(t);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 1));
    m_caption->setText(QStringLiteral("Absender (%1)").arg(t.Count()));
}

QString AbsenderList::SelectedID() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? m_model->AbsenderID(current.row()) : QString();
}

void AbsenderList::SelectByID(const QString& absenderId)
{
    const int row = m_model->RowOf(absenderId);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, 1);
    m_grid->setCurrentIndex(index);
    m_grid->scrollTo(index);
}

void AbsenderList::SetBannerMark(const QString& absenderId, const QString& mark)
{
    m_model->SetCell(m_model->RowOf(absenderId), AbsenderModel::ColBanner, mark);
}

std::array<int, 5> AbsenderList::ColumnWidths() const
{
    std::array<int, 5> w{};
    for (int i = 0; i < 5; ++i)
        w[size_t(i)] = m_grid->horizontalHeader()->sectionSize(i + 1);
    return w;
}

void AbsenderList::SetColumnWidths(const std::array<int, 5>& widths)
{
    for (int i = 0; i < 5; ++i)
        m_grid->horizontalHeader()->resizeSection(i + 1, widths[size_t(i)]);
}

void AbsenderList::onCellPressed(const QModelIndex& index)
{
    if (!index.isValid() || index.column() != AbsenderModel::ColBanner)
        return;
    const QString id = m_model->AbsenderID(index.row());
    if (id.isEmpty())
        return;
    emit bannerCellPressed(id, !m_model->Cell(index.row(), AbsenderModel::ColBanner).trimmed().isEmpty());
}
