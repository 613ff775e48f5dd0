#pragma once
#include "labels/LabelSource.h"
#include "labels/LabelTemplates.h"
#include "printing/ConfiguredPrinter.h"
#include "uikit/SaveFileChooser.h"

#include <QDialog>

struct AppContext;
class LabelSheetView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The window "Etiketten drucken": a label product chosen by maker and search, the sheet to
// scale with its start position, what goes on the labels, and preview, print and PDF.
class TForm_Etiketten : public QDialog
{
    Q_OBJECT
public:
    TForm_Etiketten(AppContext& ctx, LabelCatalog catalog, const SeriendruckInput& input, const QString& adresseId,
                    SaveFileChooser chooseFile, QWidget* parent = nullptr, PrinterChooser choosePrinter = {});

    // The command: the window on the installed templates, or the message that there are none.
    // choosePrinter opens the printer choice when the remembered printer is gone.
    static void Show(AppContext& ctx, QWidget* parent, const SeriendruckInput& input, const QString& adresseId,
                     const SaveFileChooser& chooseFile, const PrinterChooser& choosePrinter = {});

    const LabelTemplate* Current() const { return m_current; }
    int Start() const { return m_start; }
    void SetStart(int slot);
    // The run as it would be printed; nothing when a selection or record is missing (the
    // user was told).
    std::optional<LabelRun> PrepareRun(LabelTexts& texts);

    void Vorschau();
    void Drucken();
    void PdfSpeichern();

private:
    void fillList();
    void chooseTemplate();
    void refreshSheet();
    LabelRequest request() const;
    void remember();
    // Names what will not come out right and asks; true to go on.
    bool acceptWarnings(const QString& text);
    struct Prepared
    {
        LabelRun Run;
        LabelTexts Texts;
    };
    // The run for print and PDF, after the warning about addresses too long for a label.
    std::optional<Prepared> prepareOutput();
    QByteArray pdfOf(const Prepared& p, const QString& title) const;

    AppContext& m_ctx;
    LabelCatalog m_catalog;
    SeriendruckInput m_input;
    QString m_adresseId;
    SaveFileChooser m_chooseFile;
    PrinterChooser m_choosePrinter;
    const LabelTemplate* m_current = nullptr;
    int m_start = 0;

    QComboBox* m_brand;
    QLineEdit* m_search;
    QListWidget* m_list;
    QLabel* m_description;
    LabelSheetView* m_sheet;
    QLabel* m_startLabel;
    QRadioButton* m_gruppe;
    QRadioButton* m_adresse;
    QRadioButton* m_absender;
    QSpinBox* m_copies;
    QLabel* m_font;
    QCheckBox* m_frames;
};

inline const QString kLabelWarningTitle = QStringLiteral("Etiketten drucken");
