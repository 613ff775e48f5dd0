#include "mainwindow/GruppenList.h"

#include "app/AppContext.h"
#include "mainwindow/GruppenModel.h"
#include "uikit/TBusyCursor.h"
#include "uikit/TCaptionBar.h"
#include "uikit/TGridView.h"

#include <QKeyEvent>
#include <QListView>
#include <QVBoxLayout>

GruppenList::GruppenList(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Panel_Gruppen"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_caption = new TCaptionBar(QStringLiteral("Gruppen (0)"), this);
    m_caption->setObjectName(QStringLiteral("VCap_Gruppen"));
    v->addWidget(m_caption);
    m_view = new QListView(this);
    m_view->setObjectName(QStringLiteral("ListBox_Gruppen"));
    m_view->setAccessibleName(QStringLiteral("Gruppen"));
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setUniformItemSizes(true);
    m_view->setDragEnabled(false);
    QPalette pal = m_view->palette();
    pal.setColor(QPalette::Highlight, QColor(0x3d, 0x7b, 0xc9));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xc9, 0xd8, 0xee));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(0x1e, 0x26, 0x33));
    m_view->setPalette(pal);
    m_model = new GruppenModel(this);
    m_view->setModel(m_model);
    v->addWidget(m_view, 1);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_quiet)
            emit gruppeChanged();
    });
    // One group stays selected while there are groups: a Ctrl+click or Ctrl+Space on the
    // selected group must not leave its addresses shown under no group.
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        QItemSelectionModel* selection = m_view->selectionModel();
        if (selection->hasSelection() || m_model->rowCount() == 0)
            return;
        const QModelIndex current = m_view->currentIndex();
        selection->select(current.isValid() ? current : m_model->index(0), QItemSelectionModel::ClearAndSelect);
    });
    // A click on the group that is already selected lists its addresses again; a click on
    // another one does so through the change of the current group.
    connect(m_view, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() == m_rowBeforePress)
            emit gruppeChanged();
    });
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
}

void GruppenList::Clear()
{
    m_quiet = true;
    m_model->Clear();
    m_quiet = false;
}

void GruppenList::Load()
{
    Clear();
    if (!m_ctx.db().TableExists(QStringLiteral("tab_gruppen")))
        return;
    try {
        TBusyCursor busy;
        TSQLiteTable t = m_ctx.db().GetTable(QStringLiteral("SELECT * FROM tab_gruppen"));
        m_model->Load(t);
    } catch (...) {
        // No group is left selected, so the address list empties as well.
        m_caption->setText(QStringLiteral("Gruppen (0)"));
        emit gruppeChanged();
        throw;
    }
    m_caption->setText(QStringLiteral("Gruppen (%1)").arg(m_model->rowCount()));
    if (m_model->rowCount() > 0)
        selectRow(0);
    emit gruppeChanged();
}

QString GruppenList::SelectedID() const
{
    // The selected group is the current one: a click moves the current group before the
    // selection follows, and the address list is asked for in between.
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid())
        return m_model->GruppeID(current.row());
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : m_model->GruppeID(selected.first().row());
}

QString GruppenList::GruppeIDAt(int row) const
{
    return m_model->GruppeID(row);
}

void GruppenList::selectRow(int row)
{
    m_quiet = true;
    m_view->setCurrentIndex(m_model->index(row));
    m_view->scrollTo(m_model->index(row));
    m_quiet = false;
}

void GruppenList::SelectByID(const QString& gruppeId)
{
    const int row = m_model->RowOf(gruppeId);
    if (row < 0)
        return;
    selectRow(row);
    emit gruppeChanged();
}

bool GruppenList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit editRequested();
            return true;
        }
        if (key == Qt::Key_Delete) {
            emit deleteRequested();
            return true;
        }
        return false;
    }
    if (watched != m_view->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_rowBeforePress = m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1;
        return false;
    case QEvent::MouseButtonDblClick:
        emit editRequested();
        return true;
    default:
        return false;
    }
}
