#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "hw/clock.h"
#include "hw/port_io.h"
#include "hw/reporter.h"

namespace hw {

// Register bits as the board uses them.
namespace ctrl {
inline constexpr int kStrobe = 0;   // word latch strobe, 1 at rest
inline constexpr int kDrive = 1;    // 1: the data register drives the chip's data bus
inline constexpr int kPower = 2;    // socket power
inline constexpr int kProgram = 3;  // program / Vpp line
}  // namespace ctrl
namespace data {
inline constexpr int kClock = 0;     // address shift clock, serial clock, loop-back source
inline constexpr int kSerial = 1;    // A7..A0 serial input, read-path load, serial data
inline constexpr int kReadClk = 2;   // read-path clock, 1 at rest
inline constexpr int kMidAddr = 4;   // A15..A8 serial input
inline constexpr int kHighAddr = 5;  // A23..A16 serial input
}  // namespace data

// The read path shows its top three stages on status bits 6, 5, 4. After
// the last group of clocks the two remaining data bits sit in the top two
// stages, so they are taken from status bits 6 and 5; bit 4 then holds the
// fill bit and is ignored.
inline constexpr int kFinalReadTapShift = 5;

// One parallel-port programmer: the port registers, the two shadows, the
// busy-wait delays and every bus primitive, write for write.
class Bus {
 public:
  Bus(Clock& clock, Reporter& reporter);

  // --- port choice -------------------------------------------------------
  // Attach a backend. Passing nullptr with a reason leaves the bus unusable:
  // no port is touched and the hardware test reports the reason.
  void SetPort(PortIo* port, std::string unavailable_reason = {});
  bool Available() const { return unavailable_reason_.empty(); }
  const std::string& UnavailableReason() const { return unavailable_reason_; }
  void SetReporter(Reporter& reporter) { reporter_ = &reporter; }
  // The counter the delays wait on (the simulated board brings its own).
  void SetClock(Clock& clock) {
    clock_ = &clock;
    frequency_ = clock.Frequency();
  }
  Reporter& reporter() { return *reporter_; }
  Clock& clock() { return *clock_; }

  // Sets LptBase from the port choice list; an index outside it changes nothing.
  void cbPortChange(int index);
  void SetBase(uint16_t base);
  uint16_t LptBase() const { return lpt_base_; }
  uint16_t LptStatus() const { return lpt_status_; }
  uint16_t LptControl() const { return lpt_control_; }

  // --- shadows and registers ----------------------------------------------
  uint8_t& CtrlShadow() { return ctrl_shadow_; }
  uint8_t& DataShadow() { return data_shadow_; }
  void SetCtrl(int bit, bool on) { Assign(ctrl_shadow_, bit, on); }
  void SetData(int bit, bool on) { Assign(data_shadow_, bit, on); }
  void WriteCtrl() { port_->PortOut(lpt_control_, ctrl_shadow_); }
  void WriteData() { port_->PortOut(lpt_base_, data_shadow_); }
  uint8_t ReadStatus() { return port_->PortIn(lpt_status_); }
  // A byte for the chip's data bus, written straight past the data shadow.
  void WriteBusByte(uint8_t value) { port_->PortOut(lpt_base_, value); }

  // --- delays (busy-wait, never early, never asleep) ----------------------
  void DelayTicks(int32_t n);  // n x 0.8381 us
  void Delay100ns(int32_t n);  // n x 100 ns

  // --- primitives ----------------------------------------------------------
  void ShiftAddress(uint32_t address);
  void SetAddress(uint32_t address, int32_t settle_ticks);
  void PutData(uint8_t value, int32_t settle_ticks);
  void ProgramPulse(int32_t ticks);
  uint8_t ReadDataByte();
  uint8_t ReadDataByteSerial();
  void StrobeWrite(uint8_t latched, uint8_t driven, int32_t extra_ticks);
  void PowerUp();
  void PowerDown();
  static uint32_t ScrambleAddress(uint32_t address);

  // One byte of the standard read cycle: shift the chip address, pulse the
  // drive line with `width` x 100 ns on each side, then read the byte.
  uint8_t ReadCycle(uint32_t chip_address, int32_t width);

  // --- reports -------------------------------------------------------------
  void ReportError(const std::string& text);
  // `image` is the whole memory image; a position outside it shows 0xFF.
  void ReportMismatch(uint32_t index, uint32_t offset, uint8_t chip,
                      std::span<const uint8_t> image);
  void ReportMismatch16(uint32_t index, uint32_t offset, uint8_t chip_high, uint8_t chip_low,
                        std::span<const uint8_t> image);

  // --- hardware test -------------------------------------------------------
  void ResetBus();
  // 0 when the board answered the loop-back test, 1 when not.
  int CheckHardware();

 private:
  static void Assign(uint8_t& reg, int bit, bool on) {
    reg = on ? static_cast<uint8_t>(reg | (1u << bit)) : static_cast<uint8_t>(reg & ~(1u << bit));
  }
  void Delay(int32_t n, long double scale);
  void RestShadows();
  void ReadPathLoad();
  void ReadPathClock();

  UnavailablePort unavailable_;
  PortIo* port_ = &unavailable_;
  std::string unavailable_reason_ = "no port selected";
  Clock* clock_;
  Reporter* reporter_;
  int64_t frequency_;

  uint16_t lpt_base_ = 0x378;
  uint16_t lpt_status_ = 0x379;
  uint16_t lpt_control_ = 0x37A;
  // The strobe line starts high: a first write from an all-zero shadow
  // would put Vpp on an unpowered socket before anything else happens.
  uint8_t ctrl_shadow_ = 0x01;
  uint8_t data_shadow_ = 0;
};

}  // namespace hw
