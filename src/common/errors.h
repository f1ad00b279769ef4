// Failures that are part of normal operation: bad input, a database refusal, a file
// that cannot be written. Their text reaches the user unchanged as the command's error.
// Anything else thrown inside a command is a programming fault (see AppState::with_db).
#pragma once

#include <stdexcept>
#include <string>

namespace calcora {

class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A database failure; the text is SQLite's own message ("FOREIGN KEY constraint failed").
class DbError : public CommandError {
 public:
  using CommandError::CommandError;
};

// The argument decoder's reason, e.g. "missing field `sort_order`"; the dispatcher
// prefixes it with the command and key it belongs to.
class DecodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace calcora
