#pragma once
#include "labels/LabelPainter.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QScrollArea;

// Pages through the sheets of a run as they will be printed, at 100 % of the paper's size
// on a screen of 96 pixels per inch.
class TDLG_EtikettenVorschau : public QDialog
{
    Q_OBJECT
public:
    TDLG_EtikettenVorschau(const LabelRun& run, const QImage& banner, const LabelPaintOptions& options,
                           QWidget* parent = nullptr);

    int Sheet() const { return m_sheet; }
    void ShowSheet(int sheet);

private:
    LabelRun m_run;
    QImage m_banner;
    LabelPaintOptions m_options;
    int m_sheet = 0;
    QLabel* m_picture;
    QLabel* m_status;
    QPushButton* m_back;
    QPushButton* m_next;
};
