#include "store/TSQLiteDatabase.h"

#include "shell/Cp1252.h"
#include "store/ESQLiteException.h"
#include "store/GermanCollation.h"

#include <sqlite3.h>

namespace {

// Finalises on every way out.
struct StatementGuard
{
    sqlite3_stmt* stmt;
    ~StatementGuard() { sqlite3_finalize(stmt); }
};

const char* kExecFailed = "Error executing SQL";
const char* kCouldNotPrepare = "Could not prepare SQL statement";
const char* kStepFailed = "Error executing SQL statement";
const char* kRetrieveFailed = "Could not retrieve data";

TSQLiteTable::ColType typeFromDecl(const char* decl, int valueType)
{
    if (!decl) {
        switch (valueType) {
        case SQLITE_INTEGER: return TSQLiteTable::Integer;
        case SQLITE_FLOAT: return TSQLiteTable::Float;
        case SQLITE_BLOB: return TSQLiteTable::Blob;
        case SQLITE_NULL: return TSQLiteTable::Null;
        default: return TSQLiteTable::Text;
        }
    }
    const std::string_view d(decl);
    if (d == "INTEGER" || d == "BOOLEAN")
        return TSQLiteTable::Integer;
    if (d == "NUMERIC" || d == "FLOAT" || d == "DOUBLE" || d == "REAL")
        return TSQLiteTable::Float;
    if (d == "BLOB")
        return TSQLiteTable::Blob;
    return TSQLiteTable::Text;
}

} // namespace

TSQLiteDatabase::TSQLiteDatabase(const QString& fileName) : m_fileName(fileName)
{
    const int rc = sqlite3_open(fileName.toUtf8().constData(), &m_db);
    if (rc != SQLITE_OK) {
        QString msg;
        if (!m_db)
            msg = QStringLiteral("Failed to open database \"%1\" : unknown error").arg(fileName);
        else
            msg = QStringLiteral("Failed to open database \"%1\" : %2").arg(fileName, QString::fromUtf8(sqlite3_errmsg(m_db)));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw ESQLiteException(msg);
    }
    // Every list sorted by a line uses it; the file itself knows nothing of it, so the
    // database stays readable by any SQLite program.
    GermanCollation::Register(m_db);
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    if (m_inTrans) {
        try {
            Rollback();
        } catch (...) {
        }
    }
    sqlite3_close_v2(m_db);
}

QString TSQLiteDatabase::ErrorDescription(int code)
{
    static const char* const kDescriptions[] = {
        "Successful result",
        "SQL error or missing database",
        "An internal logic error in SQLite",
        "Access permission denied",
        "Callback routine requested an abort",
        "The database file is locked",
        "A table in the database is locked",
        "A malloc() failed",
        "Attempt to write a readonly database",
        "Operation terminated by sqlite3_interrupt()",
        "Some kind of disk I/O error occurred",
        "The database disk image is malformed",
        "(Internal Only) Table or record not found",
        "Insertion failed because database is full",
        "Unable to open the database file",
        "Database lock protocol error",
        "Database is empty",
        "The database schema changed",
        "Too much data for one row of a table",
        "Abort due to contraint violation",
        "Data type mismatch",
        "Library used incorrectly",
        "Uses OS features not supported on host",
        "Authorization denied",
        "Auxiliary database format error",
        "2nd parameter to sqlite3_bind out of range",
        "File opened that is not a database file",
    };
    if (code >= 0 && code <= 26)
        return QString::fromLatin1(kDescriptions[code]);
    if (code == SQLITE_ROW)
        return QStringLiteral("sqlite3_step() has another row ready");
    if (code == SQLITE_DONE)
        return QStringLiteral("sqlite3_step() has finished executing");
    return QStringLiteral("Unknown SQLite Error Code \"%1\"").arg(code);
}

