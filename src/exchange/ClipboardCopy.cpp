#include "exchange/ClipboardCopy.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "shell/MessageService.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// Lines 1 to 5 of the record, or nothing when there is no such record.
bool readLines(TSQLiteDatabase& db, const QString& table, const QString& idColumn, const QString& id,
               QStringList& lines)
{
    if (id.isEmpty() || !db.TableExists(table))
        return false;
    const TSQLiteTable t = db.GetTable(QStringLiteral("SELECT Line1,Line2,Line3,Line4,Line5 FROM ") + table +
                                       QStringLiteral(" WHERE ") + idColumn + QStringLiteral("=?"),
                                       {id});
    if (t.Count() == 0)
        return false;
    for (int c = 0; c < 5; ++c)
        lines << t.FieldAsString(c);
    return true;
}

void copyRecord(AppContext& ctx, const QString& table, const QString& idColumn, const QString& id,
                const QString& message)
{
    QStringList lines;
    if (!readLines(ctx.db(), table, idColumn, id, lines))
        return;
    QGuiApplication::clipboard()->setText(ClipboardText(lines));
    ctx.Messages->InfoMessage(message);
}

} // namespace

QString ClipboardText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        if (!IsBlank(line))
            text += line + QStringLiteral("\r\n");
    return text;
}

void CopyAbsenderToClipboard(AppContext& ctx, const QString& absenderId)
{
    copyRecord(ctx, QStringLiteral("tab_absender"), QStringLiteral("Absender_ID"), absenderId,
               QStringLiteral("Die Absenderdaten wurden in die Zwischenablage kopiert."));
}

void CopyAdresseToClipboard(AppContext& ctx, const QString& adresseId)
{
    copyRecord(ctx, QStringLiteral("tab_adressen"), QStringLiteral("Adresse_ID"), adresseId,
               QStringLiteral("Die Adressdaten wurden in die Zwischenablage kopiert."));
}
