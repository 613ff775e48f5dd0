#include "printwindows/TDLG_Drucken.h"

#include "app/AppContext.h"
#include "printing/ConfiguredPrinter.h"
#include "printwindows/JpegResource.h"
#include "shell/MessageService.h"
#include "uikit/Placed.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    return Placed<QLabel>(parent, name, geometry, text);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    return Placed<QPushButton>(parent, name, geometry, text);
}

} // namespace

TDLG_Drucken::TDLG_Drucken(AppContext& ctx, TDLGDruckTyp ADLGDruckTyp, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), FDLGDruckTyp(ADLGDruckTyp)
{
    setObjectName(QStringLiteral("TDLG_Drucken"));
    setWindowTitle(QStringLiteral("Drucken"));
    const QFont arial = StyleFixedWindow(this, QSize(441, 193), QColor(240, 240, 240), 13);

    Image_Print = makeLabel(this, "Image_Print", QString(), QRect(12, 12, 160, 140));

    Label_Typ = makeLabel(this, "Label_Typ", QString(), QRect(188, 12, 240, 28));
    QFont big = arial;
    big.setPixelSize(21);
    Label_Typ->setFont(big);

    Label_Printer_Titel = makeLabel(this, "Label_Printer_Titel", QStringLiteral("Drucker: "), QRect(188, 50, 56, 18));
    QFont bold = arial;
    bold.setBold(true);
    Label_Printer_Titel->setFont(bold);
    Label_Printer_Name = makeLabel(this, "Label_Printer_Name", QString(), QRect(244, 50, 186, 18));

    LinkLabel_Printer_Setup = makeLabel(this, "LinkLabel_Printer_Setup",
                                        QStringLiteral("<a href=\"#\" style=\"color:#0066cc\">Druckereigenschaften ändern...</a>"),
                                        QRect(188, 70, 240, 18));
    LinkLabel_Printer_Setup->setTextFormat(Qt::RichText);
    LinkLabel_Printer_Setup->setAccessibleName(QStringLiteral("Druckereigenschaften ändern..."));
    connect(LinkLabel_Printer_Setup, &QLabel::linkActivated, this, [this] { LinkLabel_Printer_SetupClick(); });

    Label_Message = makeLabel(this, "Label_Message", QString(), QRect(188, 100, 240, 40));
    Label_Message->setWordWrap(true);
    Label_Message->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button_Yes = makeButton(this, "Button_Yes", QStringLiteral("&Ja"), QRect(262, 156, 80, 25));
    Button_No = makeButton(this, "Button_No", QStringLiteral("&Nein"), QRect(350, 156, 80, 25));
    Button_Yes->setDefault(true);
    Button_Yes->setAutoDefault(true);
    Button_No->setAutoDefault(false);
    connect(Button_Yes, &QPushButton::clicked, this, [this] { done(Msg::IdYes); });
    connect(Button_No, &QPushButton::clicked, this, [this] { done(Msg::IdNo); });

    // Creation steps in order: kind, printer name (warns once without printers), printer
    // flag and link, then the second warning before the dialog shows.
    if (FDLGDruckTyp == DDT_SINGLE) {
        Label_Typ->setText(QStringLiteral("Einzeldruck"));
        Label_Message->setText(QStringLiteral("Soll die gewählte Adresse gedruckt werden?"));
        LoadJpegResource(QStringLiteral("PRINT_SINGLE"), Image_Print);
    } else {
        Label_Typ->setText(QStringLiteral("Seriendruck"));
        Label_Message->setText(QStringLiteral("Sollen alle aktiven Adressen gedruckt werden?"));
        LoadJpegResource(QStringLiteral("PRINT_SERIES"), Image_Print);
    }
    Label_Printer_Name->setText(PrinterDisplayName(m_ctx));
    FDruckerOK = !m_ctx.Printer->Printers().isEmpty();
    LinkLabel_Printer_Setup->setEnabled(FDruckerOK);
    if (!FDruckerOK)
        WarnNoPrinter(*m_ctx.Messages);
}

void TDLG_Drucken::LinkLabel_Printer_SetupClick()
{
    if (!LinkLabel_Printer_Setup->isEnabled())
        return;
    ShowPrinterProperties(m_ctx, m_ctx.Print().PrinterIndex, this);
}

void TDLG_Drucken::keyPressEvent(QKeyEvent* event)
{
    // "Nein" is the cancel button: Escape answers No.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        done(Msg::IdNo);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDLG_Drucken::reject()
{
    done(Msg::IdCancel);
}
