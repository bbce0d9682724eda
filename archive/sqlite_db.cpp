#include "archive/sqlite_db.h"

#include <sqlite3.h>

namespace kelvora::archive {

namespace {

QString messageOf(sqlite3* db) {
    return db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

}  // namespace

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db_, sql, -1, &statement_, nullptr) != SQLITE_OK) {
        error_ = messageOf(db_);
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement& Statement::bind(int index, qint64 value) {
    if (statement_ != nullptr) {
        sqlite3_bind_int64(statement_, index, value);
    }
    return *this;
}

Statement& Statement::bind(int index, double value) {
    if (statement_ != nullptr) {
        sqlite3_bind_double(statement_, index, value);
    }
    return *this;
}

Statement& Statement::bind(int index, const std::optional<double>& value) {
    return value ? bind(index, *value) : bindNull(index);
}

Statement& Statement::bind(int index, const QString& value) {
    if (value.isNull()) {
        return bindNull(index);
    }
    if (statement_ != nullptr) {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(statement_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (statement_ != nullptr) {
        sqlite3_bind_null(statement_, index);
    }
    return *this;
}

bool Statement::step() {
    if (statement_ == nullptr) {
        return false;
    }
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc != SQLITE_DONE) {
        error_ = messageOf(db_);
    }
    return false;
}

bool Statement::run() {
    while (step()) {
    }
    reset();
    return ok();
}

void Statement::reset() {
    if (statement_ != nullptr) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(statement_, column);
}

std::optional<double> Statement::optionalReal(int column) const {
    return isNull(column) ? std::nullopt : std::optional<double>(real(column));
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return bytes == nullptr ? QString()
                            : QString::fromUtf8(bytes, sqlite3_column_bytes(statement_, column));
}

Database::~Database() {
    close();
}

bool Database::open(const QString& path, int flags) {
    close();
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        error_ = messageOf(db_);
        close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    return true;
}

void Database::close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool Database::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        error_ = message != nullptr ? QString::fromUtf8(message) : messageOf(db_);
        sqlite3_free(message);
        return false;
    }
    return true;
}

std::optional<qint64> Database::scalar(const char* sql) {
    Statement statement(db_, sql);
    if (statement.step()) {
        return statement.int64(0);
    }
    if (!statement.ok()) {
        error_ = statement.error();
    }
    return std::nullopt;
}

qint64 Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int Database::changes() const {
    return sqlite3_changes(db_);
}

bool Database::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

QString Database::lastMessage() const {
    return messageOf(db_);
}

Transaction::Transaction(Database& db) : db_(db) {
    begun_ = db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (begun_ && !done_) {
        db_.exec("ROLLBACK");
    }
}

bool Transaction::commit() {
    if (!begun_ || done_) {
        return false;
    }
    done_ = db_.exec("COMMIT");
    return done_;
}

}  // namespace kelvora::archive
