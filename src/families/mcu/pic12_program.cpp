// Program and erase of the 12-bit core parts. The OTP parts (family 18)
// take program pulses until a word reads back, then eleven times as many
// again; the flash parts (family 53) are bulk-erased with the PC in the ID
// area and written a word at a time. Both leave the factory OSCCAL alone:
// the OTP program skips its word, the flash erase reads it and its backup
// first and writes them back.
#include "families/mcu/pic.h"
#include "image/layout.h"

namespace families::pic {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint16_t kIdMask = 0x000F;  // an OTP ID location is compared on its low nibble
constexpr int kOverPulses = 11;       // per pulse the word needed
constexpr int kFirstWordPulses = 8;
constexpr int kWordPulses = 9;
constexpr int kConfigPulses = 100;
constexpr int kWordAttempts = 9;
constexpr int kRetryUs = 500;

// --- OTP ---------------------------------------------------------------------------

// One program pulse: load, 8 starts it, tWC (in ticks), 14 ends it.
void Pulse(app::Programmer& p, uint16_t word) {
  PicLoad(p, cmd::kLoadProgram, word);
  p.bus.DelayTicks(20);
  PicCommand(p, cmd::kBeginErase);
  p.bus.DelayTicks(p.dev.twc);
  PicCommand(p, cmd::kEndProgramming);
  p.bus.DelayTicks(30);
}

// Pulses the word at the PC until it reads back under `mask`, at most
// `limit` pulses, then eleven over-programming pulses for each one it took.
// Every word counts its pulses from 1, so a word right at its first pulse
// still gets its eleven.
bool BurnWord(app::Programmer& p, uint16_t word, int limit, uint16_t mask, uint16_t& read) {
  for (int n = 1; n <= limit; ++n) {
    Pulse(p, word);
    p.bus.DelayTicks(50);
    read = PicRead(p, cmd::kReadProgram);
    if (((read ^ word) & mask) == 0) {
      for (int k = 0; k < kOverPulses * n; ++k) {
        Pulse(p, word);
        p.bus.DelayTicks(20);
      }
      return true;
    }
  }
  return false;
}

// The configuration word: a hundred pulses at the PC's starting point, then
// a fresh entry to read it back.
bool BurnConfig(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const uint16_t config = p.image.Word(pic.config_index);
  p.SetProcessGauge("Programming PIC config area", 1, kRed);
  PicEnterVddFirst(p);
  p.bus.DelayTicks(1000);
  for (int k = 0; k < kConfigPulses; ++k) {
    PicCommand(p, cmd::kLoadProgram);
    p.bus.DelayTicks(10);
    PicSendData(p, config);
    p.bus.DelayTicks(20);
    PicCommand(p, cmd::kBeginErase);
    p.bus.DelayTicks(1000);
    PicCommand(p, cmd::kEndProgramming);
  }
  PicExit(p);
  PicEnterVddFirst(p);
  const uint16_t read = PicRead(p, cmd::kReadProgram);
  PicExit(p);
  if (((read ^ config) & pic.config_mask) != 0) {
    p.ReportMismatch(2 * pic.config_index, 0, static_cast<uint8_t>(read));
    return false;
  }
  p.bus.DelayTicks(20000);
  return true;
}

// --- flash ---------------------------------------------------------------------------

// 16F54 and 16F57/59 end each write with 14.
bool EndsWith14(const app::Programmer& p) {
  return p.dev.pic16.algorithm == 23 || p.dev.pic16.algorithm == 42;
}

// Writes the word at the PC with retries, 500 us more each time.
bool WriteWord(app::Programmer& p, uint16_t word, uint16_t mask) {
  for (int attempt = 0; attempt < kWordAttempts; ++attempt) {
    PicLoad(p, cmd::kLoadProgram, word);
    p.bus.DelayTicks(25);
    PicCommand(p, cmd::kBeginErase);
    p.bus.DelayTicks(UsToTicks(p.dev.twc + attempt * kRetryUs));
    if (EndsWith14(p)) PicCommand(p, cmd::kEndProgramming);
    if (((PicRead(p, cmd::kReadProgram) ^ word) & mask) == 0) return true;
  }
  return false;
}

}  // namespace

bool IsMovlw(uint16_t word) { return (word & 0x0F00) == 0x0C00; }

