#include "app/sim_harness.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
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

std::string CheckSimChipPath(const std::string& path) {
  const std::string name = "the simulated chip file " + path;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return name + " is a directory";
    if (!S_ISREG(st.st_mode)) return name + " is not a regular file";
    if (::access(path.c_str(), R_OK | W_OK) != 0) {
      return name + " cannot be written: " + std::strerror(errno);
    }
    return {};
  }
  if (errno != ENOENT) return name + " cannot be used: " + std::strerror(errno);
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  if (::stat(folder.c_str(), &st) != 0) {
    return name + " cannot be created: " + std::strerror(errno);
  }
  if (!S_ISDIR(st.st_mode)) return name + " cannot be created: " + folder + " is no folder";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return name + " cannot be created: " + std::strerror(errno);
  }
  return {};
}

std::string LoadSimChip(const std::string& path, sim::Chip& chip, std::string_view device) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return "the simulated chip file " + path + " is not a regular file";
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read the simulated chip file " + path + ": " + std::strerror(errno);
  std::vector<uint8_t> bytes;
  try {
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    return "cannot read the simulated chip file " + path;
  }
  if (in.bad()) return "cannot read the simulated chip file " + path;
  const std::string error = sim::DecodeChipFile(bytes, chip, device);
  if (!error.empty()) return "the simulated chip file " + path + " cannot be used: " + error;
  return {};
}

std::string SaveSimChip(const std::string& path, const sim::Chip& chip, std::string_view device) {
  const std::vector<uint8_t> bytes = sim::EncodeChipFile(chip, device);
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    // Unchanged contents: no new file (and no new time stamp) for nothing.
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> old;
    try {
      old.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
      old.clear();
    }
    if (!in.bad() && old == bytes) return {};
  }
  image::AtomicFile out;
  if (out.Open(path)) {
    out.Write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (out.Commit()) return {};
  }
  return "cannot write the simulated chip file " + path;
}

}  // namespace app
