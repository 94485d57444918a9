#include "families/flash/cfi.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>

namespace families::flash {
namespace {

enum class Decode {
  kEmpty,
  kChar,           // one row per offset
  kVolts,          // upper nibble volts, lower nibble tenths
  kPow2,           // 2^byte with a unit, 0: not supported
  kWordAddress,    // the 16-bit value
  kCommandSet,     // primary command-set name
  kAltCommandSet,  // alternate command-set name
  kDeviceSize,
  kInterface,
  kMultiByte,  // 2^(16-bit value), 0: not supported
  kCount,
  kYesNoBit0,  // " YES" / " NO"
  kHexEach,    // " %0.2Xh" on every row of the field
  kBits,       // " %d%d%d%d%d%d%d%d -b", bit 7 first
  kUnlock,     // AMD: address-sensitive unlock
  kEraseSuspend,
  kSectorProtect,
  kSupported,  // 0: not supported, else supported
  kPageMode,
  kVoltsOrNone,  // volts, 0: not supported
};

struct Field {
  int offset;
  int count;
  const char* description;
  Decode decode;
  const char* unit = "";
};

// The fields every query area has, from offset 0x10 to the region count.
constexpr Field kStandard[] = {
    {0x10, 3, "Query-unique ASCII string - QRY -", Decode::kChar},
    {0x13, 2, "Primary OEM Command Set", Decode::kCommandSet},
    {0x15, 2, "Address for Primary Extended Table", Decode::kWordAddress},
    {0x17, 2, "Alternate OEM Command", Decode::kAltCommandSet},
    {0x19, 2, "Address for Alternate OEM Extended Table ", Decode::kWordAddress},
    {0x1B, 1, "VCC Min. (write/erase) D7-4: volt, D3-0: 100 mVolt", Decode::kVolts},
    {0x1C, 1, "VCC Max. (write/erase) D7-4: volt, D3-0: 100 mVolt", Decode::kVolts},
    {0x1D, 1, "VPP Min. voltage  D7-4: volt, D3-0: 100 mVolt", Decode::kVolts},
    {0x1E, 1, "VPP Max. voltage  D7-4: volt, D3-0: 100 mVolt", Decode::kVolts},
    {0x1F, 1, "Typical timeout per single byte/word write 2^n uS", Decode::kPow2, "uS"},
    {0x20, 1, "Typical timeout for Min. size buffer write 2^n uS", Decode::kPow2, "uS"},
    {0x21, 1, "Typical timeout per individual block erase 2^n mS", Decode::kPow2, "mS"},
    {0x22, 1, "Typical timeout for full chip erase 2^n ms", Decode::kPow2, "mS"},
    {0x23, 1, "Max. timeout for byte/word write 2^n times typical", Decode::kPow2, " "},
    {0x24, 1, "Max. timeout for buffer write 2^n times typical", Decode::kPow2, " "},
    {0x25, 1, "Max. timeout per individual block erase 2^n times typical", Decode::kPow2, " "},
    {0x26, 1, "Max. timeout for full chip erase 2^n times typical", Decode::kPow2, " "},
    {0x27, 1, "Device Size = 2^N byte", Decode::kDeviceSize},
    {0x28, 2, "Flash Device Interface description", Decode::kInterface},
    {0x2A, 2, "Max. number of byte in multi-byte write = 2^n", Decode::kMultiByte},
    {0x2C, 1, "Number of Erase Block Regions within device", Decode::kCount},
};

constexpr int kRegionCountOffset = 0x2C;
constexpr int kFirstRegionOffset = 0x2D;
constexpr int kPrimaryAddressOffset = 0x15;
constexpr int kIntelTable = 0x35;
constexpr int kAmdTable = 0x40;

// The primary table header at P .. P + 4.
struct HeaderRow {
  int delta;
  const char* description;
};
constexpr HeaderRow kPrimaryHeader[] = {
    {0, "Query-unique ASCII string - PRI -"},
    {1, nullptr},
    {2, nullptr},
    {3, "Major version number,ASCII"},
    {4, "Minor version number, ASCII"},
};

// The Intel extended table after its feature word (0x3A..0x3D).
constexpr Field kIntelBeforeBits[] = {
    {0x3A, 4, "Optional feature and command support (1=yes,0=no)", Decode::kBits},
};
constexpr const char* kIntelBitRows[] = {
    "     bit 0 Chip erase supported",      "     bit 1 Suspend erase supported",
    "     bit 2 Suspend program supported", "     bit 3 Legacy lock/unlock supported",
    "     bit 4 Queued erase supported",    "     bit 5 Instant individual block locking supported",
    "     bit 6 Protection bits supported", "     bit 7 Page mode read supported",
};
constexpr const char* kIntelNoteRows[] = {
    "  bits 9 \u201331 are reserved;undefined bits are \u201c0.\u201dIf bit",
    "  31 is \u201c1 \u201dthen another 31 bit field of optional",
    "  features follows at the end of the bit-30 field.",
};
// The feature bits and notes take these rows of the grid, so the fields
// that follow sit that many rows below their offset.
constexpr int kIntelInserted =
    static_cast<int>(std::size(kIntelBitRows) + std::size(kIntelNoteRows));
constexpr Field kIntelAfterBits[] = {
    {0x3E, 1, "Supported functions after suspend:Read Array,Status,Query", Decode::kYesNoBit0},
    {0x3F, 2, "Block status register mask", Decode::kEmpty},
    {0x41, 1, "VCC logic supply highest performance program/erase voltage", Decode::kVolts},
    {0x42, 1, "VPP optimum program/erase supply voltage", Decode::kVolts},
    {0x43, 1, "Number of Protection register fields in JEDEC ID space.", Decode::kEmpty},
    {0x44, 2, "Protection Field 1:Protection Description", Decode::kHexEach},
    {0x46, 1, "", Decode::kPow2, " byte"},
    {0x47, 1, "", Decode::kPow2, " byte"},
    {0x48, 1, "Reserved for future use", Decode::kEmpty},
};

constexpr Field kAmdTableFields[] = {
    {0x45, 1, "Address Sensitive Unlock", Decode::kUnlock},
    {0x46, 1, "Erase Suspend", Decode::kEraseSuspend},
    {0x47, 1, "Sector Protect", Decode::kSectorProtect},
    {0x48, 1, "Sector Temporary Unprotect", Decode::kSupported},
    {0x49, 1, "Sector Protection Algorithm", Decode::kEmpty},
    {0x4A, 1, "Number of Sector for Bank 2", Decode::kEmpty},
    {0x4B, 1, "Burst Mode Type", Decode::kSupported},
    {0x4C, 1, "Page Mode Type", Decode::kPageMode},
    {0x4D, 1, "ACC (Acceleration) Supply Minimum", Decode::kVoltsOrNone},
    {0x4E, 1, "ACC (Acceleration) Supply Maximum", Decode::kVoltsOrNone},
};

std::string Printf(const char* format, auto... args) {
  char text[96];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// 2^n as text, or nothing when it does not fit 32 bits.
std::optional<uint32_t> Pow2(unsigned n) {
  if (n >= 32) return std::nullopt;
  return uint32_t{1} << n;
}

std::string Volts(unsigned b) { return Printf(" %u.%u V", b >> 4, b & 0x0F); }

std::string Pow2Text(unsigned n, const char* unit) {
  if (n == 0) return " Not Supported";
  const auto v = Pow2(n);
  return v ? Printf(" %u%s", *v, unit) : std::string(" --");
}

class Report {
 public:
  explicit Report(std::span<const int> cfi)
      : cfi_(cfi), grid_(kCfiGridRows, CfiRow{" ", " ", " ", " "}) {}

  bool Has(int offset, int count = 1) const {
    return offset >= kCfiFirstOffset &&
           offset + count - kCfiFirstOffset <= static_cast<int>(cfi_.size());
  }
  // Only called for offsets Has() allows.
  unsigned Byte(int offset) const {
    return static_cast<unsigned>(cfi_[static_cast<size_t>(offset - kCfiFirstOffset)]) & 0xFF;
  }
  unsigned Word(int offset) const { return Byte(offset + 1) << 8 | Byte(offset); }

  // Writes a cell of the row `offset` shows (moved down by `shift` rows);
  // a row past the grid is not written.
  void Cell(int offset, int shift, int column, std::string text) {
    const int row = offset - 15 + shift;
    if (row < 0 || row >= kCfiGridRows) return;
    grid_[static_cast<size_t>(row)][static_cast<size_t>(column)] = std::move(text);
  }
  void Code(int offset, int shift) {
    Cell(offset, shift, 1, Printf(" 0x%02X", static_cast<unsigned>(offset)));
    Cell(offset, shift, 2, Printf(" 0x%02X", Byte(offset)));
  }

  // A field of the table: false when it runs past the buffer (the report
  // ends there).
  bool Put(const Field& f, int shift = 0) {
    if (!Has(f.offset, f.count)) return false;
    for (int i = 0; i < f.count; ++i) Code(f.offset + i, shift);
    if (f.description[0] != '\0') Cell(f.offset, shift, 0, f.description);
    if (f.decode == Decode::kChar) {
      for (int i = 0; i < f.count; ++i) Cell(f.offset + i, shift, 3, Char(Byte(f.offset + i)));
    } else if (f.decode == Decode::kHexEach) {
      for (int i = 0; i < f.count; ++i) {
        Cell(f.offset + i, shift, 3, Printf(" %02Xh", Byte(f.offset + i)));
      }
    } else {
      Cell(f.offset, shift, 3, Value(f));
    }
    return true;
  }

  // Each of the fields in turn, until one runs past the buffer.
  bool PutAll(std::span<const Field> fields, int shift = 0) {
    for (const Field& f : fields) {
      if (!Put(f, shift)) return false;
    }
    return true;
  }

  std::vector<CfiRow> Take() { return std::move(grid_); }

 private:
  // A byte shown as a character; one that is not printable shows as '.' so
  // that no control byte (or NUL) of a chip reaches a window or terminal.
  static std::string Char(unsigned b) {
    const char c = b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
    return std::string(" ") + c;
  }

  std::string Value(const Field& f) const {
    const unsigned b = Byte(f.offset);
    switch (f.decode) {
      case Decode::kVolts:
        return Volts(b);
      case Decode::kVoltsOrNone:
        return b == 0 ? " Not Supported" : Volts(b);
      case Decode::kPow2:
        return Pow2Text(b, f.unit);
      case Decode::kWordAddress:
        return Printf(" 0x %04X", Word(f.offset));
      case Decode::kCommandSet:
        return CfiCommandSetName(Word(f.offset), false);
      case Decode::kAltCommandSet:
        return CfiCommandSetName(Word(f.offset), true);
      case Decode::kDeviceSize: {
        const auto v = Pow2(b);
        return v ? Printf(" 0x%X (%uKbyte)", *v, *v / 1024) : std::string(" --");
      }
      case Decode::kInterface:
        return CfiInterfaceName(Word(f.offset));
      case Decode::kMultiByte: {
        const unsigned n = Word(f.offset);
        if (n == 0) return " Not Supported";
        const auto v = Pow2(n);
        return v ? Printf(" %u", *v) : std::string(" --");
      }
      case Decode::kCount:
        return Printf(" %u", b);
      case Decode::kYesNoBit0:
        return (b & 1) != 0 ? " YES" : " NO";
      case Decode::kBits: {
        std::string bits = " ";
        for (int bit = 7; bit >= 0; --bit) bits += ((b >> bit) & 1) != 0 ? '1' : '0';
        return bits + " -b";
      }
      case Decode::kUnlock:
        return (b & 1) != 0 ? " Not Required" : " Required";
      case Decode::kEraseSuspend:
        return b == 0   ? " Not Supported"
               : b == 1 ? " To Read Only"
               : b == 2 ? " To Read & Write"
                        : " --";
      case Decode::kSectorProtect:
        return b == 0 ? " Not Supported" : Printf(" %u = Number of sectors ", b);
      case Decode::kSupported:
        return b == 0 ? " Not Supported" : " Supported";
      case Decode::kPageMode:
        return b == 0   ? " Not Supported"
               : b == 1 ? " 4 Word Page"
               : b == 2 ? " 8 Word Page"
                        : " --";
      case Decode::kEmpty:
      case Decode::kChar:
      case Decode::kHexEach:
        break;
    }
    return " ";
  }

  std::span<const int> cfi_;
  std::vector<CfiRow> grid_;
};

// The erase-block regions; false when one runs past the buffer.
bool PutRegions(Report& r) {
  const unsigned count = r.Byte(kRegionCountOffset);
  for (unsigned i = 0; i < count; ++i) {
    const int at = kFirstRegionOffset + 4 * static_cast<int>(i);
    if (!r.Has(at, 4)) return false;
    for (int k = 0; k < 4; ++k) r.Code(at + k, 0);
    r.Cell(at, 0, 0, Printf("Erase Block Region %u Information", i));
    const unsigned blocks = r.Word(at) + 1;
    const unsigned size = r.Word(at + 2) * 256;
    r.Cell(at, 0, 3, Printf(" %u * ( 0x%X )", blocks, size));
  }
  return true;
}

void PutPrimaryTable(Report& r, int p) {
  if (!r.Has(p, static_cast<int>(std::size(kPrimaryHeader)))) return;
  for (const HeaderRow& h : kPrimaryHeader) {
    Field f{p + h.delta, 1, h.description != nullptr ? h.description : "", Decode::kChar};
    r.Put(f);
  }
  if (p == kIntelTable) {
    if (!r.PutAll(kIntelBeforeBits)) return;
    const unsigned features = r.Byte(kIntelBeforeBits[0].offset);
    int row = kIntelBeforeBits[0].offset + kIntelBeforeBits[0].count;  // the offset the row shows
    for (size_t bit = 0; bit < std::size(kIntelBitRows); ++bit, ++row) {
      r.Cell(row, 0, 0, kIntelBitRows[bit]);
      r.Cell(row, 0, 3, ((features >> bit) & 1) != 0 ? " Yes" : " No");
    }
    for (const char* note : kIntelNoteRows) r.Cell(row++, 0, 0, note);
    r.PutAll(kIntelAfterBits, kIntelInserted);
  } else if (p == kAmdTable) {
    r.PutAll(kAmdTableFields);
  }
}

}  // namespace

std::vector<CfiRow> CfiReport(std::span<const int> cfi, bool no_primary) {
  Report r(cfi);
  r.Cell(15, 0, 0, "              Description ");
  r.Cell(15, 0, 1, " Addr.");
  r.Cell(15, 0, 2, " Code");
  if (!r.PutAll(kStandard) || !PutRegions(r) || no_primary) return r.Take();
  const int p = static_cast<int>(r.Word(kPrimaryAddressOffset));
  if (p >= kIntelTable) PutPrimaryTable(r, p);
  return r.Take();
}

std::string CfiTitle(const std::string& device_name) {
  return " -- " + device_name + " -- CFI ( Common Flash memory Interface )";
}

}  // namespace families::flash
