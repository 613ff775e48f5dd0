#pragma once
#include <QDialog>
#include <QStringList>

// A borderless text window on the program's picture: a scrolling text and OK. Used for
// the news notice after an update.
class TDLG_Help : public QDialog
{
    Q_OBJECT
public:
    TDLG_Help(QWidget* owner, const QStringList& helpText);

    // Creates the window without an owner for these lines, shows it modally and destroys it.
    static void ShowText(const QStringList& helpText);

protected:
    void showEvent(QShowEvent* event) override;
};
