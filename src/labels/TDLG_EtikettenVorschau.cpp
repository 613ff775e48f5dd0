#include "labels/TDLG_EtikettenVorschau.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

TDLG_EtikettenVorschau::TDLG_EtikettenVorschau(const LabelRun& run, const QImage& banner,
                                               const LabelPaintOptions& options, QWidget* parent)
    : QDialog(parent), m_run(run), m_banner(banner), m_options(options)
{
    setObjectName(QStringLiteral("TDLG_EtikettenVorschau"));
    setWindowTitle(QStringLiteral("Etiketten – Vorschau"));
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ScrollBox_Vorschau"));
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("Image_Vorschau"));
    scroll->setWidget(m_picture);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setBackgroundRole(QPalette::Dark);

    m_back = new QPushButton(QStringLiteral("< &Zurück"));
    m_back->setObjectName(QStringLiteral("Button_Zurueck"));
    m_next = new QPushButton(QStringLiteral("&Weiter >"));
    m_next->setObjectName(QStringLiteral("Button_Weiter"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("Label_Bogen"));
    auto* close = new QPushButton(QStringLiteral("Schließen"));
    close->setObjectName(QStringLiteral("Button_Schliessen"));
    connect(m_back, &QPushButton::clicked, this, [this] { ShowSheet(m_sheet - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { ShowSheet(m_sheet + 1); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_status, 1, Qt::AlignCenter);
    bar->addWidget(m_next);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(bar);
    resize(860, 900);
    ShowSheet(0);
}

void TDLG_EtikettenVorschau::ShowSheet(int sheet)
{
    const int count = std::max<int>(1, int(m_run.Sheets.size()));
    m_sheet = std::clamp(sheet, 0, count - 1);
    // 96 screen pixels per inch: the sheet at its own size.
    const double scale = m_run.Dpi > 0 ? 96.0 / m_run.Dpi : 1.0;
    const QImage image =
        LabelSheetImage(m_run, m_sheet, m_banner.isNull() ? nullptr : &m_banner, m_options, scale);
    m_picture->setPixmap(QPixmap::fromImage(image));
    m_picture->resize(image.size());
    m_status->setText(QStringLiteral("Bogen %1 von %2").arg(m_sheet + 1).arg(count));
    m_back->setEnabled(m_sheet > 0);
    m_next->setEnabled(m_sheet + 1 < count);
}
