#include "printwindows/TForm_Progress.h"

#include "printing/QueueCall.h"
#include "uikit/ProgressScale.h"
#include "uikit/Placed.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TForm_Progress::TForm_Progress(const PrintMovie::Pictures& pictures, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form_Progress"));
    setAccessibleName(QStringLiteral("Seriendruck"));
    const QFont arial = StyleFixedWindow(this, QSize(454, 232), QColor(240, 240, 240), 12);

    auto* title = new QLabel(QStringLiteral("Seriendruck"), this);
    title->setObjectName(QStringLiteral("Label_Titel"));
    QFont big = arial;
    big.setPixelSize(21);
    title->setFont(big);
    title->move(240, 53);
    title->adjustSize();

    m_movie = new PrintMovie(pictures, this);
    m_movie->move(25, 30);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Label_Status"));
    m_status->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_status->setGeometry(30, 152, 400, 18);
    SetStatus(0, 0);

    m_scale = new ProgressScale(this);
    m_scale->setObjectName(QStringLiteral("Progress_Scale"));
    m_scale->setGeometry(30, 182, 400, 18);

    // A job handed to a slow queue takes seconds; the series can be ended meanwhile, not
    // only at its pauses. The request is taken up once the current envelope is handed over.
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    m_cancel->setGeometry(330, 100, 100, 26);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });
    setProperty(QueueCall::kTakesInputWhileWaiting, true);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_movie->start();
}

void TForm_Progress::SetStatus(int number, int count)
{
    m_status->setText(QStringLiteral("Adresse %1 von %2 wird gedruckt...").arg(number).arg(count));
}

void TForm_Progress::SetStayOnTop(bool onTop)
{
    // Changing a window flag hides the window; the caller shows it again when needed.
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

bool TForm_Progress::TakeCancelRequest()
{
    const bool requested = m_cancelRequested;
    m_cancelRequested = false;
    return requested;
}
