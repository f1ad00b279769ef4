#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "common/errors.h"

namespace calcora {

std::string os_error_text(int err) { return std::string(std::strerror(err)) + " (os error " + std::to_string(err) + ")"; }

namespace {

[[noreturn]] void throw_os_error(int err) { throw CommandError(os_error_text(err)); }

std::string temp_name_beside(const std::filesystem::path& path) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  return path.string() + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(rng() % 1000000000);
}

}  // namespace

void write_file_atomically(const std::filesystem::path& path, std::string_view bytes) {
  // Keep the permissions of a file that is being replaced.
  mode_t mode = 0644;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw_os_error(EISDIR);
    mode = st.st_mode & 07777;
  }
  const std::string tmp = temp_name_beside(path);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) throw_os_error(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      throw_os_error(err);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    throw_os_error(err);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    throw_os_error(err);
  }
}

std::string read_whole_file(const std::filesystem::path& path, size_t max_bytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw_os_error(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    throw_os_error(err);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw_os_error(EISDIR);
  }
  if (static_cast<unsigned long long>(st.st_size) > max_bytes) {
    ::close(fd);
    throw CommandError("файл слишком большой: " + std::to_string(st.st_size) + " байт");
  }
  std::string data;
  data.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw_os_error(err);
    }
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > max_bytes) {
      ::close(fd);
      throw CommandError("файл слишком большой");
    }
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

void copy_file_durably(const std::filesystem::path& from, const std::filesystem::path& to) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) throw_os_error(errno);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    int err = errno;
    ::close(in);
    throw_os_error(err);
  }
  auto fail = [&](int err) {
    ::close(in);
    ::close(out);
    throw_os_error(err);
  };
  std::vector<char> buffer(size_t(1) << 20);
  for (;;) {
    ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(errno);
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) fail(errno);
      done += w;
    }
  }
  if (::fsync(out) != 0) fail(errno);
  ::close(in);
  if (::close(out) != 0) throw_os_error(errno);
}

void replace_file(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) throw_os_error(errno);
}

bool append_to_file(const std::filesystem::path& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return ::close(fd) == 0 && ok;
}

std::filesystem::path create_temp_file(std::string_view prefix, std::string_view suffix) {
  std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "XXXXXX" + std::string(suffix);
  int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd < 0) throw_os_error(errno);
  ::close(fd);
  return pattern;
}

std::string narrow_path_for_c_library(const std::filesystem::path& path) { return path.string(); }

}  // namespace calcora
