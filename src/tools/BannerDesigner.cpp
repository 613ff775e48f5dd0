#include "tools/BannerDesigner.h"

#include "app/AppContext.h"
#include "imaging/ImageError.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "store/RecordOperations.h"
#include "tools/TDLG_Designer.h"

bool ShowBannerDesigner(AppContext& ctx, QWidget* parent, const QString& absenderId)
{
    if (absenderId.isEmpty())
        return false;
    TDLG_Designer dlg(ctx, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    QImage banner;
    dlg.LoadBannerToImage(&banner);
    bool stored = false;
    try {
        stored = SaveBanner(ctx.db(), *ctx.Messages, absenderId, banner);
    } catch (const ESQLiteException&) {
        stored = false;
    } catch (const ImageError&) {
        stored = false;
    }
    if (!stored)
        ctx.Messages->ErrorMessage(QStringLiteral("Das Banner konnte nicht gespeichert werden?"));
    return stored;
}
