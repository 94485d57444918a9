#pragma once

// The handlers of the serial families' settings panels that are not part
// of a selection: the 24Cxx pin-7 radios, the 93Cxx ICSP box and the SPI
// clock-stretch bar.

namespace app {
class Programmer;
}

namespace families::serial {

// "High ( Wirte protect )" / "Low  ( Normal Read/Wirte Operations )".
void r24Cpin7highClick(app::Programmer& p);
void r24Cpin7LowClick(app::Programmer& p);

// "Program SMD Chip use ICSP connector": the Microwire routines move chip
// select to control bit 0 and stop inverting DI while it is checked.
void cb93ICSP_Click(app::Programmer& p);

}  // namespace families::serial
