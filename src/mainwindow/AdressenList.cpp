#include "mainwindow/AdressenList.h"

#include "app/AppContext.h"
#include "mainwindow/AdressenModel.h"
#include "uikit/TBusyCursor.h"
#include "uikit/TCaptionBar.h"
#include "uikit/TGridView.h"

#include <QHeaderView>
#include <QVBoxLayout>


namespace {
constexpr int kNameShownWidth = 120;
}

AdressenList::AdressenList(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Panel_Adressen"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_caption = new TCaptionBar(QStringLiteral("Adressen (0)"), this);
    m_caption->setObjectName(QStringLiteral("VCap_Adressen"));
    v->addWidget(m_caption);
    m_grid = new TGridView(this);
    m_grid->setObjectName(QStringLiteral("StringGrid_Adressen"));
    m_grid->setAccessibleName(QStringLiteral("Adressen"));
    m_model = new AdressenModel(this);
    m_grid->setModel(m_model);
    m_grid->setCheckColumn(AdressenModel::ColAktiv);
    m_grid->horizontalHeader()->resizeSection(AdressenModel::ColNr, 40);
    m_grid->horizontalHeader()->resizeSection(AdressenModel::ColAktiv, 35);
    SetColumnWidths({120, 120, 120, 120, 120, 120});
    v->addWidget(m_grid, 1);

    connect(m_grid, &TGridView::returnPressed, this, &AdressenList::editRequested);
    connect(m_grid, &TGridView::gridDoubleClicked, this, &AdressenList::editRequested);
    connect(m_grid, &TGridView::deletePressed, this, &AdressenList::deleteRequested);
    connect(m_grid, &TGridView::cellPressed, this, [this](const QModelIndex& index, Qt::MouseButton) {
        if (index.isValid() && index.column() == AdressenModel::ColAktiv)
            ToggleAktiv(index.row());
    });
}

void AdressenList::Clear()
{
    m_model->Clear();
}

void AdressenList::Load(const AdressenFilter& filter)
{
    Clear();
    if (filter.GruppeID.trimmed().isEmpty()) {
        m_caption->setText(QStringLiteral("Adressen (0)"));
        return;
    }
    if (!m_ctx.db().TableExists(QStringLiteral("tab_adressen")))
        return;
    TBusyCursor busy;
    m_grid->setUpdatesEnabled(false);
    struct Resume
    {
        QWidget* w;
        ~Resume() { w->setUpdatesEnabled(true); }
    } resume{m_grid};
    const SqlStatement s = BuildAdressenQuery(filter);
    TSQLiteTable t = m_ctx.db().GetTable(s.Sql(), s.Params);
    m_model->Load(t);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 1));
    QString caption = QStringLiteral("Adressen (%1)").arg(t.Count());
    if (filter.IsFiltered())
        caption += QStringLiteral(" - Gefiltert");
    m_caption->setText(caption);
}

QString AdressenList::SelectedID() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? m_model->AdresseID(current.row()) : QString();
}

void AdressenList::SelectByID(const QString& adresseId)
{
    const int row = m_model->RowOf(adresseId);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, 1);
    m_grid->setCurrentIndex(index);
    m_grid->scrollTo(index);
}

void AdressenList::ToggleAktiv(int row)
{
    const QString id = m_model->AdresseID(row);
    if (id.isEmpty())
        return;
    const bool wasActive = !m_model->Cell(row, AdressenModel::ColAktiv).trimmed().isEmpty();
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
    if (hidden) {
        m_grid->setColumnHidden(AdressenModel::ColName, true);
    } else {
        m_grid->setColumnHidden(AdressenModel::ColName, false);
        m_grid->horizontalHeader()->resizeSection(AdressenModel::ColName, kNameShownWidth);
    }
}

std::array<int, 6> AdressenList::ColumnWidths() const
{
    std::array<int, 6> w{};
    for (int i = 0; i < 6; ++i)
        w[size_t(i)] = m_grid->isColumnHidden(i + 1) ? -1 : m_grid->horizontalHeader()->sectionSize(i + 1);
    return w;
}

void AdressenList::SetColumnWidths(const std::array<int, 6>& widths)
{
    for (int i = 0; i < 6; ++i)
        m_grid->horizontalHeader()->resizeSection(i + 1, widths[size_t(i)]);
}
