#include "app/sim_harness.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/number_parse.h"
#include "image/atomic_file.h"
#include "sim/chip_file.h"

namespace app {

std::string FaultPatterns() {
  std::string text;
  for (const sim::FaultKind& kind : sim::FaultKinds()) {
    if (!text.empty()) text += ", ";
    text += kind.Pattern();
  }
  return text;
}

std::string JumperNames() {
  std::string text;
  for (const sim::JumperKind& jumper : sim::JumperKinds()) {
    if (!text.empty()) text += ", ";
    text += jumper.name;
  }
  return text;
}

std::string ParseSimFault(std::string_view text, SimFault& fault) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t colon = text.find(':', start);
    parts.push_back(text.substr(start, colon == std::string_view::npos ? colon : colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  const std::string quoted = "\"" + std::string(text) + "\"";
  const sim::FaultKind* kind = sim::FindFaultKind(parts[0]);
  if (kind == nullptr) return "unknown fault " + quoted + " (the faults: " + FaultPatterns() + ")";
  if (static_cast<int>(parts.size()) != kind->arg_count() + 1) {
    return "fault " + quoted + " is written " + kind->Pattern();
  }
  SimFault out;
  out.kind = kind;
  out.board = kind->board_fault;
  out.chip.kind = std::string(kind->chip_kind);
  for (int i = 0; i < kind->arg_count(); ++i) {
    const sim::FaultArg& arg = kind->args[i];
    std::string_view number = parts[i + 1];
    if (!arg.prefix.empty()) {
      if (number.substr(0, arg.prefix.size()) != arg.prefix) {
        return "fault " + quoted + " is written " + kind->Pattern();
      }
      number.remove_prefix(arg.prefix.size());
    }
    int64_t value = 0;
    const std::string error = ParseNumberInRange(number, arg.name, arg.min, arg.max, value);
    if (!error.empty()) return "fault " + quoted + ": " + error;
    switch (arg.field) {
      case sim::FaultArg::Field::kAddress:
        out.chip.address = static_cast<uint32_t>(value);
        break;
      case sim::FaultArg::Field::kArg1:
        out.chip.arg1 = static_cast<int>(value);
        break;
      case sim::FaultArg::Field::kArg2:
        out.chip.arg2 = static_cast<int>(value);
        break;
    }
  }
  fault = out;
  return {};
}

std::string CheckSimJumper(std::string_view name) {
  if (sim::FindJumperKind(name) != nullptr) return {};
  return "unknown jumper \"" + std::string(name) + "\" (the jumpers: " + JumperNames() + ")";
}

std::string LoadSimChip(const std::string& path, sim::Chip& chip, std::string_view device) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read the simulated chip file " + path + ": " + std::strerror(errno);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  if (in.bad()) return "cannot read the simulated chip file " + path;
  const std::string error = sim::DecodeChipFile(bytes, chip, device);
  if (!error.empty()) return "the simulated chip file " + path + " cannot be used: " + error;
  return {};
}

std::string SaveSimChip(const std::string& path, const sim::Chip& chip, std::string_view device) {
  const std::vector<uint8_t> bytes = sim::EncodeChipFile(chip, device);
  image::AtomicFile out;
  if (out.Open(path)) {
    out.Write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (out.Commit()) return {};
  }
  return "cannot write the simulated chip file " + path;
}

}  // namespace app
