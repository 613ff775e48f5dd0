#include "mainwindow/PdfCommand.h"

#include "app/GeneralError.h"
#include "exchange/ExchangeFileDialogs.h"
#include "mainwindow/MainRibbon.h"
#include "mainwindow/TForm_Tavisto.h"
#include "output/PdfSeriesExport.h"
#include "uikit/TToolButton.h"

#include <QAction>

void ConnectPdfCommand(AppContext& ctx, TForm_Tavisto& window)
{
    auto run = [&ctx, &window] {
        // Like the series: the list's search and sort, active addresses whatever the view.
        const AdressenFilter filter = window.CurrentAdressenFilter();
        const SeriendruckInput input{window.GetSelectedAbsenderID(), filter.GruppeID, filter.SearchText,
                                     filter.SearchLine, filter.SortIndex};
        PdfSeriesCommand(ctx, &window, input,
                         [](QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                            const QString& name) {
                             return ExchangeFileDialogs::Standard()
                                 .SaveFileName(parent, title, folder, {filter}, 0, name)
                                 .fileName;
                         });
    };
    // Like every command: an error nobody caught goes to the general error handler.
    const auto guarded = Guarded(ctx, run);
    QObject::connect(window.Ribbon().Button(QStringLiteral("TB_PdfSpeichern")), &QToolButton::clicked, &window,
                     guarded);
    QObject::connect(window.Ribbon().MenuAction(QStringLiteral("PM_MenuButton_PdfSpeichern")), &QAction::triggered,
                     &window, guarded);
}
