// The mid-range erases, one sequence per group of algorithm numbers.
#include <initializer_list>

#include "families/mcu/pic.h"

namespace families::pic {
namespace {

// The code-protect disable: 1, 7, begin erase, wait, 1, 7.
void DisableSequence(app::Programmer& p, int32_t wait) {
  PicCommand(p, 1);
  PicCommand(p, 7);
  PicCommand(p, cmd::kBeginErase);
  p.bus.DelayTicks(wait);
  PicCommand(p, 1);
  PicCommand(p, 7);
}

void ChipErase31(app::Programmer& p) {
  PicEnterVddFirst(p);
  PicLoad(p, cmd::kLoadConfig, 0x3FFF);
  p.bus.DelayTicks(10);
  PicCommand(p, cmd::kChipErase);
  p.bus.DelayTicks(20000);
  PicCommand(p, cmd::kBeginErase);
  p.bus.DelayTicks(20000);
  PicCommand(p, cmd::kEndProgramming23);
  PicExit(p);
}

void Disable578(app::Programmer& p) {
  EnterAtConfig(p, 7);
  DisableSequence(p, 20000);
  PicExit(p);
}

void Bulk13(app::Programmer& p) {
  EnterAtConfig(p, 7);
  PicCommand(p, cmd::kBulkEraseProgram);
  p.bus.DelayTicks(20000);
  PicCommand(p, cmd::kBulkEraseData);
  p.bus.DelayTicks(20000);
  PicExit(p);
  Disable578(p);
}

void BulkBoth(app::Programmer& p) {
  EnterAtConfig(p, 0);
  PicCommand(p, cmd::kBulkEraseProgram);
  p.bus.DelayTicks(40000);
  PicCommand(p, cmd::kBulkEraseData);
  p.bus.DelayTicks(40000);
  PicExit(p);
}

// The 16F7x and 16F7x7 bulk erase takes 30 ms; leaving programming mode
// sooner stops it half done, so the wait is the 33.5 ms the other bulk
// erases get.
constexpr int32_t kBulkProgramWait = 40000;

void BulkProgram(app::Programmer& p) {
  PicEnterVddFirst(p);
  PicLoad(p, cmd::kLoadConfig, 0x3FFF);
  p.bus.DelayTicks(10);
  PicCommand(p, cmd::kBulkEraseProgram);
  p.bus.DelayTicks(kBulkProgramWait);
  PicExit(p);
}

// 8 (or 9) increments after Load Configuration reach the calibration word
// 0x2008 (0x2009): the bulk erase then takes the calibration words too.
void CalibrationWords(app::Programmer& p, int increments) {
  p.bus.SetCtrl(hw::ctrl::kDrive, true);
  p.bus.WriteCtrl();
  EnterAtConfig(p, increments);
  PicCommand(p, cmd::kBulkEraseProgram);
  p.bus.DelayTicks(40000);
  PicExit(p);
}

// Everything else: the disable sequence at the configuration word, then
// once more after a data-memory load, for the data-protected parts.
void Default(app::Programmer& p) {
  EnterAtConfig(p, 7);
  DisableSequence(p, 14319);
  PicExit(p);
  PicEnterVddFirst(p);
  PicLoad(p, cmd::kLoadData, 0x3FFF);
  DisableSequence(p, 14319);
  PicExit(p);
}

// 12F629/675, 16F630/676: the bulk erases take the factory calibration
// with them; it goes back afterwards.
void BulkKeepingCalibration(app::Programmer& p) {
  const Calibration cal = ReadCalibration(p);
  BulkBoth(p);
  WriteCalibration(p, cal);
}

struct EraseRow {
  std::initializer_list<int> algorithms;
  void (*run)(app::Programmer&);
};

const EraseRow kErase[] = {
    {{10, 15, 20}, &ChipErase31},
    {{5, 6, 7}, &Disable578},
    {{13}, &Bulk13},
    {{14}, &BulkKeepingCalibration},
    {{16, 17, 38}, &BulkBoth},
    {{18, 19, 35}, &BulkProgram},
    // The 12-bit flash parts; 40 (10F220/222) and 41 (16F506) are of them
    // too, and the 14-bit sequences below mean nothing to their core.
    {{21, 22, 23, 24, 39, 40, 41, 42}, &EraseFlashPic12},
    {{8200}, [](app::Programmer& p) { CalibrationWords(p, 8); }},
    {{8201}, [](app::Programmer& p) { CalibrationWords(p, 9); }},
};

}  // namespace

void EraseByAlgorithm(app::Programmer& p, int algorithm) {
  for (const EraseRow& row : kErase) {
    for (const int a : row.algorithms) {
      if (a == algorithm) {
        row.run(p);
        return;
      }
    }
  }
  Default(p);
}

void ErasePic(app::Programmer& p) {
  p.Message("Erase PIC", hw::kInfo);
  EraseByAlgorithm(p, p.dev.pic16.algorithm);
  p.bus.PowerDown();
  p.Message("Device Erased", hw::kResult);
}

}  // namespace families::pic
