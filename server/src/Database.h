// The two databases behind one narrow door: statements with `?` for their
// parameters, rows of text back. What differs between them beyond that is
// the Dialect's.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Server::Db {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Bytes that are not text (a recording) go apart from strings, as bytea.
struct Blob {
    std::string_view bytes;
};
using Param = std::variant<std::int64_t, std::string_view, Blob, std::nullptr_t>;
using Params = std::vector<Param>;
using Row = std::vector<std::optional<std::string>>;
using Rows = std::vector<Row>;

enum class Dialect { Sqlite, Postgres };

class Connection {
  public:
    virtual ~Connection() = default;
    virtual Dialect Kind() const = 0;
    // Throws Error. A blob column reads back as its bytes.
    virtual Rows Query(std::string_view sql, const Params& params = {}) = 0;
    void Exec(std::string_view sql, const Params& params = {}) { Query(sql, params); }
};

std::unique_ptr<Connection> OpenSqlite(const std::string& file);
std::unique_ptr<Connection> OpenPostgres(const std::string& address);

// Connections handed out one at a time; as many as were ever needed at once.
class Pool {
  public:
    explicit Pool(std::function<std::unique_ptr<Connection>()> open) : open_(std::move(open)) {}

    class Lease {
      public:
        Lease(Pool& pool, std::unique_ptr<Connection> c) : pool_(pool), c_(std::move(c)) {}
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease() { pool_.GiveBack(std::move(c_)); }
        Connection* operator->() { return c_.get(); }
        Connection& operator*() { return *c_; }
        // After a failure inside a transaction the connection is not reused.
        void Discard() { c_.reset(); }

      private:
        Pool& pool_;
        std::unique_ptr<Connection> c_;
    };

    Lease Take() {
        {
            const std::lock_guard lock(mutex_);
            if (!idle_.empty()) {
                auto c = std::move(idle_.back());
                idle_.pop_back();
                return Lease(*this, std::move(c));
            }
        }
        return Lease(*this, open_());
    }

  private:
    void GiveBack(std::unique_ptr<Connection> c) {
        if (c) {
            const std::lock_guard lock(mutex_);
            idle_.push_back(std::move(c));
        }
    }

    std::function<std::unique_ptr<Connection>()> open_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Connection>> idle_;
};

// Runs `body` in one transaction (BEGIN IMMEDIATE on SQLite, so two writers
// never deadlock upgrading their locks); rolls back and rethrows on failure.
template <class F> auto InTransaction(Connection& c, F&& body) {
    c.Exec(c.Kind() == Dialect::Sqlite ? "BEGIN IMMEDIATE" : "BEGIN");
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            c.Exec("COMMIT");
        } else {
            auto result = body();
            c.Exec("COMMIT");
            return result;
        }
    } catch (...) {
        try {
            c.Exec("ROLLBACK");
        } catch (const Error&) {
        }
        throw;
    }
}

} // namespace Server::Db
