// The CFI report, worked out by hand from the query-area layout and real
// parts' tables (Am29LV160DB, 28F320J3), and fed hostile buffers.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "families/flash/cfi.h"

namespace {

using families::flash::CfiReport;
using families::flash::CfiRow;

using Buffer = std::array<int, 112>;

// Bytes from `offset` on.
void Put(Buffer& b, int offset, std::initializer_list<int> bytes) {
  for (const int v : bytes) b[static_cast<size_t>(offset++ - 0x10)] = v;
}

// The grid row that shows `offset` (moved down by `shift` rows).
const CfiRow& At(const std::vector<CfiRow>& grid, int offset, int shift = 0) {
  return grid.at(static_cast<size_t>(offset - 15 + shift));
}

// Am29LV160DB (bottom boot), x16: four regions, AMD table at 0x40.
Buffer AmdX16() {
  Buffer b{};
  Put(b, 0x10, {'Q', 'R', 'Y', 0x02, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00});
  Put(b, 0x1B, {0x27, 0x36, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0x05, 0x00, 0x04, 0x00});
  Put(b, 0x27, {0x15, 0x02, 0x00, 0x00, 0x00, 0x04});
  Put(b, 0x2D, {0x00, 0x00, 0x40, 0x00, 0x01, 0x00, 0x20, 0x00});
  Put(b, 0x35, {0x00, 0x00, 0x80, 0x00, 0x1E, 0x00, 0x00, 0x01});
  Put(b, 0x40, {'P', 'R', 'I', '1', '0', 0x00, 0x02, 0x01, 0x01, 0x04, 0x00, 0x00, 0x00});
  return b;
}

TEST(CfiReport, AmdWordPartStandardFieldsRegionsAndTable) {
  const auto g = CfiReport(AmdX16(), false);
  ASSERT_EQ(g.size(), 100u);
  EXPECT_EQ(g[0], (CfiRow{"              Description ", " Addr.", " Code", " "}));
  EXPECT_EQ(At(g, 0x10), (CfiRow{"Query-unique ASCII string - QRY -", " 0x10", " 0x51", " Q"}));
  EXPECT_EQ(At(g, 0x12), (CfiRow{" ", " 0x12", " 0x59", " Y"}));
  const struct {
    int offset;
    const char* code;
    const char* value;
  } values[] = {
      {0x13, " 0x02", " AMD/Fujitsu Standard"},
      {0x14, " 0x00", " "},
      {0x15, " 0x40", " 0x 0040"},
      {0x17, " 0x00", " --"},
      {0x1B, " 0x27", " 2.7 V"},
      {0x1C, " 0x36", " 3.6 V"},
      {0x1D, " 0x00", " 0.0 V"},
      {0x1F, " 0x04", " 16uS"},
      {0x20, " 0x00", " Not Supported"},
      {0x21, " 0x0A", " 1024mS"},
      {0x23, " 0x05", " 32 "},
      {0x27, " 0x15", " 0x200000 (2048Kbyte)"},
      {0x28, " 0x02", " x8/x16 async"},
      {0x2A, " 0x00", " Not Supported"},
      {0x2C, " 0x04", " 4"},
      // Regions: blocks = word + 1, size = word x 256.
      {0x2D, " 0x00", " 1 * ( 0x4000 )"},
      {0x31, " 0x01", " 2 * ( 0x2000 )"},
      {0x35, " 0x00", " 1 * ( 0x8000 )"},
      {0x39, " 0x1E", " 31 * ( 0x10000 )"},
      {0x3C, " 0x01", " "},
      // The AMD table.
      {0x40, " 0x50", " P"},
      {0x43, " 0x31", " 1"},
      {0x45, " 0x00", " Required"},
      {0x46, " 0x02", " To Read & Write"},
      {0x47, " 0x01", " 1 = Number of sectors "},
      {0x48, " 0x01", " Supported"},
      {0x49, " 0x04", " "},
      {0x4C, " 0x00", " Not Supported"},
      {0x4D, " 0x00", " Not Supported"},
  };
  for (const auto& v : values) {
    SCOPED_TRACE(v.offset);
    EXPECT_EQ(At(g, v.offset)[2], v.code);
    EXPECT_EQ(At(g, v.offset)[3], v.value);
  }
  EXPECT_EQ(At(g, 0x39)[0], "Erase Block Region 3 Information");
  EXPECT_EQ(At(g, 0x40)[0], "Query-unique ASCII string - PRI -");
  EXPECT_EQ(At(g, 0x43)[0], "Major version number,ASCII");
  const struct {
    int offset;
    const char* text;
  } amd_rows[] = {
      {0x45, "Address Sensitive Unlock"},
      {0x46, "Erase Suspend"},
      {0x47, "Sector Protect"},
      {0x48, "Sector Temporary Unprotect"},
      {0x49, "Sector Protection Algorithm"},
      {0x4A, "Number of Sector for Bank 2"},
      {0x4B, "Burst Mode Type"},
      {0x4C, "Page Mode Type"},
      {0x4D, "ACC (Acceleration) Supply Minimum"},
      {0x4E, "ACC (Acceleration) Supply Maximum"},
  };
  for (const auto& r : amd_rows) {
    char address[16];
    std::snprintf(address, sizeof address, " 0x%02X", r.offset);
    EXPECT_EQ(At(g, r.offset)[0], r.text) << r.offset;
    EXPECT_EQ(At(g, r.offset)[1], address);
  }
  // Past the table nothing is written.
  EXPECT_EQ(At(g, 0x4F), (CfiRow{" ", " ", " ", " "}));
  // A device marked as having no table to decode ends after the regions.
  const auto stop = CfiReport(AmdX16(), true);
  EXPECT_EQ(At(stop, 0x39)[3], " 31 * ( 0x10000 )");
  EXPECT_EQ(At(stop, 0x40), (CfiRow{" ", " ", " ", " "}));
}

// Each standard field's description on the row of its first offset.
TEST(CfiReport, StandardFieldDescriptions) {
  const struct {
    int offset;
    const char* text;
  } rows[] = {
      {0x13, "Primary OEM Command Set"},
      {0x15, "Address for Primary Extended Table"},
      {0x17, "Alternate OEM Command"},
      {0x19, "Address for Alternate OEM Extended Table "},
      {0x1B, "VCC Min. (write/erase) D7-4: volt, D3-0: 100 mVolt"},
      {0x1C, "VCC Max. (write/erase) D7-4: volt, D3-0: 100 mVolt"},
      {0x1D, "VPP Min. voltage  D7-4: volt, D3-0: 100 mVolt"},
      {0x1E, "VPP Max. voltage  D7-4: volt, D3-0: 100 mVolt"},
      {0x1F, "Typical timeout per single byte/word write 2^n uS"},
      {0x20, "Typical timeout for Min. size buffer write 2^n uS"},
      {0x21, "Typical timeout per individual block erase 2^n mS"},
      {0x22, "Typical timeout for full chip erase 2^n ms"},
      {0x23, "Max. timeout for byte/word write 2^n times typical"},
      {0x24, "Max. timeout for buffer write 2^n times typical"},
      {0x25, "Max. timeout per individual block erase 2^n times typical"},
      {0x26, "Max. timeout for full chip erase 2^n times typical"},
      {0x27, "Device Size = 2^N byte"},
      {0x28, "Flash Device Interface description"},
      {0x2A, "Max. number of byte in multi-byte write = 2^n"},
      {0x2C, "Number of Erase Block Regions within device"},
  };
  const Buffer b = AmdX16();
  const auto g = CfiReport(b, false);
  for (const auto& r : rows) EXPECT_EQ(At(g, r.offset)[0], r.text) << r.offset;
  EXPECT_EQ(At(g, 0x14)[0], " ");
  // Every byte of the standard table, one field or two bytes of one, shows
  // its address and its code.
  for (int offset = 0x10; offset <= 0x2C; ++offset) {
    char address[8], code[8];
    std::snprintf(address, sizeof address, " 0x%02X", offset);
    std::snprintf(code, sizeof code, " 0x%02X", b[static_cast<size_t>(offset - 0x10)]);
    EXPECT_EQ(At(g, offset)[1], address) << offset;
    EXPECT_EQ(At(g, offset)[2], code) << offset;
  }
}

// The AMD table's erase-suspend byte, each value the decoder knows and one
// it does not.
TEST(CfiReport, EraseSuspendValues) {
  const struct {
    int code;
    const char* value;
  } cases[] = {{0, " Not Supported"}, {1, " To Read Only"}, {2, " To Read & Write"}, {3, " --"}};
  for (const auto& c : cases) {
    Buffer b = AmdX16();
    Put(b, 0x46, {c.code});
    EXPECT_EQ(At(CfiReport(b, false), 0x46)[3], c.value) << c.code;
  }
}

// Address-sensitive unlock is bit 0 of its byte alone: set, the unlock
// cycles need not go to the exact addresses.
TEST(CfiReport, AddressSensitiveUnlockReadsBitZero) {
  const struct {
    int code;
    const char* value;
  } cases[] = {
      {0x00, " Required"}, {0x01, " Not Required"}, {0x02, " Required"}, {0x03, " Not Required"}};
  for (const auto& c : cases) {
    Buffer b = AmdX16();
    Put(b, 0x45, {c.code});
    EXPECT_EQ(At(CfiReport(b, false), 0x45)[3], c.value) << c.code;
  }
}

TEST(CfiReport, ByteWidePartAndJ3StopAfterTheirRegions) {
  Buffer x8{};
  Put(x8, 0x10, {'Q', 'R', 'Y', 0x02, 0x00, 0x00, 0x00});
  Put(x8, 0x27, {0x13, 0x00, 0x00, 0x00, 0x00, 0x01, 0x07, 0x00, 0x00, 0x01});
  const auto a = CfiReport(x8, false);
  EXPECT_EQ(At(a, 0x27)[3], " 0x80000 (512Kbyte)");
  EXPECT_EQ(At(a, 0x28)[3], " x8  async");
  EXPECT_EQ(At(a, 0x2D)[3], " 8 * ( 0x10000 )");
  EXPECT_EQ(At(a, 0x31), (CfiRow{" ", " ", " ", " "}));

  // 28F320J3: Intel table address 0x31, below the first table the report
  // decodes; its "PRI" bytes stay unreported.
  Buffer j3{};
  Put(j3, 0x10, {'Q', 'R', 'Y', 0x01, 0x00, 0x31, 0x00, 0x00, 0x00, 0x00, 0x00});
  Put(j3, 0x1B, {0x27, 0x36, 0x00, 0x00, 0x07, 0x07, 0x0A, 0x00, 0x04, 0x04, 0x04, 0x00});
  Put(j3, 0x27, {0x16, 0x02, 0x00, 0x05, 0x00, 0x01, 0x1F, 0x00, 0x00, 0x02});
  Put(j3, 0x31, {'P', 'R', 'I', '1', '1'});
  const auto b = CfiReport(j3, false);
  EXPECT_EQ(At(b, 0x13)[3], " Intel/Sharp Extended");
  EXPECT_EQ(At(b, 0x1F)[3], " 128uS");
  EXPECT_EQ(At(b, 0x27)[3], " 0x400000 (4096Kbyte)");
  EXPECT_EQ(At(b, 0x2A)[3], " 32");
  EXPECT_EQ(At(b, 0x2D)[3], " 32 * ( 0x20000 )");
  EXPECT_EQ(At(b, 0x31), (CfiRow{" ", " ", " ", " "}));
}

TEST(CfiReport, IntelTableListsTheFeatureBitsAndShiftsTheRest) {
  Buffer b{};
  Put(b, 0x10, {'Q', 'R', 'Y', 0x01, 0x00, 0x35, 0x00});
  Put(b, 0x2C, {0x01, 0x3F, 0x00, 0x00, 0x01});
  Put(b, 0x35,
      {'P', 'R', 'I', '1', '0', 0xCE, 0x00, 0x00, 0x00, 0x01, 0x03, 0x00, 0x50, 0xC0, 0x01, 0x80,
       0x00, 0x03, 0x03});
  const auto g = CfiReport(b, false);
  EXPECT_EQ(At(g, 0x2D)[3], " 64 * ( 0x10000 )");
  EXPECT_EQ(At(g, 0x3A)[0], "Optional feature and command support (1=yes,0=no)");
  EXPECT_EQ(At(g, 0x3A)[3], " 11001110 -b");
  EXPECT_EQ(At(g, 0x3D)[1], " 0x3D");
  // Eight bit rows and three notes after 0x3D, without address or code.
  EXPECT_EQ(At(g, 0x3E), (CfiRow{"     bit 0 Chip erase supported", " ", " ", " No"}));
  EXPECT_EQ(At(g, 0x3F)[3], " Yes");
  EXPECT_EQ(At(g, 0x45), (CfiRow{"     bit 7 Page mode read supported", " ", " ", " Yes"}));
  // Every bit row names its own bit and reads it from 0xCE (11001110).
  const char* const kBitRows[] = {
      "     bit 0 Chip erase supported",
      "     bit 1 Suspend erase supported",
      "     bit 2 Suspend program supported",
      "     bit 3 Legacy lock/unlock supported",
      "     bit 4 Queued erase supported",
      "     bit 5 Instant individual block locking supported",
      "     bit 6 Protection bits supported",
      "     bit 7 Page mode read supported",
  };
  for (int bit = 0; bit < 8; ++bit) {
    const char* value = ((0xCE >> bit) & 1) != 0 ? " Yes" : " No";
    EXPECT_EQ(At(g, 0x3E + bit), (CfiRow{kBitRows[bit], " ", " ", value})) << "bit " << bit;
  }
  EXPECT_EQ(At(g, 0x46)[0],
            "  bits 9 \u201331 are reserved;undefined bits are \u201c0.\u201dIf bit");
  EXPECT_EQ(At(g, 0x47)[0], "  31 is \u201c1 \u201dthen another 31 bit field of optional");
  EXPECT_EQ(At(g, 0x48)[0], "  features follows at the end of the bit-30 field.");
  // 0x3E on: eleven rows below its offset.
  EXPECT_EQ(At(g, 0x3E, 11)[0], "Supported functions after suspend:Read Array,Status,Query");
  EXPECT_EQ(At(g, 0x3E, 11)[1], " 0x3E");
  EXPECT_EQ(At(g, 0x3E, 11)[3], " YES");
  EXPECT_EQ(At(g, 0x41, 11)[3], " 5.0 V");
  EXPECT_EQ(At(g, 0x42, 11)[3], " 12.0 V");
  EXPECT_EQ(At(g, 0x44, 11)[3], " 80h");
  EXPECT_EQ(At(g, 0x45, 11)[3], " 00h");
  EXPECT_EQ(At(g, 0x46, 11)[3], " 8 byte");
  EXPECT_EQ(At(g, 0x48, 11)[0], "Reserved for future use");
}

TEST(CfiReport, ValuesTooLargeForThirtyTwoBitsAndUnprintableBytes) {
  Buffer b{};
  Put(b, 0x10, {'Q', 0x00, 0x07});
  Put(b, 0x1F, {0x1F, 0x20, 0xFF});
  Put(b, 0x27, {0x1F, 0x00, 0x00, 0xFF, 0xFF});
  const auto g = CfiReport(b, false);
  EXPECT_EQ(At(g, 0x11)[3], " .");
  EXPECT_EQ(At(g, 0x12)[3], " .");
  EXPECT_EQ(At(g, 0x1F)[3], " 2147483648uS");
  EXPECT_EQ(At(g, 0x20)[3], " --");
  EXPECT_EQ(At(g, 0x21)[3], " --");
  EXPECT_EQ(At(g, 0x27)[3], " 0x80000000 (2097152Kbyte)");
  EXPECT_EQ(At(g, 0x2A)[3], " --");
  b[0x27 - 0x10] = 0x20;
  EXPECT_EQ(At(CfiReport(b, false), 0x27)[3], " --");
}

TEST(CfiReport, HostileBuffersStayInsideBufferAndGrid) {
  // 255 regions: written while they fit the grid, ended at the buffer.
  Buffer many{};
  Put(many, 0x2C, {0xFF});
  const auto g = CfiReport(many, false);
  ASSERT_EQ(g.size(), 100u);
  EXPECT_EQ(At(g, 0x71)[0], "Erase Block Region 17 Information");
  EXPECT_EQ(At(g, 0x71)[3], " 1 * ( 0x0 )");
  EXPECT_EQ(At(g, 0x72)[1], " 0x72");

  // A table address far outside: no table rows, nothing else touched.
  Buffer far{};
  Put(far, 0x15, {0xFF, 0xFF});
  const auto f = CfiReport(far, false);
  EXPECT_EQ(At(f, 0x15)[3], " 0x FFFF");
  for (int offset = 0x2D; offset <= 0x72; ++offset) {
    EXPECT_EQ(At(f, offset), (CfiRow{" ", " ", " ", " "})) << offset;
  }

  // A table whose header would run past the buffer.
  Buffer edge{};
  Put(edge, 0x15, {0x7C, 0x00});
  EXPECT_EQ(CfiReport(edge, false).size(), 100u);

  Buffer ones;
  ones.fill(0xFF);
  const auto o = CfiReport(ones, false);
  EXPECT_EQ(At(o, 0x2C)[3], " 255");
  EXPECT_EQ(At(o, 0x10)[3], " .");
  // Values beyond a byte are taken as the byte the port could have read.
  Buffer wide;
  wide.fill(0x1234);
  EXPECT_EQ(At(CfiReport(wide, false), 0x10)[2], " 0x34");

  Buffer zero{};
  const auto z = CfiReport(zero, false);
  EXPECT_EQ(At(z, 0x1F)[3], " Not Supported");
  EXPECT_EQ(At(z, 0x27)[3], " 0x1 (0Kbyte)");
  EXPECT_EQ(At(z, 0x2D), (CfiRow{" ", " ", " ", " "}));

  // A buffer shorter than the standard fields ends where it ends.
  const std::vector<int> short_buffer = {'Q', 'R', 'Y', 0x02};
  const auto s = CfiReport(short_buffer, false);
  EXPECT_EQ(At(s, 0x12)[3], " Y");
  EXPECT_EQ(At(s, 0x13), (CfiRow{" ", " ", " ", " "}));

  // A buffer that ends with a field's last byte shows that field whole and
  // nothing after it: each field is as long as the standard makes it.
  const struct {
    int first, last;
  } fields[] = {{0x13, 0x14}, {0x15, 0x16}, {0x17, 0x18}, {0x19, 0x1A}, {0x1B, 0x1B},
                {0x27, 0x27}, {0x28, 0x29}, {0x2A, 0x2B}, {0x2C, 0x2C}};
  for (const auto& f : fields) {
    SCOPED_TRACE(f.first);
    const std::vector<int> upto(static_cast<size_t>(f.last - 0x10 + 1), 0x01);
    const auto r = CfiReport(upto, false);
    EXPECT_NE(At(r, f.first)[0], " ");
    char address[16];
    std::snprintf(address, sizeof address, " 0x%02X", f.last);
    EXPECT_EQ(At(r, f.last)[1], address);
    EXPECT_EQ(At(r, f.last + 1), (CfiRow{" ", " ", " ", " "}));
  }
}

TEST(CfiReport, TitleNamesTheDevice) {
  EXPECT_EQ(families::flash::CfiTitle(" Am29LV160DB"),
            " --  Am29LV160DB -- CFI ( Common Flash memory Interface )");
}

}  // namespace

