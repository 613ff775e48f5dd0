#include "support/StoreFixture.h"

#include "store/Schema.h"

#include <sqlite3.h>

void StoreFixture::SetUp()
{
    db = std::make_unique<TSQLiteDatabase>(dbPath());
    ASSERT_TRUE(CreateTables(*db, messages));
}

QByteArray StoreFixture::rawValue(const QString& sql) const
{
    sqlite3* raw = nullptr;
    sqlite3_open_v2(dbPath().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    QByteArray out;
    if (sqlite3_prepare_v2(raw, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        out = QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, 0)), sqlite3_column_bytes(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(raw);
    return out;
}
