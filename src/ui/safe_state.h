#pragma once

namespace app {
class Programmer;
}

namespace ui {

// The socket's state when the program ends. SPI flash (family 57) is left
// deselected with its lines high and the power off, without the power-down
// wait, so the chip never sees a stray clock; every other family gets the
// ordinary power-down.
void ExitSafeState(app::Programmer& p);

}  // namespace ui
