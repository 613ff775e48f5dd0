#include "exchange/AdresseDragController.h"

#include "app/GeneralError.h"
#include "exchange/GroupTransfer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QTableView>

#include <utility>

namespace {

constexpr int kDragThreshold = 10;

// Escape reaches whichever widget has the focus, so a drag listens to the whole program.
class EscapeFilter : public QObject
{
public:
    EscapeFilter(QObject* parent, std::function<void()> onEscape) : QObject(parent), m_onEscape(std::move(onEscape)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_onEscape();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onEscape;
};

QAction* addEntry(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

AdresseDragController::AdresseDragController(AppContext& ctx, QAbstractItemView* adressenView,
                                             QAbstractItemView* gruppenView, Hooks hooks, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_adressen(adressenView), m_gruppen(gruppenView), m_hooks(std::move(hooks))
{
    PopMenu_Adresse_Drag = new QMenu(gruppenView);
    PopMenu_Adresse_Drag->setObjectName(QStringLiteral("PopMenu_Adresse_Drag"));
    // The transfers write to the database: their errors go to the general error handler.
    connect(addEntry(PopMenu_Adresse_Drag, "PopMenu_Adresse_Kopieren", QStringLiteral("&Kopieren")),
            &QAction::triggered, this, Guarded(ctx, [this] { PopMenu_Adresse_KopierenClick(); }));
    connect(addEntry(PopMenu_Adresse_Drag, "PopMenu_Adresse_Verschieben", QStringLiteral("&Verschieben")),
            &QAction::triggered, this, Guarded(ctx, [this] { PopMenu_Adresse_VerschiebenClick(); }));
    PopMenu_Adresse_Drag->addSeparator();
    connect(addEntry(PopMenu_Adresse_Drag, "PopMenu_Adresse_Abbrechen", QStringLiteral("&Abbrechen")),
            &QAction::triggered, this, &AdresseDragController::PopMenu_Adresse_AbbrechenClick);

    m_escapeFilter = new EscapeFilter(this, [this] {
        if (m_dragging)
            endDrag();
    });
    m_adressen->viewport()->installEventFilter(this);
    // A drag begun on the title row transfers the selected address as well.
    if (auto* table = qobject_cast<QTableView*>(m_adressen)) {
        QHeaderView* header = table->horizontalHeader();
        header->viewport()->installEventFilter(this);
        // A column that changes its width was a border taken by the mouse, never a drag.
        connect(header, &QHeaderView::sectionResized, this, [this] {
            if (!m_dragging)
                m_armed = false;
        });
    }
}

AdresseDragController::~AdresseDragController()
{
    if (m_dragging)
        endDrag();
}

int AdresseDragController::gruppenRowAt(const QPoint& globalPos) const
{
    QWidget* viewport = m_gruppen->viewport();
    const QPoint local = viewport->mapFromGlobal(globalPos);
    if (!m_gruppen->isVisible() || !viewport->rect().contains(local))
        return -1;
    const QModelIndex index = m_gruppen->indexAt(local);
    return index.isValid() ? index.row() : -1;
}

bool AdresseDragController::onTitleBorder(QObject* watched, const QPoint& pos) const
{
    auto* table = qobject_cast<QTableView*>(m_adressen);
    QHeaderView* header = table ? table->horizontalHeader() : nullptr;
    if (!header || watched != header->viewport())
        return false;
    // The title row's own test for its resize grip, which it keeps to itself.
    const int x = pos.x();
    int visual = header->visualIndexAt(x);
    if (visual < 0)
        return false;
    const int logical = header->logicalIndex(visual);
    const int start = header->sectionViewportPosition(logical);
    const int grip = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    bool atStart = x < start + grip;
    bool atEnd = x > start + header->sectionSize(logical) - grip;
    if (header->isRightToLeft())
        std::swap(atStart, atEnd);
    int resized = -1;
    if (atEnd) {
        resized = logical;
    } else if (atStart) {
        while (--visual >= 0 && header->isSectionHidden(header->logicalIndex(visual))) {
        }
        resized = visual >= 0 ? header->logicalIndex(visual) : -1;
    }
    return resized >= 0 && header->sectionResizeMode(resized) == QHeaderView::Interactive;
}

bool AdresseDragController::AcceptsDropAt(const QPoint& globalPos) const
{
    const int row = gruppenRowAt(globalPos);
    if (row < 0)
        return false;
    const QString target = m_hooks.gruppeIdAt(row);
    return !target.isEmpty() && target != m_hooks.selectedGruppeId();
}

void AdresseDragController::startDrag()
{
    m_dragging = true;
    m_dropAccepted = false;
    QApplication::setOverrideCursor(Qt::ForbiddenCursor);
    qApp->installEventFilter(m_escapeFilter);
}

void AdresseDragController::endDrag()
{
    m_dragging = false;
    m_armed = false;
    qApp->removeEventFilter(m_escapeFilter);
    QApplication::restoreOverrideCursor();
}

void AdresseDragController::updateCursor(const QPoint& globalPos)
{
    const bool accepted = AcceptsDropAt(globalPos);
    if (accepted != m_dropAccepted) {
        m_dropAccepted = accepted;
        QApplication::changeOverrideCursor(accepted ? Qt::DragCopyCursor : Qt::ForbiddenCursor);
    }
}

void AdresseDragController::drop(const QPoint& globalPos)
{
    // The group under the mouse is looked at again; the group list's selection stays.
    if (!AcceptsDropAt(globalPos))
        return;
    FDragAdresseID = m_pressAdresseID;
    FDragGruppeID = m_hooks.gruppeIdAt(gruppenRowAt(globalPos));
    PopMenu_Adresse_Drag->exec(globalPos);
}

bool AdresseDragController::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!m_dragging) {
            auto* me = static_cast<QMouseEvent*>(event);
            m_armed = !onTitleBorder(watched, me->position().toPoint());
            m_pressTaken = false;
            m_pressGlobal = me->globalPosition().toPoint();
        }
        break;
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint global = me->globalPosition().toPoint();
        if (me->buttons() == Qt::NoButton) {
            m_armed = false;
            break;
        }
        if (m_armed && !m_dragging) {
            // The list has handled the press by now (the filter sees it first).
            if (!m_pressTaken) {
                m_pressTaken = true;
                m_pressAdresseID = m_hooks.selectedAdresseId();
            }
            const QPoint d = global - m_pressGlobal;
            // Below the threshold the list must not follow the mouse to the next row.
            if (qMax(qAbs(d.x()), qAbs(d.y())) < kDragThreshold)
                return true;
            startDrag();
        }
        if (m_dragging) {
            updateCursor(global);
            return true; // the list must not select rows under a drag
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            endDrag();
            drop(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        }
        m_armed = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void AdresseDragController::PopMenu_Adresse_KopierenClick()
{
    CopyAdresseToGruppe(m_ctx, FDragAdresseID, FDragGruppeID);
}

void AdresseDragController::PopMenu_Adresse_VerschiebenClick()
{
    if (MoveAdresseToGruppe(m_ctx, FDragAdresseID, FDragGruppeID) && m_hooks.reloadAdressen)
        m_hooks.reloadAdressen();
}
