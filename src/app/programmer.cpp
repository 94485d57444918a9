#include "app/programmer.h"

#include <cstdio>
#include <cstdlib>

#include "hw/port_open.h"
#include "hw/priority.h"
#include "sim/board.h"

namespace app {

bool ParseBackendSpec(const std::string& text, BackendSpec& out) {
  BackendSpec backend;
  if (text == "sim") {
    backend.kind = BackendSpec::Kind::kSim;
  } else if (text.size() == 4 && (text.rfind("lpt", 0) == 0 || text.rfind("LPT", 0) == 0) &&
             text[3] >= '1' && text[3] <= '4') {
    backend.kind = BackendSpec::Kind::kLpt;
    backend.lpt_index = text[3] - '1';
  } else if (text.rfind("/dev/", 0) == 0 && text.size() > 5) {
    backend.kind = BackendSpec::Kind::kDevice;
    backend.device = text;
  } else if (text.rfind("direct:", 0) == 0) {
    char* end = nullptr;
    const unsigned long base = std::strtoul(text.c_str() + 7, &end, 16);
    if (end == text.c_str() + 7 || *end != '\0' || base == 0 || base > 0xFFFD) return false;
    backend.kind = BackendSpec::Kind::kDirect;
    backend.base = static_cast<uint16_t>(base);
  } else {
    return false;
  }
  out = backend;
  return true;
}

Programmer::Programmer(Host& h) : host(h), bus(real_clock, h) {}
Programmer::~Programmer() = default;

std::string Programmer::OpenBackend(const BackendSpec& backend) {
  bus.SetPort(nullptr, "no port selected");
  bus.SetClock(real_clock);
  port_.reset();
  board_.reset();
  hw::OpenResult opened;
  switch (backend.kind) {
    case BackendSpec::Kind::kSim:
      board_ = std::make_unique<sim::Board>(bus.LptBase());
      bus.SetClock(board_->clock());
      bus.SetPort(board_.get());
      return {};
    case BackendSpec::Kind::kLpt:
      bus.cbPortChange(backend.lpt_index);
      opened = hw::OpenPpdevByBase(bus.LptBase());
      break;
    case BackendSpec::Kind::kDevice:
      opened = hw::OpenPpdevDevice(backend.device, bus.LptBase());
      break;
    case BackendSpec::Kind::kDirect:
      bus.SetBase(backend.base);
      opened = hw::OpenDirect(backend.base);
      break;
  }
  if (!opened) {
    bus.SetPort(nullptr, opened.reason);
    return opened.reason;
  }
  port_ = std::move(opened.port);
  bus.SetPort(port_.get());
  return {};
}

void Programmer::ReportMismatchAt(uint32_t chip_address, uint8_t expected, uint8_t read) {
  char text[96];
  std::snprintf(text, sizeof text, " Error at 0x%06X  Chip = 0x%02X  buffer = 0x%02X", chip_address,
                read, expected);
  ReportError(text);
}

void Programmer::InitProgressStep(uint32_t count) {
  progress_step = count <= 1000 ? 1 : static_cast<int>(count / 1000);
  progress_counter = 0;
}

bool Programmer::Refresh(int64_t position) {
  progress_counter = 0;
  host.SetGaugeProgress(position);
  host.ProcessEvents();
  return cancel.load(std::memory_order_relaxed) != 0;
}

void Programmer::SetProcessGauge(const std::string& text, int64_t maximum, uint32_t colour) {
  controls.Show("pIDcode", false);
  controls.Show("frmOSCCAL", false);
  controls.Show("pProcess");
  controls.SetText("pProcessCap", text);
  controls.Show("btnCancel");
  controls.Show("gProcess");
  host.ControlsChanged();
  host.Message(text, hw::kInfo);
  cancel.store(0);
  host.ShowGauge(text, maximum, colour);
  host.ProcessEvents();
}

void Programmer::ShowProgress(int kind, int64_t maximum, uint32_t colour) {
  switch (kind) {
    case 1:
      host.Message("program interrupted!", hw::kError);
      error = 1;
      break;
    case 2:
      host.Message("Device Verify OK", hw::kResult);
      break;
    case 3:
      host.Message("Device Programmed OK", hw::kResult);
      break;
    case 4:
      SetProcessGauge("programming chip", maximum, colour);
      break;
    case 5:
      SetProcessGauge("Reading Chip", maximum, colour);
      break;
    case 6:
      SetProcessGauge("Verifying chip", maximum, colour);
      break;
    case 7:
      SetProcessGauge("Checking Device is Empty", maximum, colour);
      break;
    default:
      break;
  }
}

bool Programmer::BeginAction() {
  bool expected = false;
  if (busy_.compare_exchange_strong(expected, true)) return true;
  host.Message(kBusyMessage, hw::kError);
  return false;
}

bool Programmer::RefuseWhileBusy() {
  if (!busy_.load()) return false;
  host.Message(kBusyMessage, hw::kError);
  return true;
}

void Programmer::ChangePriority(bool raise) {
  if (board_ == nullptr) hw::ChangePriority(raise);
}

void Programmer::SetBufferSize(uint32_t size) {
  dev.family_size = size;
  image.SetBufferSize(size);
}

}  // namespace app
