#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace kelvora::archive {

// One prepared statement. Values go in through bind() only, never into the SQL text.
// Statements must be destroyed before their database.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1. Each returns *this so binds can be chained.
    Statement& bind(int index, qint64 value);
    Statement& bind(int index, int value) { return bind(index, qint64(value)); }
    Statement& bind(int index, double value);
    Statement& bind(int index, const std::optional<double>& value);
    Statement& bind(int index, const QString& value);  // a null QString binds NULL
    Statement& bindNull(int index);

    // The next row: true while there is one; false at the end. A failure sets error().
    bool step();
    // Runs the statement to its end and rewinds it for another use; false on failure.
    bool run();
    void reset();

    // Columns count from 0.
    bool isNull(int column) const;
    qint64 int64(int column) const;
    int integer(int column) const { return int(int64(column)); }
    double real(int column) const;
    std::optional<double> optionalReal(int column) const;
    QString text(int column) const;

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    QString error_;
};

// An open SQLite connection; closed when destroyed.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // SQLITE_OPEN_* flags; false with error() set when it cannot be opened.
    bool open(const QString& path, int flags);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    // Runs SQL that takes no values (schema, pragmas); false with error() set.
    bool exec(const char* sql);
    // The first column of the first row of `sql`, if any.
    std::optional<qint64> scalar(const char* sql);
    qint64 lastInsertId() const;
    int changes() const;
    bool readOnly() const;

    const QString& error() const { return error_; }
    void setError(const QString& error) { error_ = error; }
    QString lastMessage() const;  // SQLite's message for the last failure

private:
    sqlite3* db_ = nullptr;
    QString error_;
};

// BEGIN IMMEDIATE on construction; ROLLBACK when destroyed without commit(), so a failure
// anywhere in between leaves the file as it was.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool begun() const { return begun_; }
    bool commit();

private:
    Database& db_;
    bool begun_ = false;
    bool done_ = false;
};

}  // namespace kelvora::archive