Osccal12 ReadOsccal12(app::Programmer& p) {
  Osccal12 cal;
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  if (pic.osccal_backup_index == 0) return cal;
  PicEnterVddFirst(p);
  PicIncrement(p, static_cast<int>(pic.osccal_index) + 1);
  cal.word = PicRead(p, cmd::kReadProgram) & kMask12;
  PicIncrement(p, static_cast<int>(pic.osccal_backup_index - pic.osccal_index));
  cal.backup = PicRead(p, cmd::kReadProgram) & kMask12;
  PicExit(p);
  // A lost calibration word comes back from its backup.
  if (!IsMovlw(cal.word) && IsMovlw(cal.backup)) cal.word = cal.backup;
  return cal;
}

void WriteOsccal12(app::Programmer& p, const Osccal12& cal) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  if (pic.osccal_backup_index == 0) return;
  PicEnterVddFirst(p);
  PicIncrement(p, static_cast<int>(pic.osccal_index) + 1);
  if (cal.word != kMask12) WriteWord(p, cal.word, kMask12);
  PicIncrement(p, static_cast<int>(pic.osccal_backup_index - pic.osccal_index));
  if (cal.backup != kMask12) WriteWord(p, cal.backup, kMask12);
  PicExit(p);
}

namespace {

// Program memory (the calibration word skipped), then the IDs: OTP words
// take pulses until they read back, flash words a timed write with retries.
bool WriteProgramAndIds(app::Programmer& p, bool otp) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const uint32_t words = pic.program_words - static_cast<uint32_t>(pic.reserved_words);
  p.SetProcessGauge("Programming PIC program +ID area", pic.program_words + pic.id_words, kRed);
  PicEnterVddFirst(p);
  PicIncrement(p);
  uint16_t read = 0;
  for (uint32_t i = 0; i < words; ++i) {
    const uint16_t word = p.image.Word(i);
    const int limit = i == 0 ? kFirstWordPulses : kWordPulses;
    if (!(otp ? BurnWord(p, word, limit, kMask12, read) : WriteWord(p, word, kMask12))) {
      PicExit(p);
      p.ReportError("Error writing program area");
      return false;
    }
    PicIncrement(p);
    if (p.ProgressTick(i)) {
      PicExit(p);
      p.ShowProgress(1, 0, 0);
      return false;
    }
  }
  if (pic.reserved_words != 0) PicIncrement(p);
  for (uint32_t k = 0; k < static_cast<uint32_t>(pic.id_words); ++k) {
    const uint32_t index = pic.id_index + k;
    const uint16_t word = p.image.Word(index);
    if (!(otp ? BurnWord(p, word, kWordPulses, kIdMask, read) : WriteWord(p, word, kMask12))) {
      PicExit(p);
      if (otp) {
        p.ReportMismatch(2 * index, 0, static_cast<uint8_t>(read));
      } else {
        p.ReportError("Error writing PIC id area");
      }
      return false;
    }
    PicIncrement(p);
  }
  PicExit(p);
  return true;
}

bool WriteConfig(app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  const uint16_t config = p.image.Word(pic.config_index);
  p.SetProcessGauge("Programming PIC config area", 1, kRed);
  PicEnterVddFirst(p);
  const bool ok = WriteWord(p, config, pic.config_mask);
  PicExit(p);
  if (!ok) {
    PicEnterVddFirst(p);
    const uint16_t read = PicRead(p, cmd::kReadProgram);
    PicExit(p);
    p.ReportMismatch(2 * pic.config_index, 0, static_cast<uint8_t>(read));
  }
  return ok;
}

}  // namespace

void ProgramOtpPic12(app::Programmer& p) {
  if (!p.host.Ask("Do you really want program the device ?")) return;
  p.error = 1;
  if (!WriteProgramAndIds(p, true) || !VerifyPic12Words(p) || !BurnConfig(p)) return;
  p.error = 0;
  p.bus.PowerDown();
}

void EraseFlashPic12(app::Programmer& p) {
  const Osccal12 cal = ReadOsccal12(p);
  p.Message("ERASE PIC Program CFG ID  area", hw::kInfo);
  BulkErasePic12(p);
  WriteOsccal12(p, cal);
}

void BulkErasePic12(app::Programmer& p) {
  PicEnterVddFirst(p);
  // From the configuration word past program memory into the IDs: the
  // bulk erase there takes the IDs and the backup OSCCAL as well.
  PicIncrement(p, static_cast<int>(p.dev.pic16.program_words) + 1);
  PicCommand(p, cmd::kBulkEraseProgram);
  p.bus.DelayTicks(40000);
  PicExit(p);
}

bool ProgramFlashPic12(app::Programmer& p) {
  EraseFlashPic12(p);
  return WriteProgramAndIds(p, false) && VerifyPic12Words(p) && WriteConfig(p);
}

}  // namespace families::pic
