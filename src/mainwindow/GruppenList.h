#pragma once
#include <QWidget>

struct AppContext;
class GruppenModel;
class QListView;
class TCaptionBar;

// The lower left part of the main window, Panel_Gruppen: the caption bar and the group
// list. Selecting a group (click or keys) asks for its addresses.
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

    QListView* View() const { return m_view; }
    GruppenModel* Model() const { return m_model; }
    TCaptionBar* Caption() const { return m_caption; }

signals:
    // ListBox_GruppenClick: the selected group changed.
    void gruppeChanged();
    void editRequested();
    void deleteRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectRow(int row);

    AppContext& m_ctx;
    TCaptionBar* m_caption;
    QListView* m_view;
    GruppenModel* m_model;
    bool m_quiet = false;
    // The current row when the mouse button went down on the list.
    int m_rowBeforePress = -1;
};
