#include "Database.h"

#include <libpq-fe.h>

#include <array>

namespace Server::Db {

namespace {

struct Finish {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct Clear {
    void operator()(PGresult* r) const { PQclear(r); }
};

// Our statements say `?`; PostgreSQL numbers its parameters.
std::string Numbered(std::string_view sql) {
    std::string out;
    int n = 0;
    for (const char c : sql) {
        if (c == '?') {
            out += "$" + std::to_string(++n);
        } else {
            out += c;
        }
    }
    return out;
}

int FromHex(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

class Postgres final : public Connection {
  public:
    explicit Postgres(const std::string& address) : conn_(PQconnectdb(address.c_str())) {
        if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK) {
            throw Error("cannot connect to PostgreSQL: " +
                        std::string(conn_ ? PQerrorMessage(conn_.get()) : "out of memory"));
        }
        Exec("SET client_min_messages = warning");
    }

    Dialect Kind() const override { return Dialect::Postgres; }

    Rows Query(std::string_view sql, const Params& params) override {
        std::vector<std::string> text(params.size());
        std::vector<const char*> values(params.size());
        std::vector<int> lengths(params.size()), formats(params.size());
        for (std::size_t i = 0; i < params.size(); ++i) {
            const auto& p = params[i];
            if (const auto* n = std::get_if<std::int64_t>(&p)) {
                text[i] = std::to_string(*n);
                values[i] = text[i].c_str();
            } else if (const auto* s = std::get_if<std::string_view>(&p)) {
                text[i] = std::string(*s);
                values[i] = text[i].c_str();
            } else if (const auto* b = std::get_if<Blob>(&p)) {
                values[i] = b->bytes.data();
                lengths[i] = static_cast<int>(b->bytes.size());
                formats[i] = 1;
            }
        }
        const std::unique_ptr<PGresult, Clear> result(
            PQexecParams(conn_.get(), Numbered(sql).c_str(), static_cast<int>(params.size()),
                         nullptr, values.data(), lengths.data(), formats.data(), 0));
        const auto status = PQresultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            throw Error(PQresultErrorMessage(result.get()));
        }
        Rows rows;
        const int n = PQntuples(result.get()), columns = PQnfields(result.get());
        for (int r = 0; r < n; ++r) {
            Row row;
            for (int c = 0; c < columns; ++c) {
                if (PQgetisnull(result.get(), r, c)) {
                    row.emplace_back();
                    continue;
                }
                const char* v = PQgetvalue(result.get(), r, c);
                std::string value(v, static_cast<std::size_t>(PQgetlength(result.get(), r, c)));
                if (PQftype(result.get(), c) == kByteaOid && value.starts_with("\\x")) {
                    std::string bytes;
                    bytes.reserve(value.size() / 2);
                    for (std::size_t i = 2; i + 1 < value.size(); i += 2) {
                        bytes += static_cast<char>(FromHex(value[i]) * 16 + FromHex(value[i + 1]));
                    }
                    value = std::move(bytes);
                }
                row.emplace_back(std::move(value));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

  private:
    static constexpr Oid kByteaOid = 17;
    std::unique_ptr<PGconn, Finish> conn_;
};

} // namespace

std::unique_ptr<Connection> OpenPostgres(const std::string& address) {
    return std::make_unique<Postgres>(address);
}

} // namespace Server::Db
