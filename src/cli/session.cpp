#include "cli/session.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/device_lookup.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "image/hex_field.h"
#include "sim/board.h"
#include "sim/trace.h"

namespace cli {
namespace {

Answer AnswerOf(const GlobalOptions& o) {
  if (o.yes) return Answer::kYes;
  if (o.no) return Answer::kNo;
  return Answer::kAsk;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return false;
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  return !ec;
}

// "weak:0x100:5", "stuck:0x10:3:1" -> a chip fault; numbers in C notation.
bool ParseChipFault(const std::string& fault_text, sim::ChipFault& fault) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t colon = fault_text.find(':', start);
    parts.push_back(fault_text.substr(start, colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  auto number = [](const std::string& s, long long& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    v = std::strtoll(s.c_str(), &end, 0);
    return *end == '\0';
  };
  long long a = 0, b = 0, c = 0;
  if (parts[0] == "weak" && parts.size() == 3 && number(parts[1], a) && number(parts[2], b) &&
      a >= 0 && b >= 1) {
    fault = {"weak", static_cast<uint32_t>(a), static_cast<int>(b), 0};
    return true;
  }
  if (parts[0] == "stuck" && parts.size() == 4 && number(parts[1], a) && number(parts[2], b) &&
      number(parts[3], c) && a >= 0 && b >= 0 && b <= 15 && (c == 0 || c == 1)) {
    fault = {"stuck", static_cast<uint32_t>(a), static_cast<int>(b), static_cast<int>(c)};
    return true;
  }
  return false;
}

}  // namespace

const app::CatalogueNode* LookupOrExplain(const std::string& name) {
  const app::DeviceLookup found = app::FindDevice(name);
  if (found.ok()) return found.node;
  std::fprintf(stderr, "daraz: %s\n", found.error.c_str());
  return nullptr;
}

Session::Session(const GlobalOptions& options)
    : options_(options),
      host_(options.quiet || options.json, !options.no_progress, AnswerOf(options)),
      p_(std::make_unique<app::Programmer>(host_)) {
  if (options.json) host_.SetSilent(true);
}

Session::~Session() = default;

int Session::Select(const std::string& name) {
  selected_ = LookupOrExplain(name);
  if (selected_ == nullptr) return kUsage;
  app::SelectDevice(*p_, selected_->handler,
                    app::SelectItem{selected_->tag, std::string(selected_->caption)});
  return kOk;
}

int Session::ApplyActionOptions(const ActionOptions& options) {
  app::Controls& c = p_->controls;
  if (!options.offset.empty()) {
    uint32_t offset = 0;
    if (!image::ParseHexField(options.offset, offset)) {
      std::fprintf(stderr, "daraz: --offset needs a hexadecimal number, not \"%s\"\n",
                   options.offset.c_str());
      return kUsage;
    }
    if (!c.Enabled("edOffset") || !c.Visible("edOffset")) {
      std::fprintf(stderr, "daraz: this device takes no buffer offset\n");
      return kUsage;
    }
    p_->image.buffer_offset = offset;
    char text[16];
    std::snprintf(text, sizeof text, "%06X", offset);
    c.SetText("edOffset", text);
  }
  if (options.skip_ff) c.Check("cbSkip_0xFF");
  if (options.fast) c.Check("cbFastPro");
  return kOk;
}

bool Session::QuestionUnanswerable() const {
  return !options_.yes && !options_.no && p_->image.buffer_offset != 0 && !isatty(STDIN_FILENO);
}

int Session::OpenBoard() {
  const bool sim_options = !options_.sim_chip.empty() || !options_.sim_device.empty() ||
                           !options_.sim_faults.empty() || !options_.trace.empty();
  app::BackendSpec backend;
  if (!app::ParseBackendSpec(options_.port, backend)) {
    std::fprintf(stderr,
                 "daraz: unknown port \"%s\" (use lpt1..lpt4, /dev/parportN, direct:0xNNNN or "
                 "sim)\n",
                 options_.port.c_str());
    return kUsage;
  }
  if (sim_options && backend.kind != app::BackendSpec::Kind::kSim) {
    std::fprintf(stderr, "daraz: --sim-chip, --sim-device, --sim-fault and --trace need --port sim\n");
    return kUsage;
  }
  const std::string reason = p_->OpenBackend(backend);
  if (!reason.empty()) {
    std::fprintf(stderr, "daraz: cannot open port %s: %s\n", options_.port.c_str(),
                 reason.c_str());
    return kNoPort;
  }
  board_open_ = true;
  return backend.kind == app::BackendSpec::Kind::kSim ? PrepareSimulation() : kOk;
}

int Session::PrepareSimulation() {
  sim::Board& board = *p_->board();
  if (!options_.trace.empty()) board.EnableTrace(true);

  // The socket holds the selected device's chip, or the one --sim-device names.
  std::unique_ptr<sim::Chip> chip;
  if (!options_.sim_device.empty()) {
    const app::CatalogueNode* node = LookupOrExplain(options_.sim_device);
    if (node == nullptr) return kUsage;
    app::SilentHost quiet;
    app::Programmer other(quiet);
    app::SelectDevice(other, node->handler, app::SelectItem{node->tag, std::string(node->caption)});
    chip = app::MakeSimChip(other);
  } else if (p_->image.full_device_size != 0) {
    chip = app::MakeSimChip(*p_);
  }

  if (chip && !options_.sim_chip.empty() && std::filesystem::exists(options_.sim_chip)) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(options_.sim_chip, bytes)) {
      std::fprintf(stderr, "daraz: cannot read the simulated chip file %s\n",
                   options_.sim_chip.c_str());
      return kUsage;
    }
    chip->SetContents(bytes);
  }

