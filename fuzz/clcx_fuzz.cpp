// Exchange files: the gzip member, the version probe and the estimate's JSON. A small cap on
// the unpacked size keeps a gzip bomb from turning into a timeout.
#include "exchange/clcx_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace calcora;
  fuzz::expect_clean([&] { decode_clcx(fuzz::as_text(data, size), 4 << 20); });
  return 0;
}
