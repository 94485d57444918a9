#pragma once

// The I2C EEPROM routines: family 39 (X24C01: seven address bits in the
// first byte), family 1 (one word-address byte, A10..A8 in the select
// byte) and family 2 (two word-address bytes, page writes).

#include "app/programmer.h"

namespace families::serial::i2c {

void Read39(app::Programmer& p);
void Verify39(app::Programmer& p);
void Program39(app::Programmer& p);

void Read1(app::Programmer& p);
void Verify1(app::Programmer& p);
void Program1(app::Programmer& p);

void Read2(app::Programmer& p);
void Verify2(app::Programmer& p);
void Program2(app::Programmer& p);

}  // namespace families::serial::i2c
