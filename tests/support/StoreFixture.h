#pragma once
#include "store/TSQLiteDatabase.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

// A fresh database file with the program's five tables.
class StoreFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    QString dbPath() const { return dir.file("Tavisto.dbs"); }
    // Reads one value through the raw sqlite3 API, bytes as stored.
    QByteArray rawValue(const QString& sql) const;
    void exec(const QString& sql) { db->ExecSQL(sql); }

    TempDir dir;
    FakeMessageService messages;
    std::unique_ptr<TSQLiteDatabase> db;
};
