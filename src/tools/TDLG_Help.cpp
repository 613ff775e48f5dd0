#include "tools/TDLG_Help.h"

#include "tools/WindowPlacement.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TDLG_Help::TDLG_Help(QWidget* owner, const QStringList& helpText)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("DLG_Help"));
    setWindowTitle(QStringLiteral("Hilfe"));
    setFixedSize(460, 260);

    auto* background = new QLabel(this);
    background->setObjectName(QStringLiteral("Image_Background"));
    background->setPixmap(QPixmap(QStringLiteral(":/images/SCREEN_HELP.jpg")));
    background->setGeometry(0, 0, 460, 260);

    auto* memo = new QPlainTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo_HelpText"));
    memo->setGeometry(32, 32, 393, 161);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    memo->setFont(font);
    memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: rgb(240, 240, 240); color: black; }"));
    // The box accepts typing like any text box; nothing reads it back.
    memo->setPlainText(helpText.join(u'\n'));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button_OK"));
    ok->setGeometry(189, 216, 82, 24);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Enter must press OK, so the text box does not start with the focus.
    ok->setFocus();
}

void TDLG_Help::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CenterOnScreen(this);
    findChild<QPushButton*>(QStringLiteral("Button_OK"))->setFocus();
}

void TDLG_Help::ShowText(const QStringList& helpText)
{
    TDLG_Help dialog(nullptr, helpText);
    dialog.exec();
}
