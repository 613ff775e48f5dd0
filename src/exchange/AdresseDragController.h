#pragma once
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

struct AppContext;
class QAbstractItemView;
class QAction;
class QMenu;

// Dragging an address from the address list onto a group of the group list, then the
// drop menu "Kopieren" / "Verschieben" / "Abbrechen". The drag stays inside the window:
// a press on the address list or its title row arms it (not a press on a border between
// two titles, which resizes a column), 10 pixels of movement with a button held start it,
// the release over a group other than the selected one drops it, Escape cancels it. The
// address transferred is the one selected once the press was handled: until the drag
// starts the mouse does not move the selection.
class AdresseDragController : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        std::function<QString()> selectedGruppeId;  // the group whose addresses are shown
        std::function<QString()> selectedAdresseId; // the address to transfer, read after the press
        std::function<QString(int row)> gruppeIdAt; // the group of a row of the group list
        std::function<void()> reloadAdressen;       // after a move
    };

    // Installs itself on both views; the drop menu becomes a child of the group list.
    AdresseDragController(AppContext& ctx, QAbstractItemView* adressenView, QAbstractItemView* gruppenView,
                          Hooks hooks, QObject* parent = nullptr);
    ~AdresseDragController() override;

    bool IsDragging() const { return m_dragging; }
    // What the last drop stored for the menu entries.
    const QString& DragAdresseID() const { return FDragAdresseID; }
    const QString& DragGruppeID() const { return FDragGruppeID; }
    QMenu* DropMenu() const { return PopMenu_Adresse_Drag; }

    // True when a drop at this global position would be accepted.
    bool AcceptsDropAt(const QPoint& globalPos) const;

public slots:
    void PopMenu_Adresse_KopierenClick();
    void PopMenu_Adresse_VerschiebenClick();
    void PopMenu_Adresse_AbbrechenClick() {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int gruppenRowAt(const QPoint& globalPos) const;
    bool onTitleBorder(QObject* watched, const QPoint& pos) const;
    void startDrag();
    void endDrag();
    void updateCursor(const QPoint& globalPos);
    void drop(const QPoint& globalPos);

    AppContext& m_ctx;
    QAbstractItemView* m_adressen;
    QAbstractItemView* m_gruppen;
    Hooks m_hooks;
    QMenu* PopMenu_Adresse_Drag;
    QObject* m_escapeFilter;

    bool m_armed = false;
    // The press was handled by the list: the selected address is the one to transfer.
    bool m_pressTaken = false;
    QString m_pressAdresseID;
    bool m_dragging = false;
    bool m_dropAccepted = false;
    QPoint m_pressGlobal;
    QString FDragAdresseID;
    QString FDragGruppeID;
};
