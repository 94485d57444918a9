#include "sim/chip_file.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <set>

namespace sim {
namespace {

constexpr size_t kLongestLine = 512;

bool ValidSectionName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
  });
}

// A header value stays on its line.
std::string OneLine(std::string_view text) {
  std::string line(text);
  std::replace(line.begin(), line.end(), '\n', ' ');
  return line;
}

void Append(std::vector<uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

void AppendSection(std::vector<uint8_t>& out, std::string_view name,
                   const std::vector<uint8_t>& bytes) {
  assert(ValidSectionName(name));
  Append(out, "section " + std::string(name) + " " + std::to_string(bytes.size()) + "\n");
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// Decimal digits only, no sign, no overflow past what a file can hold.
bool ParseLength(std::string_view text, size_t& value) {
  if (text.empty() || text.size() > 12) return false;
  size_t v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<size_t>(c - '0');
  }
  value = v;
  return true;
}

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  // The next line without its '\n'; false when the file ends first or the
  // line is longer than any this format writes.
  bool Line(std::string& line) {
    const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto end = std::find(begin, bytes_.end(), uint8_t{'\n'});
    if (end == bytes_.end() || end - begin > static_cast<std::ptrdiff_t>(kLongestLine)) {
      return false;
    }
    line.assign(begin, end);
    pos_ += line.size() + 1;
    return true;
  }
  bool Bytes(size_t n, std::vector<uint8_t>& out) {
    if (n > bytes_.size() - pos_) return false;
    const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(pos_);
    out.assign(begin, begin + static_cast<std::ptrdiff_t>(n));
    pos_ += n;
    return true;
  }
  bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
};

// "model NAME" -> NAME; nothing when the line has another keyword.
bool Field(const std::string& line, std::string_view keyword, std::string& value) {
  if (line.size() < keyword.size() + 1 || line.compare(0, keyword.size(), keyword) != 0 ||
      line[keyword.size()] != ' ') {
    return false;
  }
  value = line.substr(keyword.size() + 1);
  return true;
}

bool StartsWithMagic(const std::vector<uint8_t>& file) {
  return file.size() >= kChipFileMagic.size() &&
         std::equal(kChipFileMagic.begin(), kChipFileMagic.end(), file.begin());
}

// Puts everything in, or nothing: a section the model refuses takes the
// chip back to what it held before.
std::string Apply(Chip& chip, const std::vector<uint8_t>& cells,
                  const std::vector<StateSection>& state) {
  const std::vector<uint8_t> old_cells = chip.Contents();
  const std::vector<StateSection> old_state = chip.State();
  chip.SetContents(cells);
  for (const StateSection& section : state) {
    if (!chip.SetState(section)) {
      chip.SetContents(old_cells);
      for (const StateSection& old : old_state) chip.SetState(old);
      return "the " + std::string(chip.ModelName()) + " model refuses its section " + section.name +
             " (" + std::to_string(section.bytes.size()) + " bytes)";
    }
  }
  return {};
}

}  // namespace

std::vector<uint8_t> EncodeChipFile(const Chip& chip, std::string_view device) {
  std::vector<uint8_t> out;
  Append(out, std::string(kChipFileMagic) + " " + std::to_string(kChipFileVersion) + "\n");
  Append(out, "model " + OneLine(chip.ModelName()) + "\n");
  Append(out, "device " + OneLine(device) + "\n");
  AppendSection(out, kCellsSection, chip.Contents());
  for (const StateSection& section : chip.State()) {
    AppendSection(out, section.name, section.bytes);
  }
  Append(out, "end\n");
  return out;
}

std::string DecodeChipFile(const std::vector<uint8_t>& file, Chip& chip, std::string_view device) {
  if (!StartsWithMagic(file)) {
    chip.SetContents(file);  // an older file: the cells alone
    return {};
  }
  Reader in(file);
  std::string line, value;
  const std::string expected_magic = std::string(kChipFileMagic) + " ";
  if (!in.Line(line) || line.rfind(expected_magic, 0) != 0) {
    return "the first line is damaged";
  }
  const std::string version = line.substr(expected_magic.size());
  if (version != std::to_string(kChipFileVersion)) {
    return "file version \"" + version + "\" is not one this program reads (" +
           std::to_string(kChipFileVersion) + ")";
  }
  if (!in.Line(line) || !Field(line, "model", value)) return "the model line is missing";
  if (value != chip.ModelName()) {
    return "it holds a chip of the " + value + " model, but the socket holds one of the " +
           std::string(chip.ModelName()) + " model";
  }
  if (!in.Line(line) || !Field(line, "device", value)) return "the device line is missing";
  if (!value.empty() && !device.empty() && value != device) {
    return "it holds a " + value + ", but the socket holds a " + std::string(device);
  }

  const size_t cell_count = chip.Contents().size();
  std::set<std::string, std::less<>> known;
  for (const StateSection& section : chip.State()) known.insert(section.name);

  std::vector<uint8_t> cells;
  bool have_cells = false;
  std::vector<StateSection> state;
  std::set<std::string, std::less<>> seen;
  while (true) {
    if (!in.Line(line)) return "it is truncated (no end line)";
    if (line == "end") break;
    std::string rest;
    if (!Field(line, "section", rest)) return "damaged line \"" + line + "\"";
    const size_t blank = rest.rfind(' ');
    size_t length = 0;
    if (blank == std::string::npos ||
        !ParseLength(std::string_view(rest).substr(blank + 1), length)) {
      return "damaged section line \"" + line + "\"";
    }
    const std::string name = rest.substr(0, blank);
    if (!ValidSectionName(name)) return "damaged section line \"" + line + "\"";
    if (!seen.insert(name).second) return "section " + name + " appears twice";
    std::vector<uint8_t> bytes;
    if (!in.Bytes(length, bytes)) return "it is truncated (in section " + name + ")";
    if (!have_cells) {
      if (name != kCellsSection) return "the cells must come first, not section " + name;
      if (length != cell_count) {
        return "it holds " + std::to_string(length) + " cells, but the chip in the socket has " +
               std::to_string(cell_count);
      }
      cells = std::move(bytes);
      have_cells = true;
      continue;
    }
    if (known.find(name) == known.end()) {
      return "unknown section " + name + " for the " + std::string(chip.ModelName()) + " model";
    }
    state.push_back(StateSection{name, std::move(bytes)});
  }
  if (!have_cells) return "it has no cells section";
  if (!in.AtEnd()) return "there is data after the end line";
  return Apply(chip, cells, state);
}

}  // namespace sim
