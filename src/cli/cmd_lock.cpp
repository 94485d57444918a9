// The microcontroller commands `lock`, `fuse` and `lockbits`. Each family
// that has lock bits or fuses adds its row to the tables below: which
// values its number takes and what they mean, where the value goes (the
// panel control the window would set), and the routine that writes or
// reads, run through the same frame as the panel's buttons.
#include <cstdio>
#include <initializer_list>
#include <string>

#include "app/actions.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/report.h"
#include "families/mcu/avr.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcu_select.h"

namespace cli {
namespace {

bool In(int family, std::initializer_list<int> families) {
  for (const int f : families) {
    if (f == family) return true;
  }
  return false;
}

// --- lock -------------------------------------------------------------------

struct LockRow {
  std::initializer_list<int> families;
  int min, max;         // the values `--lock` takes
  const char* meaning;  // what they mean, for the refusal
  void (*apply)(app::Programmer& p, int value);
  app::Routine routine;
};

void Mcs51LockChoice(app::Programmer& p, int value) { families::mcs51::rbLockClick(p, value); }
void AvrLockMode(app::Programmer& p, int value) { families::avr::rbAVRmClick(p, value); }

const LockRow kLockRows[] = {
    {{10},
     0,
     3,
     "0 no lock bit, 1 lock bit 1, 2 lock bits 1+2, 3 lock bits 1+2+3",
     &Mcs51LockChoice,
     &families::mcs51::LockChip},
    // Lock bit 3 does not exist on the 20-pin parts.
    {{11},
     0,
     2,
     "0 no lock bit, 1 lock bit 1, 2 lock bits 1+2",
     &Mcs51LockChoice,
     &families::mcs51::LockChip},
    {{14},
     1,
     3,
     "1 no program lock, 2 further programming disabled, 3 verify disabled as well",
     &AvrLockMode,
     &families::avr::WriteLockBits},
};

// --- fuse ---------------------------------------------------------------------

struct FuseRow {
  std::initializer_list<int> families;
  // The largest value the selected part takes; -1 when it has no fuses.
  int (*max)(const app::Programmer& p);
  const char* meaning;
  void (*apply)(app::Programmer& p, int value);
  app::Routine routine;
  // Whether the selected part takes this value within the range; nullptr:
  // every value does.
  bool (*takes)(const app::Programmer& p, int value) = nullptr;
};

// The option group's boxes: as many bits as the part enables.
int Mcs51OptionMax(const app::Programmer& p) {
  const app::Controls& c = p.controls;
  if (!c.Visible("cbMCS51spi")) return -1;
  int bits = 0;
  for (const auto box : families::mcu::kMcs51OptionBoxes) bits += c.Enabled(box) ? 1 : 0;
  return (1 << bits) - 1;
}

void Mcs51OptionWord(app::Programmer& p, int value) {
  for (int i = 0; i < 4; ++i) {
    p.controls.Check(families::mcu::kMcs51OptionBoxes[i], ((value >> i) & 1) != 0);
  }
  families::mcs51::cbMCS51spiClick(p);
}

int AvrFuseMax(const app::Programmer&) { return 0xFF; }

// The six boxes set the byte's low bits; bits 6 and 7 have no box, and a
// box the selection disabled cannot be cleared.
bool AvrFuseTakes(const app::Programmer& p, int value) {
  if ((value & 0xC0) != 0xC0) return false;
  for (int i = 0; i < 6; ++i) {
    if (!p.controls.Enabled(families::mcu::kAvrFuseBoxes[i]) && ((value >> i) & 1) == 0) {
      return false;
    }
  }
  return true;
}

void AvrFuseByte(app::Programmer& p, int value) {
  for (int i = 0; i < 6; ++i) {
    p.controls.Check(families::mcu::kAvrFuseBoxes[i], ((value >> i) & 1) != 0);
  }
  families::avr::cbFbit0Click(p);
}

const FuseRow kFuseRows[] = {
    {{10},
     &Mcs51OptionMax,
     "bit 0 serial programming off (the AT89S8252/53 take this bit only), bit 1 x2 clock off, "
     "bit 2 user row programming off, bit 3 crystal clock",
     &Mcs51OptionWord,
     &families::mcs51::WriteOption},
    {{14},
     &AvrFuseMax,
     "bits 0..5 the fuse boxes (1 = unprogrammed), bits 6 and 7 set; a box the part lacks stays 1",
     &AvrFuseByte,
     &families::avr::WriteFuseBits,
     &AvrFuseTakes},
};

// --- lockbits -------------------------------------------------------------------

struct LockReadRow {
  std::initializer_list<int> families;
  app::Routine routine;
  const char* text;  // the control that shows the result
  // The byte read, or -1 where the part cannot be read.
  int (*value)(const app::Programmer& p);
};

int Mcs51LockByte(const app::Programmer& p) {
  return p.controls.Text("pRdLB") == families::mcs51::kCannotReadLockBits ? -1
                                                                          : p.dev.mcs51.sig_lbit;
}

const LockReadRow kLockReadRows[] = {
    {{10, 11}, &families::mcs51::ReadLockBits, "pRdLB", &Mcs51LockByte},
};

template <typename Row, size_t N>
const Row* FindRow(const Row (&rows)[N], int family) {
  for (const Row& row : rows) {
    if (In(family, row.families)) return &row;
  }
  return nullptr;
}

int NoSuchCommand(const Session& s, const char* what) {
  const std::string device =
      s.selected() != nullptr ? std::string(s.selected()->caption) : "the device";
  Error(device + " has no " + what + " this command can reach");
  return kUsage;
}

int Refuse(const char* option, int value, const char* meaning) {
  Error(std::string(option) + " " + std::to_string(value) + " is not a value this device takes (" +
        meaning + ")");
  return kUsage;
}

int Run(Session& s, app::Routine routine) {
  app::Programmer& p = s.programmer();
  s.host().Reset();
  p.error = 0;
  app::RunExtraAction(p, routine);
  return s.ActionResult();
}

}  // namespace

int CmdLock(const GlobalOptions& g, const std::string& device, const std::optional<int>& value) {
  Session s(g);
  if (int rc = s.Select(device)) return rc;
  app::Programmer& p = s.programmer();
  const LockRow* row = FindRow(kLockRows, p.dev.family);
  if (row == nullptr) return NoSuchCommand(s, "lock bits");
  if (value) {
    if (*value < row->min || *value > row->max) return Refuse("--lock", *value, row->meaning);
    row->apply(p, *value);
  }
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  return s.Finish(Run(s, row->routine));
}

int CmdFuse(const GlobalOptions& g, const std::string& device, int value) {
  Session s(g);
  if (int rc = s.Select(device)) return rc;
  app::Programmer& p = s.programmer();
  const FuseRow* row = FindRow(kFuseRows, p.dev.family);
  const int max = row != nullptr ? row->max(p) : -1;
  if (max < 0) return NoSuchCommand(s, "fuses");
  if (value < 0 || value > max || (row->takes != nullptr && !row->takes(p, value))) {
    return Refuse("--value", value, row->meaning);
  }
  row->apply(p, value);
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  return s.Finish(Run(s, row->routine));
}

int CmdLockBits(const GlobalOptions& g, const std::string& device) {
  Session s(g);
  if (int rc = s.Select(device)) return rc;
  app::Programmer& p = s.programmer();
  const LockReadRow* row = FindRow(kLockReadRows, p.dev.family);
  if (row == nullptr) return NoSuchCommand(s, "lock bits");
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  const int rc = Run(s, row->routine);
  if (rc == kOk) {
    const std::string text = p.controls.Text(row->text);
    const int value = row->value(p);
    if (g.json) {
      Json j;
      j.BeginObject().Field("text", text);
      if (value >= 0) j.Field("value", value);
      j.EndObject();
      std::printf("%s\n", j.str().c_str());
    } else if (!g.quiet) {
      if (value >= 0) {
        std::printf("Lock bits: 0x%02X %s\n", value, text.c_str());
      } else {
        std::printf("Lock bits:%s\n", text.c_str());
      }
    }
  }
  return s.Finish(rc);
}

}  // namespace cli
