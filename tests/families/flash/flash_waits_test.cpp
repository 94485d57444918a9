// The waits each flash routine makes, summed from its step lists: the time a
// routine takes on the simulated board, less its port accesses (1 us each),
// is exactly the sum of its waits. An empty socket reads 0xFF, so each
// poll, read-back and DQ7 check ends at its first read and the sum is fixed.
// A wait that is dropped, shortened or lengthened shows here even where no
// chip limit catches it.
#include <gtest/gtest.h>

#include "families/flash/flash_fixture.h"
#include "families/flash/intel.h"
#include "families/flash/jedec.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;
using daraz_test::kPowerDown;
using daraz_test::kPowerUp;
using daraz_test::Ticks;

// The verify after a program of one byte of a part of 64 KB or more: its
// own power cycle, 500 to settle, one read with 0.1 us either side.
constexpr int64_t kVerifyTicks = kPowerUp + 500 + kPowerDown;
constexpr int64_t kVerifyNs = 200;
// The seven software-unprotect reads of the SST28 parts: SetAddress with
// its 2, then 10, then w after control bit 1 is set.
constexpr int64_t Unprotect(int64_t w) { return 7 * (2 + 10 + w); }

struct WaitCase {
  const char* name;
  HandlerId handler;
  int tag;
  const char* caption;
  void (*routine)(app::Programmer& p);
  int64_t ticks;
  int64_t ns;         // waits given in 0.1 us steps, and rounding (E4)
  int64_t tolerance;  // ns: each wait rounds down by less than 1 ns
};