  for (const std::string& fault_text : options_.sim_faults) {
    if (fault_text == "noboard") {
      board.SetFault(sim::BoardFault::kNoBoard);
    } else if (fault_text == "stuck-loopback-0") {
      board.SetFault(sim::BoardFault::kLoopStuck0);
    } else if (fault_text == "stuck-loopback-1") {
      board.SetFault(sim::BoardFault::kLoopStuck1);
    } else {
      sim::ChipFault fault;
      if (!ParseChipFault(fault_text, fault)) {
        std::fprintf(stderr,
                     "daraz: unknown fault \"%s\" (noboard, stuck-loopback-0, stuck-loopback-1, "
                     "weak:ADDR:PULSES, stuck:ADDR:BIT:LEVEL)\n",
                     fault_text.c_str());
        return kUsage;
      }
      if (!chip || !chip->InjectFault(fault)) {
        std::fprintf(stderr, "daraz: the simulated chip has no fault \"%s\"\n", fault_text.c_str());
        return kUsage;
      }
    }
  }
  if (chip) board.InsertChip(std::move(chip));
  return kOk;
}

int Session::ActionResult() const {
  if (host_.refused()) return kUsage;
  if (host_.failed() || p_->error != 0) return kFailed;
  return kOk;
}

int Session::Finish(int rc) {
  sim::Board* board = board_open_ ? p_->board() : nullptr;
  if (board == nullptr) return rc;
  if (!options_.sim_chip.empty() && board->chip() != nullptr) {
    if (!WriteFileAtomically(options_.sim_chip, board->chip()->Contents())) {
      std::fprintf(stderr, "daraz: cannot write the simulated chip file %s\n",
                   options_.sim_chip.c_str());
      if (rc == kOk) rc = kFailed;
    }
  }
  if (!options_.trace.empty()) {
    if (!sim::WriteTraceCsv(board->trace(), options_.trace)) {
      std::fprintf(stderr, "daraz: cannot write the trace %s\n", options_.trace.c_str());
      if (rc == kOk) rc = kFailed;
    }
  }
  return rc;
}

}  // namespace cli
