#include "common/random_id.h"

#include <cstdio>
#include <random>

namespace calcora {

std::string random_uuid() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  const uint64_t high = rng(), low = rng();
  // RFC 4122, 4.4: version 4 in the high nibble of time_hi, variant 10 in clock_seq_hi.
  const uint64_t hi = (high & 0xFFFFFFFFFFFF0FFFull) | 0x0000000000004000ull;
  const uint64_t lo = (low & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;
  char out[37];
  std::snprintf(out, sizeof out, "%08x-%04x-%04x-%04x-%012llx", static_cast<unsigned>(hi >> 32),
                static_cast<unsigned>((hi >> 16) & 0xFFFF), static_cast<unsigned>(hi & 0xFFFF),
                static_cast<unsigned>(lo >> 48), static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFull));
  return out;
}

}  // namespace calcora
