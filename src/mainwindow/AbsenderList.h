#pragma once
#include <QWidget>
#include <array>

struct AppContext;
class AbsenderModel;
class TCaptionBar;
class TGridView;

// The upper part of the main window, Panel_Absender: the caption bar and the sender grid.
class AbsenderList : public QWidget
{
    Q_OBJECT
public:
    AbsenderList(AppContext& ctx, QWidget* parent = nullptr);

    // Clears and refills the grid; row 1 becomes the current row.
    void Load();
    void Clear();
    QString SelectedID() const;
    void SelectByID(const QString& absenderId);
    // The banner mark of a sender's row ("x" after a load, "X" after designing).
    void SetBannerMark(const QString& absenderId, const QString& mark);

    std::array<int, 5> ColumnWidths() const;
    void SetColumnWidths(const std::array<int, 5>& widths);

    TGridView* Grid() const { return m_grid; }
    AbsenderModel* Model() const { return m_model; }
    TCaptionBar* Caption() const { return m_caption; }

signals:
    void editRequested();
    void deleteRequested();
    // A press (any button) on the "Banner" cell of a data row.
    void bannerCellPressed(const QString& absenderId, bool hasBanner);

private:
    void onCellPressed(const QModelIndex& index);

    AppContext& m_ctx;
    TCaptionBar* m_caption;
    TGridView* m_grid;
    AbsenderModel* m_model;
};
