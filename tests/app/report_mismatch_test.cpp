// ReportMismatchAt: the mismatch text for the byte a loop really compared.
#include <gtest/gtest.h>

#include "support/sim_session.h"

namespace {

TEST(ReportMismatchAt, ShowsAddressChipAndExpectedByteInRedAndPowersDown) {
  daraz_test::SimSession s;
  s.InsertRom(16);
  s.p.bus.PowerUp();
  ASSERT_FALSE(s.PoweredDown());
  s.p.image[0x1234] = 0x00;  // not what the loop compared: the text must not use it
  s.p.ReportMismatchAt(0x1234, 0x5A, 0xA5);
  ASSERT_FALSE(s.host.events.empty());
  const daraz_test::HostEvent& e = s.host.events.back();
  EXPECT_EQ(e.type, daraz_test::HostEvent::Type::kMessage);
  EXPECT_EQ(e.text, " Error at 0x001234  Chip = 0xA5  buffer = 0x5A");
  EXPECT_EQ(e.kind, hw::kError);
  EXPECT_TRUE(s.PoweredDown());
}

}  // namespace