QString TSQLiteDatabase::ComposeMessage(const QString& shortText, const QString& sql) const
{
    const int code = m_db ? sqlite3_errcode(m_db) : 0;
    const char* text = m_db ? sqlite3_errmsg(m_db) : nullptr;
    if (code == 0 || !text || !*text)
        return shortText;
    return shortText + QStringLiteral(".\rError [%1]: %2.\r\"%3\": %4")
                           .arg(code)
                           .arg(ErrorDescription(code), sql, QString::fromUtf8(text));
}

int TSQLiteDatabase::LastErrorCode() const
{
    return m_db ? sqlite3_errcode(m_db) & 0xff : 0;
}

sqlite3_stmt* TSQLiteDatabase::prepare(const QString& sql, const QByteArray& encoded, const char* failText)
{
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, encoded.constData(), int(encoded.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw ESQLiteException(ComposeMessage(QString::fromLatin1(failText), sql), LastErrorCode());
    }
    if (!stmt)
        throw ESQLiteException(ComposeMessage(QString::fromLatin1(kCouldNotPrepare), sql), LastErrorCode());
    return stmt;
}

void TSQLiteDatabase::bind(sqlite3_stmt* stmt, const SqlParams& params, int first, const QString& sql)
{
    int index = first;
    for (const QVariant& v : params) {
        int rc;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, index);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(stmt, index, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob64(stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = Cp1252::encode(v.toString());
                rc = sqlite3_bind_text64(stmt, index, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT,
                                         SQLITE_UTF8);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            throw ESQLiteException(ComposeMessage(QString::fromLatin1(kExecFailed), sql), LastErrorCode());
        ++index;
    }
}

void TSQLiteDatabase::ExecSQL(const QString& sql, const SqlParams& params)
{
    StatementGuard g{prepare(sql, Cp1252::encode(sql), kExecFailed)};
    bind(g.stmt, params, 1, sql);
    if (sqlite3_step(g.stmt) != SQLITE_DONE) {
        sqlite3_reset(g.stmt);
        throw ESQLiteException(ComposeMessage(QString::fromLatin1(kStepFailed), sql), LastErrorCode());
    }
}

TSQLiteTable TSQLiteDatabase::GetTable(const QString& sql, const SqlParams& params)
{
    StatementGuard g{prepare(sql, Cp1252::encode(sql), kExecFailed)};
    bind(g.stmt, params, 1, sql);
    TSQLiteTable t;
    while (nextRow(g.stmt, sql)) {
        if (t.m_rowCount == 0) {
            t.m_colCount = sqlite3_column_count(g.stmt);
            t.m_colTypes.reserve(size_t(t.m_colCount));
            for (int c = 0; c < t.m_colCount; ++c) {
                t.m_cols.append(QString::fromUtf8(sqlite3_column_name(g.stmt, c)).toUpper());
                t.m_colTypes.push_back(typeFromDecl(sqlite3_column_decltype(g.stmt, c), sqlite3_column_type(g.stmt, c)));
            }
        }
        for (int c = 0; c < t.m_colCount; ++c) {
            // One call into the statement per cell: each sqlite3_column_* call takes the
            // connection's mutex, the value's own functions do not. The value is read here,
            // on the connection's one thread, before the next step.
            sqlite3_value* v = sqlite3_column_value(g.stmt, c);
            if (sqlite3_value_type(v) == SQLITE_NULL) {
                t.appendAbsent();
                continue;
            }
            switch (t.m_colTypes[size_t(c)]) {
            case TSQLiteTable::Integer:
                t.appendInteger(qint64(sqlite3_value_int64(v)));
                break;
            case TSQLiteTable::Float:
                t.appendFloat(sqlite3_value_double(v));
                break;
            case TSQLiteTable::Blob: {
                const void* data = sqlite3_value_blob(v);
                const int n = sqlite3_value_bytes(v);
                if (n == 0)
                    t.appendAbsent();
                else
                    t.appendBytes(TSQLiteTable::BlobCell, static_cast<const char*>(data), n);
                break;
            }
            default: {
                // Kept in Windows-1252 and converted when read.
                const char* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
                t.appendBytes(TSQLiteTable::TextCell, text, sqlite3_value_bytes(v));
                break;
            }
            }
        }
        t.endRow();
    }
    return t;
}

bool TSQLiteDatabase::nextRow(sqlite3_stmt* stmt, const QString& sql)
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt);
    if (rc == SQLITE_BUSY)
        throw ESQLiteException(QString::fromLatin1(kCouldNotPrepare), SQLITE_BUSY);
    throw ESQLiteException(ComposeMessage(QString::fromLatin1(kRetrieveFailed), sql), LastErrorCode());
}

