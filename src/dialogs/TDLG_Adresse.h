#pragma once
#include <QDialog>
#include <QString>

struct AppContext;
class QCheckBox;
class QComboBox;
class QLabel;
class QVBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QWidget;

// Creates an address in a group or edits one, with its extra data (tab_daten).
// Accepted after "Speichern"; AdresseID() then names the saved address.
class TDLG_Adresse : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RemarkLimit = 255;

    TDLG_Adresse(AppContext& ctx, const QString& adresseId, const QString& gruppeId, QWidget* parent = nullptr);

    QString AdresseID() const { return FAdresseID; }
    QString DatenID() const { return FDatenID; }

    // "Speichern": refuses a blank first line, else saves both rows and accepts.
    void Button_SaveClick();

    // The counter's text and colour for a remark of the given length, under the input
    // limit (a stored remark that is longer raises it to its own length).
    static QString RemarkCounterText(int length, int limit = RemarkLimit);
    static QColor RemarkCounterColor(int length, int limit = RemarkLimit);
    // The remark as it will be saved: the stored one while it is not edited.
    QString Remark() const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    QWidget* buildDaten();
    QWidget* buildAngaben();
    void LoadAdresse();
    // The notice and the read-only fields of an address from an online address book.
    void ShowOnlineOrigin(QVBoxLayout* root);
    void FillLine6List();
    void SaveAdresse();
    void SaveDaten();
    void Memo_BemerkungChange();
    void showStoredRemark(const QString& stored);
    void showTab(int index);

    AppContext& m_ctx;
    QString FAdresseID;
    QString FDatenID;
    QString FGruppeID;
    QString m_remarkStored;
    QString m_remarkShown;
    int m_remarkLimit = RemarkLimit;

    QTabBar* TabsControl_Adresse = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* Panel_Daten = nullptr;
    QWidget* Panel_Angaben = nullptr;
    QLineEdit* Edit_Line[5] = {};
    QComboBox* ComboBox_Line6 = nullptr;
    QCheckBox* CheckBox_Aktiv = nullptr;
    QLineEdit* Edit_Telefon = nullptr;
    QLineEdit* Edit_Fax = nullptr;
    QLineEdit* Edit_Handy = nullptr;
    QLineEdit* Edit_Mail = nullptr;
    QComboBox* ComboBox_Versand = nullptr;
    QPlainTextEdit* Memo_Bemerkung = nullptr;
    QLabel* Label_Bemerkung_Count = nullptr;
    QToolButton* Button_Help = nullptr;
    QPushButton* Button_Save = nullptr;
    QPushButton* Button_Cancel = nullptr;
};
