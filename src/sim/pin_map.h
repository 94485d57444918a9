#pragma once

// Which of a part's package pins each board line reaches: the data the board
// test announces ("pin 3 (A7) must be high") and checks on the simulated
// board. A model builds its map from the same configuration that decides how
// it reads the lines, so the two cannot drift apart.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Pins;
struct SocketSignals;
struct EpromConfig;
struct SerialWiring;

// A line the board drives into the socket.
enum class BoardLine : uint8_t {
  kAddress,  // index: address line A0..A23 (the shift registers)
  kBus,      // index: data bus bit D0..D7, driven while control bit 1 is 1
  kData,     // index: data register bit, wired straight to the pin (serial socket)
  kVcc,      // control bit 2
  kVpp,      // control bit 0 low
  kProgram,  // control bit 3
};

struct SocketPin {
  int pin = 0;       // package pin number
  std::string name;  // the part's own name for it ("A7", "DQ3", "CE#/PGM#")
  BoardLine line = BoardLine::kAddress;
  int index = 0;          // kAddress, kData: which line
  bool inverted = false;  // the pin is low while the line is active
};

struct PinMap {
  std::string package;  // "DIP28"
  std::vector<SocketPin> pins;

  bool empty() const { return pins.empty(); }
  // The pin a board line reaches, or nullptr.
  const SocketPin* Find(BoardLine line, int index = 0) const;
};

// Whether a board line is active now, as the socket sees it.
bool LineActive(const SocketSignals& socket, const Pins& pins, BoardLine line, int index);
// A pin's level now (true = high).
bool PinLevel(const SocketSignals& socket, const Pins& pins, const SocketPin& pin);

// The JEDEC byte-wide EPROM pinouts (24, 28 and 32 pins), with the program
// and Vpp pins the configuration gives the part.
PinMap EpromPinMap(const EpromConfig& config);
// The 32-pin JEDEC flash pinout (29F010..29F040, 39SF0x0, 49F0x0): WE# takes
// the program line, no Vpp pin. `address_lines` of the part.
PinMap FlashDip32PinMap(int address_lines);
// The same for a byte-wide flash of `size` bytes: empty above 512 KB (those
// come in other packages).
PinMap FlashPinMap(uint32_t size);
// A serial memory's 8-pin package as its wiring reaches it.
PinMap SerialPinMap(const SerialWiring& wiring);

}  // namespace sim
