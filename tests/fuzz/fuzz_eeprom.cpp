// The EEPROM hex file: records land at the AVR EEPROM area, so addresses
// near the top of the 16 MB must be refused rather than written.
#include "fuzz_text_common.h"
#include "image/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto in = fuzz::Source(data, size);
  fuzz::Check(image::DecodeIntelHex(in, fuzz::Target(), image::kAvrEepromOffset, true));
  return 0;
}