const WaitCase kCases[] = {
    // P1 (twp 3, twc 30): three command cycles of pulse 3 and pause 0.2 us;
    // 0.1 us, data, 0.1 us, pulse 3, twc; one poll read with 0.1 us either
    // side; the verify; PowerDown.
    {"P1 29F010", HandlerId::M29F_Click, 105, "29F010", &families::jedec::P1,
     kPowerUp + 3 * 3 + 3 + 30 + kVerifyTicks + kPowerDown, 3 * 200 + 200 + 200 + kVerifyNs, 20},
    // P2 (twp 6, twc 40): 1000 after the #RESET pin is set; no 0.1 us
    // before the data; 100 after the pin is released.
    {"P2 29F002", HandlerId::AT49F00x_Click, 103, "29F002", &families::jedec::P2,
     kPowerUp + 1000 + 3 * 6 + 6 + 40 + 100 + kVerifyTicks + kPowerDown,
     3 * 200 + 100 + 200 + kVerifyNs, 20},
    // P8 (twp 6, twc 40): 5000, unprotect with twc, 2000; per byte 4,
    // PutData's 2, 4, pulse, twc, PutData's 2, pulse, twc, 2.
    {"P8 SST28SF040A", HandlerId::SST28xF040A1Click, 1, "SST28xF040A", &families::jedec::P8,
     kPowerUp + 5000 + Unprotect(40) + 2000 + (4 + 2 + 4 + 6 + 40 + 2 + 6 + 40 + 2) + kVerifyTicks +
         kPowerDown,
     kVerifyNs, 40},
    // P3 (twp 6, twc 40): 500 with the pin left alone; bypass entered with
    // three cycles of pulse 2, pause 4; 0xA0 after 0.2 us with pulse 2 and 3
    // after it, the byte after 0.2 us, twp, twc; one poll with 0.2 us either
    // side; 1500 after the pin; two leave cycles.
    {"P3 M29F040B", HandlerId::AT49F00x_Click, 413, "M29F040B", &families::jedec::P3,
     kPowerUp + 500 + 3 * (2 + 4) + (2 + 3 + 6 + 40) + 1500 + 2 * (2 + 4) + kVerifyTicks +
         kPowerDown,
     200 + 200 + 400 + kVerifyNs, 20},
    // P4 (twp 2, twc 30): 500; three cycles of pulse 2, pause 4; twp, twc,
    // the read at once; 500 after the pin.
    {"P4 Am29F400", HandlerId::Am29Fx00_Click, 103, "Am29F400", &families::jedec::P4,
     kPowerUp + 500 + 3 * (2 + 4) + 2 + 30 + 500 + kVerifyTicks + kPowerDown, kVerifyNs, 20},
    // P5: as P3 with 1 before the 0xA0 pulse and 5 after it, 0.1 us before
    // the byte's; 500 after the pin; leave 0x90, 0xF0.
    {"P5 29LV800", HandlerId::Am29Fx00_Click, 303, "29LV800", &families::jedec::P5,
     kPowerUp + 500 + 3 * (2 + 4) + (1 + 2 + 5 + 2 + 30) + 500 + 2 * (2 + 4) + kVerifyTicks +
         kPowerDown,
     100 + 400 + kVerifyNs, 20},
    // P6: entered with six cycles, no leave command; in single-pulse mode
    // each byte is only the data write: 0.1 us, twp, twc.
    {"P6 AT49F8011", HandlerId::Am29Fx00_Click, 505, "AT49F8011", &families::jedec::P6,
     kPowerUp + 500 + 6 * (2 + 4) + (2 + 30) + 500 + kVerifyTicks + kPowerDown,
     100 + 400 + kVerifyNs, 20},
    // P7 (twp 2): 500; the fast command with pulse 2 and no pause; 1, twp,
    // 120; one DQ7 poll with 1 either side; the read-back after 3 and 3;
    // 500 after the pin; the verify.
    {"P7 MX29F1610", HandlerId::Am29Fx00_Click, 201, "MX29F1610", &families::jedec::P7,
     kPowerUp + 500 + 3 * 2 + 1 + 2 + 120 + 1 + 1 + 3 + 3 + 500 + kVerifyTicks + kPowerDown,
     kVerifyNs, 20},
    // G4 (twp 6, twc 40): 4, 0x90 with 4, twp, twc; 100; the read; 100;
    // 0x90 again with 4, twp, twc; the read; 100.
    {"G4 SST28SF040A", HandlerId::SST28xF040A1Click, 1, "SST28xF040A", &families::jedec::G4,
     kPowerUp + 4 + (4 + 6 + 40) + 100 + 100 + (4 + 6 + 40) + 100 + kPowerDown, 0, 20},
    // I1 (twp 20): 1000 under 12 V; 5, 0x40, 5, twp, 5, the byte, 5, twp,
    // 20, 0xC0, 5, twp, 15, 10 and the read; 100 after 12 V; PowerDown; the
    // own verify has no waits of its own.
    {"I1 28F010", HandlerId::M28F_Click, 105, "28F010", &families::intel::I1,
     kPowerUp + 1000 + (5 + 5 + 20 + 5 + 5 + 20 + 20 + 5 + 20 + 15 + 10) + 100 + kPowerDown +
         kPowerUp + kPowerDown,
     0, 20},
    // I2: 5, 0x50, 10, pulse 10, 10, the byte, pulse 10, 50, 10; 500 after
    // 12 V.
    {"I2 Am28F010A", HandlerId::M28F_Click, 123, "Am28F010A", &families::intel::I2,
     kPowerUp + 1000 + (5 + 10 + 10 + 10 + 10 + 50 + 10) + 500 + kPowerDown + kPowerUp + kPowerDown,
     0, 20},
    // I11: 8, 0x40, 8, pulse 8, 10, the byte, pulse 8, 35, 5; 500 after
    // 12 V.
    {"I11 MX28F1000P", HandlerId::MX28F20001Click, 101, "MX28F1000P", &families::intel::I11,
     kPowerUp + 1000 + (8 + 8 + 8 + 10 + 8 + 35 + 5) + 500 + kPowerDown + kPowerUp + kPowerDown, 0,
     20},
    // E1: 1000 after the pin; six cycles of 4, 4, pulse 10, 20; one pass of
    // 10000, 10 and 0.1 us.
    {"E1 29F010", HandlerId::M29F_Click, 105, "29F010", &families::jedec::E1,
     kPowerUp + 1000 + 6 * (4 + 4 + 10 + 20) + 10000 + 10 + kPowerDown, 100, 20},
    // E2: 500 with the pin left alone; six cycles of 10, pulse 10, 10; 150;
    // one pass of 10000, 10 and 2.
    {"E2 Am29F200", HandlerId::Am29Fx00_Click, 102, "Am29F200", &families::jedec::E2,
     kPowerUp + 500 + 6 * (10 + 10 + 10) + 150 + 10000 + 10 + 2 + kPowerDown, 0, 30},
    // E3 (twp 6, twc 40): 2000, unprotect, 4, 4, pulse, twc, 4, pulse,
    // twc, 25 passes of 20000.
    {"E3 SST28SF040A", HandlerId::SST28xF040A1Click, 1, "SST28xF040A", &families::jedec::E3,
     kPowerUp + 2000 + Unprotect(20) + (4 + 4 + 6 + 40) + (4 + 6 + 40) + 25 * 20000 + kPowerDown, 0,
     60},
    // E4 (twp 7, twc 55) on 2048 sectors of 256 bytes: 2000, unprotect,
    // 100; per sector 4, 4, pulse, twc, SetAddress's 1, 4, PutData's 1, 4,
    // pulse, 4000. Each wait rounds down to whole ns on the board's clock:
    // the 0.1 ns left of each 838.1 ns tick adds up to 3.7 ns a sector.
    {"E4 LE28F4001", HandlerId::SST28xF040A1Click, 10, "LE28F4001", &families::jedec::E4,
     kPowerUp + 2000 + Unprotect(20) + 100 + 2048 * (4 + 4 + 7 + 55 + 1 + 4 + 1 + 4 + 7 + 4000) +
         kPowerDown,
     -2048 * 37 / 10, 20},
    // I3 with Fast Erase (no 0x00 fill): 1000 under 12 V; one erase pulse
    // of 5, 0x20, 5, pulse 8, 5, 0x20, 10, pulse 8, 30000; then every 20th
    // of the 131072 addresses verified with 10, pulse 8, 20 and 15. The
    // rounding of the 8 and the 15 leaves 1.3 ns an address.
    {"I3 28F010 fast", HandlerId::M28F_Click, 105, "28F010", &families::intel::I3,
     kPowerUp + 1000 + (5 + 5 + 8 + 5 + 10 + 8 + 30000) + 6554 * (10 + 8 + 20 + 15) + kPowerDown,
     -6554 * 13 / 10, 20},
    // I5 (twp 3, twc 20): 500 under 12 V; 0x40, 2, pulse 2, 2, the byte,
    // 2, twp, twc; one status read with 0.2 us either side: bit 3 of the
    // empty socket's 0xFF is a Vpp range error, whose report powers down;
    // 1000 after 12 V.
    {"I5 28F400B5", HandlerId::i28Fx00_Click, 103, "28F400 B5- T", &families::intel::I5,
     kPowerUp + 500 + (2 + 2 + 2 + 2 + 3 + 20) + kPowerDown + 1000 + kPowerDown, 400, 20},
    // I6: 1000 under 12 V; the first block's 0x20 and 0xD0 with pulses of
    // 3, 500, one status read with 4 either side (the Vpp range error
    // again); 200 after 12 V.
    {"I6 28F400B5", HandlerId::i28Fx00_Click, 103, "28F400 B5- T", &families::intel::I6,
     kPowerUp + 1000 + 3 + 3 + 500 + 4 + 4 + kPowerDown + 200 + kPowerDown, 0, 20},
    // I9: 200 under 12 V; PutData's 5, 50, pulse 10, 15, 5 before the
    // read; PutData's 5, 50, pulse 10, 20, 5 before the read; 112 CFI
    // reads of 20 and 5 (each 5 rounds 0.5 ns down); 1000 after 12 V.
    {"I9 28F010", HandlerId::M28F_Click, 105, "28F010", &families::intel::I9,
     kPowerUp + 200 + (5 + 50 + 10 + 15 + 5) + (5 + 50 + 10 + 20 + 5) + 112 * (20 + 5) + 1000 +
         kPowerDown,
     -56, 20},
    // I10: 300 under 12 V; 0x90 with PutData's 5, 10, pulse 5, 10, 5 before
    // the read; 0xFF the same, then 10000; 0x90 with 5, 10, pulse 10, 20, 5
    // before the read; 30; the 0x98 query (5, 10, pulse 5, 10), 112 CFI
    // reads, 0xFF (5, pulse 5); 500 after 12 V.
    {"I10 28F400B5", HandlerId::i28Fx00_Click, 103, "28F400 B5- T", &families::intel::I10,
     kPowerUp + 300 + (5 + 10 + 5 + 10 + 5) + (5 + 10 + 5 + 10) + 10000 + (5 + 10 + 10 + 20 + 5) +
         30 + (5 + 10 + 5 + 10) + 112 * (20 + 5) + (5 + 5) + 500 + kPowerDown,
     -56, 20},
    // I4: 2000 under 12 V, 5, data 0x30, 5, pulse 8, 5, data 0x30, 10,
    // pulse 8, 200; one pass of 10000, 10 and 10.
    {"I4 Am28F010A", HandlerId::M28F_Click, 123, "Am28F010A", &families::intel::I4,
     kPowerUp + 2000 + 5 + 5 + 8 + 5 + 10 + 8 + 200 + 10000 + 10 + 10 + kPowerDown, 0, 20},
    // I12: 1000 under 12 V, 15, data 0x30, 30, pulse 15, 30, data 0x30,
    // 30, pulse 15, 1000; one pass of 10000, 20 and 20; 1000 after 12 V.
    {"I12 MX28F1000P", HandlerId::MX28F20001Click, 101, "MX28F1000P", &families::intel::I12,
     kPowerUp + 1000 + 15 + 30 + 15 + 30 + 30 + 15 + 1000 + 10000 + 20 + 20 + 1000 + kPowerDown, 0,
     20},
};

TEST(FlashWaits, EachRoutineWaitsAsItsStepsSay) {
  for (const WaitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.board->RemoveChip();
    // One byte of 0xFF, sent even so: the empty socket answers it at once.
    s.p.controls.Check("cbSkip_0xFF", false);
    image::ClearBuf(s.p.image, image::kFillFF, {});
    s.p.image.data_end = 0;
    s.p.controls.Check("cb28FastErase");  // read by I3 only
    const int64_t waited = s.WaitedNs(c.routine);
    EXPECT_NEAR(waited, Ticks(c.ticks) + c.ns, c.tolerance) << s.Last();
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
