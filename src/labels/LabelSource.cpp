#include "labels/LabelSource.h"

#include "app/AppContext.h"
#include "envelope/SeriendruckQuery.h"
#include "envelope/UmschlagLines.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"
#include "store/TSQLiteTable.h"

#include <algorithm>

QString LabelSelectionMissing(const LabelRequest& r, bool swap)
{
    const bool needsSender = r.Content == LabelContent::Absender || swap;
    if (needsSender && r.Input.AbsenderID.isEmpty())
        return QStringLiteral("Bitte wählen Sie einen Absender!");
    if (r.Content == LabelContent::Gruppe && r.Input.GruppeID.isEmpty())
        return QStringLiteral("Bitte wählen Sie eine Gruppe!");
    if (r.Content == LabelContent::Adresse && r.AdresseID.isEmpty())
        return QStringLiteral("Bitte wählen Sie eine Adresse!");
    return QString();
}

std::optional<LabelTexts> ReadLabelTexts(AppContext& ctx, const LabelRequest& r)
{
    TSQLiteDatabase& db = ctx.db();
    const PrintSettings& s = ctx.Print();
    const bool needsSender = r.Content == LabelContent::Absender || s.Swap;
    AddressLines sender{QString(), QString(), QString(), QString(), QString()};
    if (needsSender) {
        const auto read = ReadAbsenderLines(db, r.Input.AbsenderID);
        if (!read)
            return std::nullopt;
        sender = *read;
    }
    LabelTexts out;
    const int copies = std::max(1, r.Copies);
    if (r.Content == LabelContent::Absender) {
        if (s.PrintBanner)
            LoadBannerOrReport(db, *ctx.Messages, r.Input.AbsenderID, out.Banner);
        for (int i = 0; i < copies; ++i)
            out.Texts << LabelText{sender, !out.Banner.isNull()};
        return out;
    }
    QList<AddressLines> addresses;
    if (r.Content == LabelContent::Adresse) {
        const auto read = ReadAdresseLines(db, r.AdresseID);
        if (!read)
            return std::nullopt;
        for (int i = 0; i < copies; ++i)
            addresses << *read;
    } else {
        const SeriendruckQuery query =
            BuildSeriendruckQuery(r.Input.GruppeID, r.Input.SearchText, r.Input.SearchColumn, r.Input.SortChoice);
        for (TSQLiteTable rows = db.GetTable(query.Sql(), query.Params); !rows.Eof(); rows.Next()) {
            AddressLines address;
            for (int i = 1; i <= 5; ++i)
                address << rows.Field(QStringLiteral("Line%1").arg(i));
            addresses << address;
        }
    }
    for (const AddressLines& address : addresses)
        out.Texts << LabelText{AssignBlocks(sender, address, s.Swap).Lower, false};
    return out;
}
