// Everything the link service keeps: account tickets, publications, customers' decisions and
// comments. One implementation over SqlConnection, with a pool of connections, so SQLite and
// PostgreSQL hold the same records under the same rules.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/sql_connection.h"

namespace calcora::link {

struct TicketRecord {
  std::string name;
  std::string created_at;
  std::optional<std::string> revoked_at;
};

struct Decision {
  std::string status;  // "approved" or "rejected"
  std::string name;
  std::string decided_at;
};

struct Comment {
  std::string name;
  std::string contact;
  std::string body;
  std::string created_at;
};

struct Publication {
  std::string token;
  int64_t ticket_id = 0;
  std::string snapshot;  // JSON text, as checked on publish
  bool revoked = false;
  std::optional<Decision> decision;
  std::vector<Comment> comments;
};

enum class CustomerAnswer { kTaken, kUnknown, kRevoked, kAlreadyDecided, kFull };

class LinkStore {
 public:
  // Opens the database, creating and migrating it; throws StoreError.
  static std::unique_ptr<LinkStore> open_sqlite(const std::string& path);
  // `connections`: how many requests may use the database at once.
  static std::unique_ptr<LinkStore> open_postgres(const std::string& conninfo, int connections);

  // False when the name is taken.
  bool add_ticket(const std::string& name, const std::string& key_hash, const std::string& now);
  std::vector<TicketRecord> tickets();
  // False when there is no live ticket of that name.
  bool revoke_ticket(const std::string& name, const std::string& now);
  std::optional<int64_t> live_ticket_id(const std::string& key_hash);

  // Replaces the snapshot of a live publication of this ticket; false (nothing written) when
  // the token is not one.
  bool update_publication(int64_t ticket_id, const std::string& token, const std::string& snapshot,
                          const std::string& now);
  void insert_publication(int64_t ticket_id, const std::string& token, const std::string& snapshot,
                          const std::string& now);
  // True when the publication is this ticket's (withdrawn now or before).
  bool revoke_publication(int64_t ticket_id, const std::string& token, const std::string& now);

  std::optional<Publication> publication(const std::string& token);
  // The first decision stands: the customer cannot be made to have said otherwise later.
  CustomerAnswer decide(const std::string& token, const Decision& decision);
  CustomerAnswer add_comment(const std::string& token, const Comment& comment, int64_t max_comments);

 private:
  using Opener = std::function<std::unique_ptr<SqlConnection>()>;
  LinkStore(Opener opener, int connections);

  class Lease;
  Lease lease();

  Opener opener_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<std::unique_ptr<SqlConnection>> idle_;
  int open_count_ = 0;
  int max_connections_;
};

}  // namespace calcora::link
