#include "sim/trace_vcd.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <string_view>

namespace sim {
namespace {

struct VarInfo {
  const char* name;
  int width;
};

// In the order of VcdTraceSink::Var; the registers belong to the board, the
// rest to the socket.
constexpr VarInfo kVars[] = {
    {"data_reg", 8},    {"status_reg", 8},  {"control_reg", 8}, {"address", 24}, {"data", 8},
    {"port_drives", 1}, {"chip_drives", 1}, {"oe_n", 1},        {"ce_n", 1},     {"pgm_n", 1},
    {"vpp", 1},         {"vcc", 1},         {"read_load", 1},
};
static_assert(std::size(kVars) == VcdTraceSink::kVarCount);
constexpr int kFirstSocketVar = VcdTraceSink::kAddress;

constexpr char Id(int var) { return static_cast<char>('!' + var); }
constexpr uint32_t Bit(int var) { return uint32_t{1} << var; }

}  // namespace

VcdTraceSink::VcdTraceSink(std::unique_ptr<TraceFile> file) : file_(std::move(file)) {
  WriteHeader();
}

void VcdTraceSink::WriteHeader() {
  std::string h =
      "$version daraz simulated board $end\n"
      "$timescale 1 ns $end\n"
      "$scope module board $end\n";
  for (int var = 0; var < kVarCount; ++var) {
    if (var == kFirstSocketVar) h += "$scope module socket $end\n";
    const VarInfo& v = kVars[var];
    h += "$var wire " + std::to_string(v.width) + " " + Id(var) + " " + v.name;
    if (v.width > 1) h += " [" + std::to_string(v.width - 1) + ":0]";
    h += " $end\n";
  }
  h += "$upscope $end\n$upscope $end\n$enddefinitions $end\n";
  file_->Write(h);
}

char* VcdTraceSink::PutTime(char* p) {
  *p++ = '#';
  p = std::to_chars(p, p + 20, time_).ptr;
  *p++ = '\n';
  time_written_ = true;
  return p;
}

char* VcdTraceSink::PutValue(char* p, int var, uint32_t value, bool known) {
  if (kVars[var].width == 1) {
    *p++ = known ? static_cast<char>('0' + (value & 1)) : 'x';
  } else {
    // Leading zeros left out: a shorter vector is extended with zeros.
    *p++ = 'b';
    if (!known) {
      *p++ = 'x';
    } else {
      for (int bit = std::max(static_cast<int>(std::bit_width(value)), 1) - 1; bit >= 0; --bit) {
        *p++ = static_cast<char>('0' + ((value >> bit) & 1));
      }
    }
    *p++ = ' ';
  }
  *p++ = Id(var);
  *p++ = '\n';
  return p;
}

void VcdTraceSink::Record(const TraceEntry& access, const SocketSignals& socket) {
  uint32_t next[kVarCount];
  std::copy(std::begin(values_), std::end(values_), next);
  uint32_t known = known_ | ~(Bit(kDataReg) | Bit(kStatusReg) | Bit(kControlReg));

  // The status register is read-only: a write to it changes nothing.
  const auto reg = [&](int var) {
    next[var] = access.value;
    known |= Bit(var);
  };
  switch (static_cast<uint16_t>(access.port - base_)) {
    case 0:
      reg(kDataReg);
      break;
    case 1:
      if (!access.write) reg(kStatusReg);
      break;
    case 2:
      reg(kControlReg);
      break;
    default:
      break;
  }
  next[kAddress] = socket.address & 0xFFFFFF;
  next[kData] = socket.bus;
  next[kPortDrives] = socket.driver == BusDriver::kPort || socket.driver == BusDriver::kBoth;
  next[kChipDrives] = socket.driver == BusDriver::kChip || socket.driver == BusDriver::kBoth;
  next[kOeN] = socket.oe_n;
  next[kCeN] = socket.ce_n;
  next[kPgmN] = socket.pgm_n;
  next[kVpp] = socket.vpp;
  next[kVcc] = socket.vcc;
  next[kReadLoad] = socket.read_load;

  if (!started_) {
    started_ = true;
    time_ = access.time_ns;
    char* p = PutTime(file_->Reserve(kMaxRecord));
    for (const char c : std::string_view("$dumpvars\n")) *p++ = c;
    for (int var = 0; var < kVarCount; ++var) {
      p = PutValue(p, var, next[var], (known & Bit(var)) != 0);
    }
    for (const char c : std::string_view("$end\n")) *p++ = c;
    file_->Commit(p);
  } else {
    if (access.time_ns > time_) {
      time_ = access.time_ns;
      time_written_ = false;
    }
    const uint32_t newly_known = known & ~known_;
    char* p = file_->Reserve(kMaxRecord);
    for (int var = 0; var < kVarCount; ++var) {
      if (next[var] == values_[var] && (newly_known & Bit(var)) == 0) continue;
      if (!time_written_) p = PutTime(p);
      p = PutValue(p, var, next[var], true);
    }
    file_->Commit(p);
  }
  std::copy(std::begin(next), std::end(next), values_);
  known_ = known;
}

bool VcdTraceSink::Finish(std::string* error) {
  // A last timestamp shows how long the final state lasted.
  if (!time_written_) file_->Commit(PutTime(file_->Reserve(kMaxRecord)));
  return file_->Finish(error);
}

}  // namespace sim
