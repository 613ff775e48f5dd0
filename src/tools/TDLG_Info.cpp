#include "tools/TDLG_Info.h"

#include "tools/WindowPlacement.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {
QFont infoFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    return font;
}

QLabel* textLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(infoFont());
    label->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    return label;
}
} // namespace

QString TDLG_Info::VersionText()
{
    return QStringLiteral("Version ") + QStringLiteral("2.6 (64-bit)");
}

TDLG_Info::TDLG_Info(AppContext&, QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("DLG_Info"));
    setWindowTitle(QStringLiteral("Information"));
    setFixedSize(460, 400);

    auto* background = new QLabel(this);
    background->setObjectName(QStringLiteral("Image_Background"));
    background->setPixmap(QPixmap(QStringLiteral(":/images/SCREEN_INFO.jpg")));
    background->setGeometry(0, 0, 460, 400);

    QLabel* version = textLabel(this, "Label_Version", VersionText());
    version->adjustSize();
    version->move(24, 114);

    QLabel* platform = textLabel(this, "Label_Platform", QStringLiteral("Für Linux"));
    platform->setAlignment(Qt::AlignRight | Qt::AlignTop);
    platform->adjustSize();
    platform->move(439 - platform->width(), 114);

    QLabel* notice = textLabel(this, "Label_Copyright",
                               QStringLiteral("Copyright © 2026 Lumo Software. Alle Rechte vorbehalten.\n\n"
                                              "Dieses Programm wird ohne Gewähr überlassen. Für Schäden durch seine "
                                              "Nutzung, etwa verlorene Daten oder fehlerhafte Ausdrucke, wird keine "
                                              "Haftung übernommen, soweit das Gesetz dies zulässt."));
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->setGeometry(24, 152, 412, 104);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button_OK"));
    ok->setFont(infoFont());
    ok->setGeometry(333, 266, 82, 31);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TDLG_Info::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

// The picture is the window: a click anywhere on it closes.
void TDLG_Info::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        accept();
    else
        QDialog::mousePressEvent(event);
}

void ShowInfo(AppContext& ctx, QWidget* parent)
{
    TDLG_Info dialog(ctx, parent);
    dialog.exec();
}
