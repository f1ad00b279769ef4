#include "exchange/gzip_codec.h"

#include <zlib.h>

#include <cstring>

#include "common/errors.h"

namespace calcora {

namespace {
constexpr int kGzipWindowBits = 15 + 16;  // zlib's switch for a gzip wrapper instead of zlib's own
}

std::string gzip_compress(std::string_view data) {
  z_stream zs{};
  if (deflateInit2(&zs, 6, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw CommandError("не удалось начать сжатие");
  gz_header header{};
  header.os = 255;  // RFC 1952 §2.3.1: unknown; mtime 0 means none
  deflateSetHeader(&zs, &header);
  std::string out;
  out.resize(deflateBound(&zs, static_cast<uLong>(data.size())) + 32);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  int rc = deflate(&zs, Z_FINISH);
  size_t written = zs.total_out;
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw CommandError("не удалось сжать данные");
  out.resize(written);
  return out;
}

std::string gzip_decompress(std::string_view data, size_t max_bytes) {
  if (data.size() < 10 || static_cast<unsigned char>(data[0]) != 0x1f || static_cast<unsigned char>(data[1]) != 0x8b ||
      data[2] != 8)
    throw CommandError("invalid gzip header");
  z_stream zs{};
  if (inflateInit2(&zs, kGzipWindowBits) != Z_OK) throw CommandError("не удалось начать распаковку");
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char buf[1 << 16];
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    zs.next_out = reinterpret_cast<Bytef*>(buf);
    zs.avail_out = sizeof buf;
    rc = inflate(&zs, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) {
      std::string reason = zs.msg ? zs.msg : "";
      inflateEnd(&zs);
      if (rc == Z_BUF_ERROR) throw CommandError("unexpected end of file");
      if (reason == "incorrect data check" || reason == "incorrect length check")
        throw CommandError("corrupt gzip stream does not have a matching checksum");
      if (reason == "incorrect header check" || reason == "unknown compression method" ||
          reason == "unknown header flags set")
        throw CommandError("invalid gzip header");
      throw CommandError("corrupt deflate stream" + (reason.empty() ? "" : ": " + reason));
    }
    size_t produced = sizeof buf - zs.avail_out;
    if (out.size() + produced > max_bytes) {
      inflateEnd(&zs);
      throw CommandError("содержимое файла больше " + std::to_string(max_bytes >> 20) + " МБ после распаковки");
    }
    out.append(buf, produced);
  }
  inflateEnd(&zs);
  return out;
}

}  // namespace calcora
