#include "link/link_store.h"

#include "link/link_schema.h"

namespace calcora::link {

// A connection borrowed from the pool for one request; a connection that failed is dropped
// rather than returned, so the next request opens a fresh one.
class LinkStore::Lease {
 public:
  Lease(LinkStore& store, std::unique_ptr<SqlConnection> c) : store_(store), c_(std::move(c)) {}
  Lease(Lease&& other) noexcept : store_(other.store_), c_(std::move(other.c_)) {}
  ~Lease() {
    std::lock_guard lock(store_.mutex_);
    if (c_ && std::uncaught_exceptions() == 0) store_.idle_.push_back(std::move(c_));
    else --store_.open_count_;
    store_.returned_.notify_one();
  }
  SqlConnection* operator->() { return c_.get(); }
  SqlConnection& operator*() { return *c_; }

 private:
  LinkStore& store_;
  std::unique_ptr<SqlConnection> c_;
};

LinkStore::LinkStore(Opener opener, int connections) : opener_(std::move(opener)), max_connections_(connections) {
  auto first = opener_();
  migrate(*first);
  idle_.push_back(std::move(first));
  open_count_ = 1;
}

std::unique_ptr<LinkStore> LinkStore::open_sqlite(const std::string& path) {
  // One connection: SQLite writes one at a time anyway, and reads of a page take microseconds.
  return std::unique_ptr<LinkStore>(new LinkStore([path] { return open_sqlite_connection(path); }, 1));
}

std::unique_ptr<LinkStore> LinkStore::open_postgres(const std::string& conninfo, int connections) {
  return std::unique_ptr<LinkStore>(
      new LinkStore([conninfo] { return open_postgres_connection(conninfo); }, connections));
}

LinkStore::Lease LinkStore::lease() {
  std::unique_lock lock(mutex_);
  returned_.wait(lock, [&] { return !idle_.empty() || open_count_ < max_connections_; });
  if (!idle_.empty()) {
    auto c = std::move(idle_.back());
    idle_.pop_back();
    return Lease(*this, std::move(c));
  }
  ++open_count_;
  lock.unlock();
  try {
    return Lease(*this, opener_());
  } catch (...) {
    std::lock_guard again(mutex_);
    --open_count_;
    returned_.notify_one();
    throw;
  }
}

namespace {

SqlValue text(const std::string& s) { return SqlValue(s); }
SqlValue number(int64_t n) { return SqlValue(n); }

const char* lock_clause(SqlConnection& c) { return c.dialect() == Dialect::kPostgres ? " FOR UPDATE" : ""; }

}  // namespace

bool LinkStore::add_ticket(const std::string& name, const std::string& key_hash, const std::string& now) {
  auto c = lease();
  SqlTransaction t(*c);
  if (!c->query("SELECT 1 FROM tickets WHERE name = ?", {text(name)}).empty()) return false;
  c->execute("INSERT INTO tickets (name, key_hash, created_at) VALUES (?, ?, ?)",
             {text(name), text(key_hash), text(now)});
  t.commit();
  return true;
}

std::vector<TicketRecord> LinkStore::tickets() {
  auto c = lease();
  std::vector<TicketRecord> out;
  for (auto& row : c->query("SELECT name, created_at, revoked_at FROM tickets ORDER BY id"))
    out.push_back({row[0].value_or(""), row[1].value_or(""), row[2]});
  return out;
}

bool LinkStore::revoke_ticket(const std::string& name, const std::string& now) {
  auto c = lease();
  return c->execute("UPDATE tickets SET revoked_at = ? WHERE name = ? AND revoked_at IS NULL",
                    {text(now), text(name)}) > 0;
}

std::optional<int64_t> LinkStore::live_ticket_id(const std::string& key_hash) {
  auto c = lease();
  auto rows = c->query("SELECT id FROM tickets WHERE key_hash = ? AND revoked_at IS NULL", {text(key_hash)});
  if (rows.empty()) return std::nullopt;
  return std::stoll(rows[0][0].value_or("0"));
}

bool LinkStore::update_publication(int64_t ticket_id, const std::string& token, const std::string& snapshot,
                                   const std::string& now) {
  auto c = lease();
  return c->execute(
             "UPDATE proposals SET snapshot = ?, updated_at = ? WHERE token = ? AND ticket_id = ? AND revoked_at IS NULL",
             {text(snapshot), text(now), text(token), number(ticket_id)}) > 0;
}

void LinkStore::insert_publication(int64_t ticket_id, const std::string& token, const std::string& snapshot,
                                   const std::string& now) {
  auto c = lease();
  c->execute("INSERT INTO proposals (token, ticket_id, snapshot, created_at, updated_at) VALUES (?, ?, ?, ?, ?)",
             {text(token), number(ticket_id), text(snapshot), text(now), text(now)});
}

bool LinkStore::revoke_publication(int64_t ticket_id, const std::string& token, const std::string& now) {
  auto c = lease();
  SqlTransaction t(*c);
  auto rows = c->query(std::string("SELECT revoked_at FROM proposals WHERE token = ? AND ticket_id = ?") +
                           lock_clause(*c),
                       {text(token), number(ticket_id)});
  if (rows.empty()) return false;
  if (!rows[0][0]) c->execute("UPDATE proposals SET revoked_at = ? WHERE token = ?", {text(now), text(token)});
  t.commit();
  return true;
}

std::optional<Publication> LinkStore::publication(const std::string& token) {
  auto c = lease();
  auto rows = c->query(
      "SELECT ticket_id, snapshot, revoked_at, decision_status, decision_name, decided_at FROM proposals WHERE token = ?",
      {text(token)});
  if (rows.empty()) return std::nullopt;
  auto& row = rows[0];
  Publication p;
  p.token = token;
  p.ticket_id = std::stoll(row[0].value_or("0"));
  p.snapshot = row[1].value_or("");
  p.revoked = row[2].has_value();
  if (row[3]) p.decision = Decision{*row[3], row[4].value_or(""), row[5].value_or("")};
  if (!p.revoked) {
    for (auto& r : c->query("SELECT name, contact, body, created_at FROM comments WHERE token = ? ORDER BY id",
                            {text(token)}))
      p.comments.push_back({r[0].value_or(""), r[1].value_or(""), r[2].value_or(""), r[3].value_or("")});
  }
  return p;
}

namespace {

// Why a customer's answer to `token` cannot be taken, read under the row's lock; nullopt
// when it can.
std::optional<CustomerAnswer> refusal(SqlConnection& c, const std::string& token, bool deciding) {
  auto rows = c.query(std::string("SELECT revoked_at, decision_status FROM proposals WHERE token = ?") + lock_clause(c),
                      {text(token)});
  if (rows.empty()) return CustomerAnswer::kUnknown;
  if (rows[0][0]) return CustomerAnswer::kRevoked;
  if (deciding && rows[0][1]) return CustomerAnswer::kAlreadyDecided;
  return std::nullopt;
}

}  // namespace

CustomerAnswer LinkStore::decide(const std::string& token, const Decision& d) {
  auto c = lease();
  SqlTransaction t(*c);
  if (auto no = refusal(*c, token, true)) return *no;
  c->execute("UPDATE proposals SET decision_status = ?, decision_name = ?, decided_at = ? WHERE token = ?",
             {text(d.status), text(d.name), text(d.decided_at), text(token)});
  t.commit();
  return CustomerAnswer::kTaken;
}

CustomerAnswer LinkStore::add_comment(const std::string& token, const Comment& comment, int64_t max_comments) {
  auto c = lease();
  SqlTransaction t(*c);
  if (auto no = refusal(*c, token, false)) return *no;
  auto count = c->query("SELECT COUNT(*) FROM comments WHERE token = ?", {text(token)});
  if (std::stoll(count.at(0).at(0).value_or("0")) >= max_comments) return CustomerAnswer::kFull;
  c->execute("INSERT INTO comments (token, name, contact, body, created_at) VALUES (?, ?, ?, ?, ?)",
             {text(token), text(comment.name), text(comment.contact), text(comment.body), text(comment.created_at)});
  t.commit();
  return CustomerAnswer::kTaken;
}

}  // namespace calcora::link
