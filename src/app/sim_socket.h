#pragma once

// The chip model the simulated socket holds for the selected device.

#include <cstdint>
#include <memory>

#include "sim/chip.h"
#include "sim/eprom_chip.h"

namespace app {

class Programmer;

// The model of the selected device, blank (erased): the EPROM model set up
// for the part's pins for families 0, 13 and 33, the serial memories'
// models (app/sim_socket_serial.h), a plain ROM for the families that have
// no model of their own yet. nullptr when no device is
// selected.
std::unique_ptr<sim::Chip> MakeSimChip(const Programmer& p);

// The models of the families that have one, each from a file of its own
// (sim_socket_*.cpp); nullptr for a device the family's model does not know.
std::unique_ptr<sim::Chip> MakeMcuChip(const Programmer& p);
std::unique_ptr<sim::Chip> MakeAvrChip(const Programmer& p);
std::unique_ptr<sim::Chip> MakePicChip(const Programmer& p);
std::unique_ptr<sim::Chip> MakePic18Chip(const Programmer& p);

// How a UV EPROM's pins meet the board, by family type code and device code;
// a code the table does not know is judged from its size and descriptor
// flags the way the catalogue sets them.
sim::EpromConfig EpromConfigFor(int family, int device_code, uint32_t size, bool separate_vpp,
                                bool read_level);

}  // namespace app
