#include "Database.h"
#include "util/Overloaded.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace Server::Db {

namespace {

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct Finalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

class Sqlite final : public Connection {
  public:
    explicit Sqlite(const std::string& file) {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(
            file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        db_.reset(raw);
        if (rc != SQLITE_OK) {
            throw Error("cannot open " + file + ": " +
                        (raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
        }
        // Writers wait for each other rather than fail; readers never wait (WAL)
        sqlite3_busy_timeout(raw, 10000);
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=NORMAL");
        Exec("PRAGMA foreign_keys=ON");
    }

    Dialect Kind() const override { return Dialect::Sqlite; }

    Rows Query(std::string_view sql, const Params& params) override {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw,
                               nullptr) != SQLITE_OK) {
            throw Error(sqlite3_errmsg(db_.get()));
        }
        const std::unique_ptr<sqlite3_stmt, Finalize> stmt(raw);
        int i = 0;
        for (const auto& p : params) {
            ++i;
            std::visit(Util::Overloaded{
                           [&](std::int64_t n) { sqlite3_bind_int64(raw, i, n); },
                           [&](std::string_view s) {
                               sqlite3_bind_text64(raw, i, s.data(), s.size(), SQLITE_TRANSIENT,
                                                   SQLITE_UTF8);
                           },
                           [&](Blob b) {
                               sqlite3_bind_blob64(raw, i, b.bytes.data(), b.bytes.size(),
                                                   SQLITE_TRANSIENT);
                           },
                           [&](std::nullptr_t) { sqlite3_bind_null(raw, i); },
                       },
                       p);
        }
        Rows rows;
        for (;;) {
            const int rc = sqlite3_step(raw);
            if (rc == SQLITE_DONE) {
                return rows;
            }
            if (rc != SQLITE_ROW) {
                throw Error(sqlite3_errmsg(db_.get()));
            }
            Row row;
            const int n = sqlite3_column_count(raw);
            for (int c = 0; c < n; ++c) {
                if (sqlite3_column_type(raw, c) == SQLITE_NULL) {
                    row.emplace_back();
                    continue;
                }
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(raw, c));
                const int size = sqlite3_column_bytes(raw, c);
                row.emplace_back(std::string(bytes != nullptr ? bytes : "", size));
            }
            rows.push_back(std::move(row));
        }
    }

  private:
    std::unique_ptr<sqlite3, CloseDb> db_;
};

} // namespace

std::unique_ptr<Connection> OpenSqlite(const std::string& file) {
    return std::make_unique<Sqlite>(file);
}

} // namespace Server::Db
