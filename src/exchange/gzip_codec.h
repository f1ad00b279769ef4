// One gzip member (RFC 1952) in memory: written with a fixed header so the same content always
// gives the same bytes, read back with a cap on the uncompressed size so a small hostile file
// cannot fill the memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace calcora {

// Deflate at level 6 under the header 1F 8B 08 00 00000000 00 FF: no name, no time, OS unknown.
std::string gzip_compress(std::string_view data);

// The content of the first gzip member. Throws CommandError: "invalid gzip header", "corrupt gzip
// stream does not have a matching checksum", a truncated stream, or more than max_bytes of content.
std::string gzip_decompress(std::string_view data, size_t max_bytes);

}  // namespace calcora
