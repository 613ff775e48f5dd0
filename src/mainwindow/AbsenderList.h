#pragma once
#include "mainwindow/RecordGridPanel.h"

#include <array>

struct AppContext;
class AbsenderModel;

// The upper part of the main window, Panel_Absender: the caption bar and the sender grid.
class AbsenderList : public RecordGridPanel
{
    Q_OBJECT
public:
    AbsenderList(AppContext& ctx, QWidget* parent = nullptr);

    // Clears and refills the grid; row 1 becomes the current row.
    void Load();
    void Clear();
    // The banner mark of a sender's row ("x" after a load, "X" after designing).
    void SetBannerMark(const QString& absenderId, const QString& mark);

    std::array<int, 5> ColumnWidths() const;
    void SetColumnWidths(const std::array<int, 5>& widths);

    AbsenderModel* Model() const { return m_model; }

signals:
    // A press (any button) on the "Banner" cell of a data row.
    void bannerCellPressed(const QString& absenderId, bool hasBanner);

private:
    AbsenderList(AppContext& ctx, AbsenderModel* model, QWidget* parent);
    void onCellPressed(const QModelIndex& index);

    AppContext& m_ctx;
    AbsenderModel* m_model;
};
