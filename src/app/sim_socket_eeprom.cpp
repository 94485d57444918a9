#include "app/sim_socket_eeprom.h"

#include "app/programmer.h"
#include "sim/eeprom_parts.h"
#include "sim/flash12v.h"
#include "sim/mx26c_parts.h"
#include "sim/parallel_eeprom.h"
#include "sim/sram_chip.h"

namespace app {
namespace {

using Layout = sim::SocketMap::Layout;

// Which part a catalogue device puts in the socket, and how its pins meet
// the board (the 28-pin parts whose WE# sits on the board's A14 pin are
// scrambled).
struct EepromSocket {
  int family;
  int code;
  std::string_view part;
  Layout layout = Layout::kDirect;
};

constexpr EepromSocket kEepromSockets[] = {
    // 28Cxxx byte write
    {5, 1, "AT28C64"},
    {5, 2, "28C128"},
    {5, 3, "AT28C256", Layout::kScrambled},
    {5, 4, "AT28C512"},
    {5, 5, "AT28C010"},
    {5, 6, "28C020"},
    {5, 7, "AT28C040"},
    {5, 8, "AT28C17"},
    {5, 9, "AT28C16"},
    {5, 10, "X2816"},
    {5, 11, "X2864"},
    {5, 12, "X2804"},
    {5, 13, "X2808"},
    {5, 114, "CAT28C64"},
    // AT28C page write
    {7, 101, "AT28C64B"},
    {7, 102, "AT28C256", Layout::kScrambled},
    {7, 103, "AT28C512"},
    {7, 104, "AT28C010"},
    {7, 105, "28C020"},
    {7, 106, "AT28C040"},
    // AT29C sector write (the AT29C256 sits on its own jumper, unscrambled)
    {9, 102, "AT29C256"},
    {9, 301, "AT29C256"},
    {9, 103, "AT29C257"},
    {9, 104, "AT29C512"},
    {9, 302, "AT29C512"},
    {9, 105, "AT29C010A"},
    {9, 303, "AT29C010A"},
    {9, 106, "AT29C020"},
    {9, 304, "AT29C020"},
    {9, 107, "AT29C040A"},
    {9, 305, "AT29C040A"},
    {9, 108, "AT29C040"},
    {9, 306, "AT29C040"},
    {9, 109, "AE29F2008"},
    // W29EE / SST29EE sector write
    {21, 201, "W29EE512"},
    {21, 202, "W29EE011"},
    {21, 203, "W29C020"},
    {21, 204, "W29C040"},
};

// MX26C1000/2000 (family 30): the 12 V command-set model with the part's row.
struct Mx26Socket {
  int code;
  std::string_view part;
};

constexpr Mx26Socket kMx26Sockets[] = {
    {101, "MX26C1000"},
    {102, "MX26C2000"},
};

struct RamSocket {
  int family;
  int code;
  uint32_t size;  // the part's bytes (a timekeeper's clock registers included)
  sim::RamKind kind;
  Layout layout = Layout::kDirect;
  int select_line = -1;
};

constexpr uint32_t KB = 1024;

constexpr RamSocket kRamSockets[] = {
    // Static RAM
    {20, 1, 2 * KB, sim::RamKind::kStatic},                            // 6116
    {20, 2, 8 * KB, sim::RamKind::kStatic, Layout::kDirect, 13},       // 6264: CS2 on A13
    {20, 3, 32 * KB, sim::RamKind::kStatic, Layout::kScrambled},       // 62256
    {20, 4, 64 * KB, sim::RamKind::kStatic, Layout::kScrambled, 17},   // 62512
    {20, 5, 128 * KB, sim::RamKind::kStatic, Layout::kScrambled, 17},  // 628128: CS2 on A17
    // NVRAM modules
    {19, 1, 2 * KB, sim::RamKind::kNvram},                        // DS1220
    {19, 2, 8 * KB, sim::RamKind::kNvram},                        // DS1225
    {19, 3, 32 * KB, sim::RamKind::kNvram, Layout::kScrambled},   // DS1230
    {19, 4, 128 * KB, sim::RamKind::kNvram, Layout::kScrambled},  // DS1245
    {19, 5, 256 * KB, sim::RamKind::kNvram, Layout::kScrambled},  // DS1249
    // Timekeepers: the clock registers are the top 8 bytes of the part
    {19, 201, 2 * KB, sim::RamKind::kTimekeeper},                       // M48T02
    {19, 202, 8 * KB, sim::RamKind::kTimekeeper},                       // M48T08
    {19, 203, 32 * KB, sim::RamKind::kTimekeeper, Layout::kScrambled},  // M48T35
    {19, 204, 128 * KB, sim::RamKind::kTimekeeper, Layout::kScrambled},
    {19, 205, 512 * KB, sim::RamKind::kTimekeeper, Layout::kScrambled},
};

const EepromSocket* FindEepromSocket(int family, int code) {
  for (const EepromSocket& s : kEepromSockets) {
    if (s.family == family && s.code == code) return &s;
  }
  return nullptr;
}

}  // namespace

std::string_view EepromPartFor(int family, int device_code) {
  const EepromSocket* socket = FindEepromSocket(family, device_code);
  return socket == nullptr ? std::string_view() : socket->part;
}

std::unique_ptr<sim::Chip> MakeEepromChip(const Programmer& p) {
  const EepromSocket* socket = FindEepromSocket(p.dev.family, p.dev.device_code);
  if (socket == nullptr) return nullptr;
  const sim::EepromPart* part = sim::FindEepromPart(socket->part);
  if (part == nullptr) return nullptr;
  sim::EepromConfig config;
  config.part = *part;
  config.map.layout = socket->layout;
  config.map.size = p.image.full_device_size;
  return std::make_unique<sim::ParallelEeprom>(config);
}

std::unique_ptr<sim::Chip> MakeMx26Chip(const Programmer& p) {
  for (const Mx26Socket& s : kMx26Sockets) {
    if (p.dev.family != 30 || s.code != p.dev.device_code) continue;
    if (const sim::Flash12VPart* part = sim::FindMx26cPart(s.part)) {
      return std::make_unique<sim::Flash12V>(*part);
    }
  }
  return nullptr;
}

std::unique_ptr<sim::Chip> MakeRamChip(const Programmer& p) {
  for (const RamSocket& s : kRamSockets) {
    if (s.family != p.dev.family || s.code != p.dev.device_code) continue;
    sim::SramConfig config;
    config.map.layout = s.layout;
    config.map.size = s.size;
    config.map.select_line = s.select_line;
    config.kind = s.kind;
    return std::make_unique<sim::Sram>(config);
  }
  return nullptr;
}

}  // namespace app
