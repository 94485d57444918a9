#include "families/serial/serial_select.h"

#include "app/programmer.h"
#include "families/serial/i2c_select.h"
#include "families/serial/microwire_select.h"
#include "families/serial/spi_select.h"

namespace families::serial {

void SelectSerialSocket(app::Programmer& p) {
  p.dev.socket_picture = kSerialPicture;
  p.controls.SetText("lbAdapter", "");
  p.controls.Enable("edOffset", false);
  p.controls.Enable("lbOffset", false);
}

}  // namespace families::serial

namespace families {

void RegisterSerialSelection(app::FamilyRegistry& registry) {
  using app::HandlerId;
  registry.RegisterHandler(HandlerId::M24C_Click, &serial::M24C_Click);
  registry.RegisterHandler(HandlerId::M93C_Click, &serial::M93C_Click);
  registry.RegisterHandler(HandlerId::CAT64LC10_Click, &serial::CAT64LC10_Click);
  registry.RegisterHandler(HandlerId::S24H30_Click, &serial::S24H30_Click);
  registry.RegisterHandler(HandlerId::M25C_Click, &serial::M25C_Click);
  registry.RegisterHandler(HandlerId::MX25L512_Click, &serial::MX25L512_Click);
}

}  // namespace families
