#include "sim/pin_map.h"

#include "sim/chip.h"
#include "sim/eprom_chip.h"
#include "sim/serial_socket.h"

namespace sim {
namespace {

SocketPin Address(int pin, int line) {
  return {pin, "A" + std::to_string(line), BoardLine::kAddress, line};
}
SocketPin Data(int pin, int bit, const char* prefix = "D") {
  return {pin, prefix + std::to_string(bit), BoardLine::kBus, bit};
}

// The JEDEC byte-wide pinout from the bottom: pins 1..N/2 down the left
// side, N/2+1..N up the right. `top` is the pin count; the 28- and 32-pin
// packages share the lower 28 positions' order shifted by two.
void AddDataPins(PinMap& map, int d0, const char* prefix = "D") {
  // D0..D2 from d0, ground, D3..D7.
  for (int bit = 0; bit < 3; ++bit) map.pins.push_back(Data(d0 + bit, bit, prefix));
  for (int bit = 3; bit < 8; ++bit) map.pins.push_back(Data(d0 + bit + 1, bit, prefix));
}

}  // namespace

const SocketPin* PinMap::Find(BoardLine line, int index) const {
  for (const SocketPin& p : pins) {
    const bool indexed =
        line == BoardLine::kAddress || line == BoardLine::kBus || line == BoardLine::kData;
    if (p.line == line && (p.index == index || !indexed)) {
      return &p;
    }
  }
  return nullptr;
}

bool LineActive(const SocketSignals& socket, const Pins& pins, BoardLine line, int index) {
  switch (line) {
    case BoardLine::kAddress:
      return ((socket.address >> index) & 1u) != 0;
    case BoardLine::kBus:
      return pins.drive() && ((pins.data >> index) & 1u) != 0;
    case BoardLine::kData:
      return ((pins.data >> index) & 1u) != 0;
    case BoardLine::kVcc:
      return socket.vcc;
    case BoardLine::kVpp:
      return socket.vpp;
    case BoardLine::kProgram:
      return pins.program();
  }
  return false;
}

bool PinLevel(const SocketSignals& socket, const Pins& pins, const SocketPin& pin) {
  return LineActive(socket, pins, pin.line, pin.index) != pin.inverted;
}

PinMap EpromPinMap(const EpromConfig& config) {
  PinMap map;
  if (config.wide) return map;  // the 40-pin parts sit on an adapter
  uint32_t lines = 0;
  while ((1u << lines) < config.size) ++lines;
  const bool shared_vpp = config.vpp_pin == VppPin::kShared;
  const auto program = [&](int pin, const char* name) {
    const bool active_high = config.program_pin == ProgramPin::kActiveHigh;
    map.pins.push_back({pin, name, BoardLine::kProgram, 0, !active_high});
  };
  const auto vpp = [&](int pin, const char* name) {
    map.pins.push_back({pin, name, BoardLine::kVpp, 0, false});
  };
  if (lines <= 12) {
    // 2716, 2732: A7..A0 on pins 1..8, data from pin 9, ground 12.
    map.package = "DIP24";
    for (int a = 0; a < 8; ++a) map.pins.push_back(Address(8 - a, a));
    AddDataPins(map, 9);
    map.pins.push_back(Address(23, 8));
    map.pins.push_back(Address(22, 9));
    map.pins.push_back(Address(19, 10));
    if (lines == 12) {
      map.pins.push_back(Address(21, 11));
      vpp(20, "OE#/VPP");
    } else {
      vpp(21, "VPP");
    }
    program(18, config.program_pin == ProgramPin::kActiveHigh ? "CE/PGM" : "CE#/PGM#");
    map.pins.push_back({24, "VCC", BoardLine::kVcc, 0, false});
    return map;
  }
  // 28 and 32 pins: the 32-pin order is the 28-pin order two pins further
  // on, with A16..A19 and the extra control pins at the ends.
  const bool dip32 = lines > 16;
  const int o = dip32 ? 2 : 0;
  map.package = dip32 ? "DIP32" : "DIP28";
  for (int a = 0; a < 8; ++a) map.pins.push_back(Address(10 + o - a, a));
  AddDataPins(map, 11 + o);
  map.pins.push_back(Address(25 + o, 8));
  map.pins.push_back(Address(24 + o, 9));
  map.pins.push_back(Address(21 + o, 10));
  map.pins.push_back(Address(23 + o, 11));
  map.pins.push_back(Address(2 + o, 12));
  if (lines > 13) map.pins.push_back(Address(26 + o, 13));
  if (lines > 14) map.pins.push_back(Address(27 + o, 14));
  if (!dip32) {
    if (lines > 15) {
      map.pins.push_back(Address(1, 15));  // 27512
    } else {
      vpp(1, "VPP");
    }
    if (shared_vpp) vpp(22, "OE#/VPP");
    if (config.program_pin == ProgramPin::kSeparate) {
      program(27, "PGM#");
    } else {
      program(20, "CE#/PGM#");
    }
    map.pins.push_back({28, "VCC", BoardLine::kVcc, 0, false});
    return map;
  }
  map.pins.push_back(Address(3, 15));
  map.pins.push_back(Address(2, 16));
  if (lines > 17) map.pins.push_back(Address(30, 17));
  if (lines > 18) map.pins.push_back(Address(31, 18));
  if (lines > 19) {
    map.pins.push_back(Address(1, 19));  // 27C080
  } else {
    vpp(1, "VPP");
  }
  if (shared_vpp) vpp(24, "OE#/VPP");
  if (config.program_pin == ProgramPin::kSeparate) {
    program(31, "PGM#");
  } else {
    program(22, "CE#/PGM#");
  }
  map.pins.push_back({32, "VCC", BoardLine::kVcc, 0, false});
  return map;
}

PinMap FlashDip32PinMap(int address_lines) {
  PinMap map;
  map.package = "DIP32";
  for (int a = 0; a < 8; ++a) map.pins.push_back(Address(12 - a, a));
  AddDataPins(map, 13, "DQ");
  const int upper[][2] = {{27, 8},  {26, 9}, {23, 10}, {25, 11}, {4, 12}, {28, 13},
                          {29, 14}, {3, 15}, {2, 16},  {30, 17}, {1, 18}};
  for (const auto& [pin, line] : upper) {
    if (line < address_lines) map.pins.push_back(Address(pin, line));
  }
  map.pins.push_back({31, "WE#", BoardLine::kProgram, 0, true});
  map.pins.push_back({32, "VCC", BoardLine::kVcc, 0, false});
  return map;
}

PinMap FlashPinMap(uint32_t size) {
  if (size > 0x80000) return {};
  int lines = 0;
  while ((1u << lines) < size) ++lines;
  return FlashDip32PinMap(lines);
}

PinMap SerialPinMap(const SerialWiring& wiring) {
  PinMap map;
  map.package = "DIP8";
  const std::string_view name = wiring.name;
  const bool i2c = name == "I2C", spi = name == "SPI";
  const auto add = [&map](const LineSource& source, int pin, const char* label) {
    if (source.reg == LineSource::Reg::kData) {
      map.pins.push_back({pin, label, BoardLine::kData, source.bit, source.inverted});
    } else if (source.reg == LineSource::Reg::kCtrl && source.bit == 3) {
      // The program line: one physical line whose level is NOT the bit.
      map.pins.push_back({pin, label, BoardLine::kProgram, 0, source.inverted});
    }
  };
  if (i2c) {
    add(wiring.data, 5, "SDA");
    add(wiring.clock, 6, "SCL");
    add(wiring.aux, 7, "WP");
  } else if (spi) {
    add(wiring.select, 1, "CS#");
    add(wiring.data, 5, "SI");
    add(wiring.clock, 6, "SCK");
  } else {
    add(wiring.select, 1, "CS");
    add(wiring.clock, 2, "SK");
    add(wiring.data, 3, "DI");
  }
  map.pins.push_back({8, "VCC", BoardLine::kVcc, 0, false});
  return map;
}

}  // namespace sim
