#pragma once
#include <QString>
#include <QStringList>

class QDialog;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
struct AppContext;

// The pieces the three record dialogs share.
namespace RecordDialogParts {

// A statement as its lines, each followed by CR LF.
QString Lines(const QStringList& lines);

struct BottomBar
{
    QHBoxLayout* layout;
    QToolButton* help;
    QPushButton* save;
    QPushButton* cancel;
};
// The help button (icon only) opening the topic, "Speichern" and "Abbrechen" (Esc).
BottomBar MakeBottomBar(QDialog* dialog, AppContext& ctx, int helpTopic);

// After a save: says once which characters of the texts were stored as similar ones,
// because the database's code page lacks them. Says nothing when none were.
void ReportReplacements(AppContext& ctx, const QStringList& texts);

// Ctrl+S presses the button, wherever the focus is in the dialog.
void AddSaveShortcut(QDialog* dialog, QPushButton* save);

// The limits of the fields are input limits, not limits of what is stored: a stored value
// (an imported line, a generated sort name) may be longer. The field shows it whole and
// its limit grows to the value's length, so that typing cannot make it longer still.
int InputLimit(int limit, const QString& stored);
// The edit's limit grown to length where that is longer.
void AllowLength(QLineEdit* edit, qsizetype length);
// The stored value shown whole in an edit whose limit was set when it was made.
void ShowStored(QLineEdit* edit, const QString& stored);

} // namespace RecordDialogParts