namespace {

// The command-set and interface names, each code of the tables and one
// beside them.
TEST(CfiNames, CommandSetsAndInterfaces) {
  using families::flash::CfiCommandSetName;
  using families::flash::CfiInterfaceName;
  const struct {
    unsigned code;
    const char* primary;
    const char* alternate;
  } sets[] = {{0x0001, " Intel/Sharp Extended", " Intel/Sharp Extended"},
              {0x0002, " AMD/Fujitsu Standard", " AMD/Fujitsu Standard"},
              {0x0003, " Intel Standard", " Intel Standard"},
              {0x0004, " AMD/Fujitsu Extended", " AMD/Fujitsu Extended "},
              {0x0071, " SST", " --"},
              {0x0100, " Mitsubishi Standard", " Mitsubishi Standard"},
              {0x0101, " Mitsubishi Extended", " Mitsubishi Extendedd"},
              {0x0102, " Page Write", " SST Page Write"},
              {0x0005, " --", " --"},
              {0x0000, " --", " --"}};
  for (const auto& c : sets) {
    EXPECT_EQ(CfiCommandSetName(c.code, false), c.primary) << c.code;
    EXPECT_EQ(CfiCommandSetName(c.code, true), c.alternate) << c.code;
  }
  const struct {
    unsigned code;
    const char* name;
  } interfaces[] = {{0, " x8  async"},    {1, " x16 async"}, {2, " x8/x16 async"},
                    {3, " x32  async"},   {4, " -- "},       {5, " x16/x32 async"},
                    {6, " -- "},          {0x102, " -- "}};
  for (const auto& c : interfaces) EXPECT_EQ(CfiInterfaceName(c.code), c.name) << c.code;
}

}  // namespace
