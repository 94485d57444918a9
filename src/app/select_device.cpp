// Choosing a device from the catalogue, and re-selecting the stored one at
// start-up.
#include <utility>

#include "app/programmer.h"
#include "app/selection.h"

namespace app {
namespace {

// Family type code -> the handler that sets it (and the codes that share it).
struct FamilyHandler {
  int family;
  HandlerId handler;
};
constexpr FamilyHandler kFamilyHandlers[] = {
    {0, HandlerId::M27C_Click},         {33, HandlerId::M27C_Click},
    {1, HandlerId::M24C_Click},         {2, HandlerId::M24C_Click},
    {39, HandlerId::M24C_Click},        {3, HandlerId::M28F_Click},
    {4, HandlerId::M29F_Click},         {12, HandlerId::M29F_Click},
    {27, HandlerId::M29F_Click},        {5, HandlerId::M28C_Click},
    {6, HandlerId::M25C_Click},         {7, HandlerId::AT28Cxxx_Click},
    {8, HandlerId::M93C_Click},         {51, HandlerId::M93C_Click},
    {9, HandlerId::AT29C_Click},        {21, HandlerId::AT29C_Click},
    {10, HandlerId::muMCS51_Click},     {11, HandlerId::AT89Cx051_Click},
    {13, HandlerId::M27_Click},         {14, HandlerId::AVR_Click},
    {15, HandlerId::Am29Fx00_Click},    {16, HandlerId::M12C_Click},
    {17, HandlerId::M12C_Click},        {18, HandlerId::M12C_Click},
    {53, HandlerId::M12C_Click},        {19, HandlerId::DS12XX_Click},
    {20, HandlerId::SRAM_Click},        {22, HandlerId::AT49F00x_Click},
    {23, HandlerId::M27E_Click},        {24, HandlerId::SST28xF040A1Click},
    {25, HandlerId::SST28xF040A1Click}, {26, HandlerId::i28Fx00_Click},
    {55, HandlerId::i28Fx00_Click},     {28, HandlerId::D8748_Click},
    {29, HandlerId::D8748_Click},       {30, HandlerId::MX26C10001Click},
    {31, HandlerId::MX28F20001Click},   {32, HandlerId::CAT64LC10_Click},
    {34, HandlerId::N82802AB_Click},    {35, HandlerId::SST49LF002_Click},
    {36, HandlerId::PIC18F_Click},      {38, HandlerId::AT89C51_Click},
    {41, HandlerId::EN29F002T_Click},   {42, HandlerId::EN29F002T_Click},
    {43, HandlerId::EN29F002T_Click},   {49, HandlerId::EN29F002T_Click},
    {50, HandlerId::EN29F002T_Click},   {44, HandlerId::MBM29LV160Click},
    {56, HandlerId::MBM29LV160Click},   {45, HandlerId::N28F4001Click},
    {46, HandlerId::i28F800C3B1Click},  {47, HandlerId::HY29LV1601Click},
    {48, HandlerId::SST37VF_Click},     {52, HandlerId::S24H30_Click},
    {57, HandlerId::MX25L512_Click},
};

}  // namespace

HandlerId HandlerForFamily(int family) {
  for (const auto& row : kFamilyHandlers) {
    if (row.family == family) return row.handler;
  }
  return HandlerId::kNone;
}

void SelectDevice(Programmer& p, HandlerId handler, const SelectItem& item) {
  const SelectHandler run = Families().FindHandler(handler);
  if (run == nullptr || p.RefuseWhileBusy()) return;
  if (item.tag != 0) {
    run(p, item);
    return;
  }
  // An item that names no device keeps the previous one whole: take a copy
  // of everything a handler may touch and put it back afterwards.
  const Descriptor dev = p.dev;
  const Controls controls = p.controls;
  const uint32_t size = p.image.device_size;
  const uint32_t full = p.image.full_device_size;
  const uint32_t offset = p.image.buffer_offset;
  run(p, item);
  const bool reminder_shown = !p.dev.jumper_warning && dev.jumper_warning;
  p.dev = dev;
  if (reminder_shown) p.dev.jumper_warning = false;
  p.controls = controls;
  if (p.image.full_device_size != full) p.SetBufferSize(full);
  p.image.device_size = size;
  p.image.buffer_offset = offset;
  p.controls.SetText("edDevice", item.caption);
  p.host.ControlsChanged();
}

void ReselectByCode(Programmer& p, int family, int device_code, const std::string& caption) {
  if (device_code == 0) {
    SelectDevice(p, HandlerId::M29F_Click, SelectItem{106, "29F020"});
    return;
  }
  // A Microwire code no handler sets re-selects like the plain Microwire one.
  const HandlerId handler = HandlerForFamily(family);
  if (handler == HandlerId::kNone) return;
  SelectDevice(p, handler, SelectItem{device_code, caption});
  p.controls.SetText("edDevice", caption);
  p.host.ControlsChanged();
}

}  // namespace app
