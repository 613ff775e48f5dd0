#include "mainwindow/RecordGridPanel.h"

#include "mainwindow/GridRowsModel.h"
#include "uikit/TBusyCursor.h"
#include "uikit/TCaptionBar.h"
#include "uikit/TGridView.h"

#include <QHeaderView>
#include <QVBoxLayout>

RecordGridPanel::RecordGridPanel(const Names& names, RecordRowsModel* model, QWidget* parent)
    : QWidget(parent), m_rows(model), m_word(QString::fromUtf8(names.accessible))
{
    setObjectName(QString::fromLatin1(names.panel));
    model->setParent(this);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_caption = new TCaptionBar(QString(), this);
    m_caption->setObjectName(QString::fromLatin1(names.caption));
    v->addWidget(m_caption);
    m_grid = new TGridView(this);
    m_grid->setObjectName(QString::fromLatin1(names.grid));
    m_grid->setAccessibleName(m_word);
    m_grid->setModel(model);
    m_grid->horizontalHeader()->resizeSection(0, 40);
    v->addWidget(m_grid, 1);
    SetCount(0);

    connect(m_grid, &TGridView::returnPressed, this, &RecordGridPanel::editRequested);
    connect(m_grid, &TGridView::gridDoubleClicked, this, &RecordGridPanel::editRequested);
    connect(m_grid, &TGridView::deletePressed, this, &RecordGridPanel::deleteRequested);
}

QString RecordGridPanel::SelectedID() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? m_rows->RowID(current.row()) : QString();
}

void RecordGridPanel::SelectByID(const QString& id)
{
    const int row = m_rows->RowOf(id);
    if (row < 0)
        return;
    const QModelIndex index = m_rows->index(row, 1);
    m_grid->setCurrentIndex(index);
    m_grid->scrollTo(index);
}

void RecordGridPanel::Refill(const std::function<void()>& fill)
{
    TBusyCursor busy;
    m_grid->setUpdatesEnabled(false);
    struct Resume
    {
        QWidget* w;
        ~Resume() { w->setUpdatesEnabled(true); }
    } resume{m_grid};
    try {
        fill();
    } catch (...) {
        // The list stays empty, and its caption says so.
        SetCount(0);
        throw;
    }
    if (m_rows->rowCount() > 0)
        m_grid->setCurrentIndex(m_rows->index(0, 1));
}

void RecordGridPanel::SetCount(int count, const QString& suffix)
{
    m_caption->setText(QStringLiteral("%1 (%2)").arg(m_word).arg(count) + suffix);
}

std::vector<int> RecordGridPanel::LineColumnWidths(int count) const
{
    std::vector<int> w(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        w[size_t(i)] = m_grid->isColumnHidden(i + 1) ? -1 : m_grid->horizontalHeader()->sectionSize(i + 1);
    return w;
}

void RecordGridPanel::SetLineColumnWidths(const std::vector<int>& widths)
{
    for (size_t i = 0; i < widths.size(); ++i)
        m_grid->horizontalHeader()->resizeSection(int(i) + 1, widths[i]);
}