void TSQLiteDatabase::EachRow(const QString& sql, const SqlParams& params, const QStringList& columns,
                              const std::function<void(const QStringList& cells)>& row)
{
    StatementGuard g{prepare(sql, Cp1252::encode(sql), kExecFailed)};
    bind(g.stmt, params, 1, sql);
    std::vector<int> at;
    QStringList cells;
    while (nextRow(g.stmt, sql)) {
        if (at.empty()) {
            QStringList names;
            for (int c = 0; c < sqlite3_column_count(g.stmt); ++c)
                names << QString::fromUtf8(sqlite3_column_name(g.stmt, c)).toUpper();
            for (const QString& column : columns) {
                const int c = int(names.indexOf(column.toUpper()));
                if (c < 0)
                    throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + column);
                at.push_back(c);
            }
        }
        cells.clear();
        for (const int c : at)
            cells << (sqlite3_column_type(g.stmt, c) == SQLITE_NULL
                          ? QString()
                          : Cp1252::decode(reinterpret_cast<const char*>(sqlite3_column_text(g.stmt, c)),
                                           sqlite3_column_bytes(g.stmt, c)));
        row(cells);
    }
}

bool TSQLiteDatabase::TableExists(const QString& name)
{
    QString lower = name;
    for (QChar& c : lower)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    const TSQLiteTable t = GetTable(
        QStringLiteral("select [sql] from sqlite_master where [type] = 'table' and lower(name) = ? "), {lower});
    return t.Count() > 0;
}

void TSQLiteDatabase::UpdateBlob(const QString& sql, const QByteArray& blob, const SqlParams& params)
{
    if (!sql.contains(u'?'))
        throw ESQLiteException(QStringLiteral("SQL must include a ? parameter"));
    const QByteArray encoded = Cp1252::encode(sql);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db, encoded.constData(), int(encoded.size()), &raw, nullptr) != SQLITE_OK || !raw) {
        sqlite3_finalize(raw);
        throw ESQLiteException(ComposeMessage(QString::fromLatin1(kCouldNotPrepare), sql), LastErrorCode());
    }
    StatementGuard g{raw};
    if (sqlite3_bind_blob64(g.stmt, 1, blob.constData(), sqlite3_uint64(blob.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        throw ESQLiteException(ComposeMessage(QStringLiteral("Error binding blob to database"), sql), LastErrorCode());
    bind(g.stmt, params, 2, sql);
    if (sqlite3_step(g.stmt) != SQLITE_DONE) {
        sqlite3_reset(g.stmt);
        throw ESQLiteException(ComposeMessage(QString::fromLatin1(kStepFailed), sql), LastErrorCode());
    }
}

void TSQLiteDatabase::BeginTransaction()
{
    if (m_inTrans)
        throw ESQLiteException(QStringLiteral("Transaction already open"));
    ExecSQL(QStringLiteral("BEGIN TRANSACTION"));
    m_inTrans = true;
}

void TSQLiteDatabase::Commit()
{
    ExecSQL(QStringLiteral("COMMIT"));
    m_inTrans = false;
}

void TSQLiteDatabase::Rollback()
{
    // SQLite ends the transaction by itself after some errors (a full disk, I/O);
    // then there is nothing left to roll back, only the flag to clear.
    if (m_db && sqlite3_get_autocommit(m_db)) {
        m_inTrans = false;
        return;
    }
    ExecSQL(QStringLiteral("ROLLBACK"));
    m_inTrans = false;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        m_db.Rollback();
    } catch (...) {
        // Nothing more can be done here; the error that got us here is already on its way.
    }
}
