#include "common/time_stamp.h"

namespace calcora {

namespace {
std::string format_tm(const std::tm& tm, const char* format) {
  char buf[32];
  size_t n = std::strftime(buf, sizeof buf, format, &tm);
  return std::string(buf, n);
}
}  // namespace

std::string utc_time_stamp(std::time_t when) {
  std::tm tm{};
  gmtime_r(&when, &tm);
  return format_tm(tm, "%Y-%m-%dT%H:%M:%SZ");
}

std::string utc_now_stamp() { return utc_time_stamp(std::time(nullptr)); }

std::string local_now_stamp() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return format_tm(tm, "%Y-%m-%d %H:%M:%S");
}

}  // namespace calcora
