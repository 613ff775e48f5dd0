#pragma once
#include <QWidget>

struct AppContext;
class GruppenModel;
class QListView;
class QDropEvent;
class QMimeData;
class TCaptionBar;

// The lower left part of the main window, Panel_Gruppen: the caption bar and the group
// list. Selecting a group (click or keys) asks for its addresses; an address dragged from
// the address grid may be dropped on any group but the selected one.
class GruppenList : public QWidget
{
    Q_OBJECT
public:
    GruppenList(AppContext& ctx, QWidget* parent = nullptr);

    // Clears and refills the list, then selects the first group and lists its addresses.
    void Load();
    void Clear();
    QString SelectedID() const;
    QString GruppeIDAt(int row) const;
    // Selects the group and lists its addresses; nothing when no group has this identifier.
    void SelectByID(const QString& gruppeId);
    // Where an address from dragSource may be dropped: the row, or -1.
    int DropRowAt(const QPoint& pos) const;
    void SetDragSource(QWidget* source, const QString& mimeType);
    // A drag over the list's viewport (enter, move or drop), positions in viewport pixels:
    // only a drag from the source grid, only over a group that is not the selected one.
    void DragEvent(QDropEvent* event);

    QListView* View() const { return m_view; }
    GruppenModel* Model() const { return m_model; }
    TCaptionBar* Caption() const { return m_caption; }

signals:
    // ListBox_GruppenClick: the selected group changed.
    void gruppeChanged();
    void editRequested();
    void deleteRequested();
    // An address was dropped on the group in this row, at a global position.
    void adresseDropped(int row, const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectRow(int row);
    bool fromSource(const QMimeData* mime) const;

    AppContext& m_ctx;
    TCaptionBar* m_caption;
    QListView* m_view;
    GruppenModel* m_model;
    QWidget* m_dragSource = nullptr;
    QString m_dragMime;
    bool m_quiet = false;
};
