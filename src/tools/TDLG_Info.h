#pragma once
#include <QDialog>

struct AppContext;

// The information window: version, platform and the maker's notice on the program's
// picture, without frame or caption bar. OK, Enter, Esc or a click on the picture close it.
class TDLG_Info : public QDialog
{
    Q_OBJECT
public:
    // The context is the one every window receives; the window shows fixed texts only.
    explicit TDLG_Info(AppContext& ctx, QWidget* parent = nullptr);

    static QString VersionText();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// The main window's information command: shows the window modally; nothing follows.
void ShowInfo(AppContext& ctx, QWidget* parent);
