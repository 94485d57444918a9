#include "cli/session.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/device_lookup.h"
#include "app/dispatch.h"
#include "app/number_parse.h"
#include "app/option_keys.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "families/mcu/pic.h"
#include "sim/board.h"
#include "sim/trace.h"

namespace cli {
namespace {

Answer AnswerOf(const GlobalOptions& o) {
  if (o.yes) return Answer::kYes;
  if (o.no) return Answer::kNo;
  return Answer::kAsk;
}

}  // namespace

const app::CatalogueNode* LookupOrExplain(const std::string& name, bool quiet) {
  const app::DeviceLookup found = app::FindDevice(name);
  if (!found.ok()) {
    Error(found.error);
    return nullptr;
  }
  if (found.node->tag == 0) {
    // Such an item keeps the device chosen before it; a command line
    // starts with none.
    Error("\"" + std::string(found.node->caption) +
          "\" keeps the current device and names none itself: name the device");
    return nullptr;
  }
  if (found.match != app::DeviceLookup::Match::kCaption && !quiet) {
    // Not the caption as typed: say which device the name was taken for.
    std::fprintf(stderr, "note: \"%s\" is taken for %s (%s)\n", name.c_str(),
                 std::string(found.node->caption).c_str(), app::GroupPath(*found.node).c_str());
  }
  return found.node;
}

Session::Session(const GlobalOptions& options)
    : options_(options),
      host_(options.quiet || options.json, !options.no_progress, AnswerOf(options)),
      p_(std::make_unique<app::Programmer>(host_)) {
  if (options.json) host_.SetSilent(true);
  host_.SetVerbose(options.verbose);
  InstallSignalHandlers(p_->cancel);
}

Session::~Session() { RemoveSignalHandlers(); }

int Session::Select(const std::string& name) {
  selected_ = LookupOrExplain(name, options_.quiet);
  if (selected_ == nullptr) return kUsage;
  app::SelectDevice(*p_, selected_->handler,
                    app::SelectItem{selected_->tag, std::string(selected_->caption)});
  // A blanket --yes never answers the OSCCAL question: it waits for --osccal.
  p_->controls[families::pic::kOsccalSource].index = families::pic::kOsccalUnanswered;
  return kOk;
}

int Session::ApplyActionOptions(const ActionOptions& options) {
  app::Controls& c = p_->controls;
  if (!options.offset.empty()) {
    int64_t offset = 0;
    // The buffer offset field holds six hexadecimal digits.
    const std::string error = app::ParseHexInRange(options.offset, "--offset", 0, 0xFFFFFF, offset);
    if (!error.empty()) {
      Error(error);
      return kUsage;
    }
    if (!c.Enabled("edOffset") || !c.Visible("edOffset")) {
      Error("this device takes no buffer offset");
      return kUsage;
    }
    p_->image.buffer_offset = static_cast<uint32_t>(offset);
    char text[16];
    std::snprintf(text, sizeof text, "%06X", p_->image.buffer_offset);
    c.SetText("edOffset", text);
  }
  return ApplySettings(options.sets);
}

int Session::ApplySettings(const std::vector<std::string>& sets) {
  std::vector<app::OptionSetting> settings(sets.size());
  for (size_t i = 0; i < sets.size(); ++i) {
    const std::string error =
        app::ParseOptionSetting(app::Families().options(), sets[i], settings[i]);
    if (!error.empty()) {
      Error("--set " + sets[i] + ": " + error);
      return kUsage;
    }
  }
  for (const app::OptionSetting& setting : settings) {
    const std::string error = app::ApplyOptionSetting(*p_, setting);
    if (!error.empty()) {
      Error(error);
      return kUsage;
    }
  }
  return kOk;
}

int Session::ApplyImageSettings(const std::vector<std::string>& sets) {
  std::vector<std::string> image_sets;
  for (const std::string& set : sets) {
    app::OptionSetting setting;
    if (!app::ParseOptionSetting(app::Families().options(), set, setting).empty()) continue;
    if (setting.key->edits_image) image_sets.push_back(set);
  }
  return ApplySettings(image_sets);
}

bool Session::QuestionUnanswerable() const {
  return !options_.yes && !options_.no && p_->image.buffer_offset != 0 && !isatty(STDIN_FILENO);
}

int Session::ParseSimulationOptions() {
  faults_.clear();
  for (const std::string& text : options_.sim_faults) {
    app::SimFault fault;
    const std::string error = app::ParseSimFault(text, fault);
    if (!error.empty()) {
      Error("--sim-fault: " + error);
      return kUsage;
    }
    faults_.push_back(fault);
  }
  for (const std::string& name : options_.sim_jumpers) {
    const std::string error = app::CheckSimJumper(name);
    if (!error.empty()) {
      Error("--sim-jumper: " + error);
      return kUsage;
    }
  }
  if (!options_.sim_chip.empty()) {
    const std::string error = app::CheckSimChipPath(options_.sim_chip);
    if (!error.empty()) {
      Error(error);
      return kUsage;
    }
  }
  return kOk;
}

int Session::OpenBoard() {
  const bool sim_options = !options_.sim_chip.empty() || !options_.sim_device.empty() ||
                           !options_.sim_faults.empty() || !options_.sim_jumpers.empty() ||
                           !options_.trace.empty();
  app::BackendSpec backend;
  if (!app::ParseBackendSpec(options_.port, backend)) {
    Error("unknown port \"" + options_.port +
          "\" (use lpt1..lpt4, /dev/parportN, direct:0xNNNN or sim)");
    return kUsage;
  }
  const bool simulated = backend.kind == app::BackendSpec::Kind::kSim;
  if (sim_options && !simulated) {
    Error("--sim-chip, --sim-device, --sim-fault, --sim-jumper and --trace need --port sim");
    return kUsage;
  }
  if (int rc = ParseSimulationOptions()) return rc;
  const std::string reason = p_->OpenBackend(backend);
  if (!reason.empty()) {
    Error("cannot open port " + options_.port + ": " + reason);
    return kNoPort;
  }
  board_open_ = true;
  if (!simulated) return kOk;
  // Nobody may take a simulated run for a real one.
  if (!options_.quiet) std::fprintf(stderr, "note: simulated board\n");
  sim::Board* board = p_->board();
  host_.SetVirtualClock([board] { return board->clock().now_ns(); });
  return PrepareSimulation();
}

int Session::PrepareSimulation() {
  sim::Board& board = *p_->board();
  if (!options_.trace.empty()) {
    // The trace goes to its file as the run goes, never into memory.
    std::string error;
    trace_ = sim::OpenTraceFile(options_.trace, &error);
    if (!trace_) {
      Error(error);
      return kUsage;
    }
    board.SetTraceSink(trace_.get());
  }

  // The socket holds the selected device's chip, or the one --sim-device names.
  std::unique_ptr<sim::Chip> chip;
  if (!options_.sim_device.empty()) {
    const app::CatalogueNode* node = LookupOrExplain(options_.sim_device, options_.quiet);
    if (node == nullptr) return kUsage;
    app::SilentHost quiet;
    app::Programmer other(quiet);
    app::SelectDevice(other, node->handler, app::SelectItem{node->tag, std::string(node->caption)});
    chip = app::MakeSimChip(other);
    chip_device_ = node->caption;
  } else if (p_->image.full_device_size != 0) {
    chip = app::MakeSimChip(*p_);
    if (selected_ != nullptr) chip_device_ = selected_->caption;
  }

  const std::string& file = options_.sim_chip;
  std::error_code ec;
  if (chip && !file.empty() && std::filesystem::exists(file, ec)) {
    const std::string error = std::filesystem::is_regular_file(file, ec)
                                  ? app::LoadSimChip(file, *chip, chip_device_)
                                  : file + " is not a simulated chip file";
    if (!error.empty()) {
      Error(error);
      return kUsage;
    }
  }

  for (size_t i = 0; i < faults_.size(); ++i) {
    const app::SimFault& fault = faults_[i];
    if (fault.kind->name == "nochip") {
      chip.reset();  // the socket stays empty, and the chip file keeps what it held
    } else if (fault.kind->board) {
      board.SetFault(fault.board, fault.chip.arg1, fault.chip.arg2);
    } else if (!chip || !chip->InjectFault(fault.chip)) {
      Error("the simulated chip has no fault \"" + options_.sim_faults[i] + "\"");
      return kUsage;
    }
  }
  if (chip) {
    for (const std::string& name : options_.sim_jumpers) chip->SetJumper(name);
    board.InsertChip(std::move(chip));
  }
  chip_ready_ = true;
  return kOk;
}

int Session::ActionResult() const {
  if (host_.refused()) return kUsage;
  if (host_.failed() || p_->error != 0) return kFailed;
  return kOk;
}

int Session::Finish(int rc) {
  if (Interrupted()) {
    // Stopped by a signal: whatever was done is saved below, but the run
    // did not finish.
    if (rc == kOk) {
      Error("interrupted");
      rc = kFailed;
    }
  }
  sim::Board* board = board_open_ ? p_->board() : nullptr;
  if (board == nullptr) return rc;
  // Every path of every routine ends with the socket powered down; the
  // simulated board can tell, so a run that did not is not passed off.
  if (const std::string rest = board->RestState(); rest != sim::kAtRest) {
    host_.Warning("the simulated board is not at rest after the run: " + rest);
  }
  if (chip_ready_ && !options_.sim_chip.empty() && board->chip() != nullptr) {
    const std::string error = app::SaveSimChip(options_.sim_chip, *board->chip(), chip_device_);
    if (!error.empty()) {
      Error(error);
      if (rc == kOk) rc = kFailed;
    }
  }
  if (trace_) {
    board->SetTraceSink(nullptr);
    std::string error;
    if (!trace_->Finish(&error)) {
      Error(error);
      if (rc == kOk) rc = kFailed;
    }
    trace_.reset();
  }
  return rc;
}

}  // namespace cli
