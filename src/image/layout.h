#pragma once

// Where the microcontroller families keep their areas in the memory image,
// and the small description of the selected family that the clear, the
// checksum and the file writers need. The family code fills a FamilyLayout
// from its descriptor; nothing here knows the application.

#include <cstdint>

namespace image {

// Family type codes that the image operations treat specially.
inline constexpr int kFamilyAvr = 14;
inline constexpr int kFamilyPicOtp14 = 16;    // 14-bit OTP / windowed PIC
inline constexpr int kFamilyPicFlash14 = 17;  // 14-bit flash / EEPROM PIC
inline constexpr int kFamilyPic12 = 18;       // 12-bit core OTP PIC
inline constexpr int kFamilyPic18 = 36;
inline constexpr int kFamilyPic12Flash = 53;  // 12-bit core flash PIC

inline constexpr bool IsPic14(int family) {
  return family == kFamilyPicOtp14 || family == kFamilyPicFlash14;
}
inline constexpr bool IsPic12(int family) {
  return family == kFamilyPic12 || family == kFamilyPic12Flash;
}

// AVR: flash byte n at offset n, EEPROM byte n at kAvrEepromOffset + n.
inline constexpr uint32_t kAvrEepromOffset = 0x40000;

// PIC mid-range, as little-endian 16-bit words (word index -> byte offset 2k).
inline constexpr uint32_t kPicIdWord = 0x2000;        // four user ID words
inline constexpr uint32_t kPicDeviceIdWord = 0x2006;  // read only
inline constexpr uint32_t kPicConfigWord = 0x2007;    // 0x2008, 0x2009 follow on some parts
inline constexpr uint32_t kPicEepromWord =
    0x2100;  // data EEPROM byte n = low byte of word 0x2100 + n
inline constexpr uint32_t kPic12ConfigWord = 0x0FFF;    // configuration word of the 12-bit core
inline constexpr uint32_t kPicIdByte = kPicIdWord * 2;  // 0x4000
inline constexpr uint32_t kPicDeviceIdByte = kPicDeviceIdWord * 2;  // 0x400C
inline constexpr uint32_t kPicConfigByte = kPicConfigWord * 2;      // 0x400E
inline constexpr uint32_t kPicEepromByte = kPicEepromWord * 2;      // 0x4200
inline constexpr uint32_t kPicIdWords = 4;
// The clear of a 14-bit part: program and configuration words blank to
// 0x3FFF, the data-EEPROM words up to the end of the 32 KB window to 0.
inline constexpr uint32_t kPic14BlankWords = 8200;
inline constexpr uint32_t kPic14ClearWords = 16384;
// Bytes of the 14-bit configuration area the Intel HEX writer saves.
inline constexpr uint32_t kPic14ConfigAreaBytes = 32;
// After a load only the first 64 K words are masked to the core's width.
inline constexpr uint32_t kPicMaskedWords = 65536;

// PIC18: code from byte 0, then these areas at fixed offsets.
inline constexpr uint32_t kPic18IdOffset = 0x200000;
inline constexpr uint32_t kPic18IdBytes = 8;
inline constexpr uint32_t kPic18ConfigOffset = 0x300000;
inline constexpr uint32_t kPic18ConfigBytes = 14;  // CONFIG1L .. CONFIG7H
inline constexpr uint32_t kPic18DeviceIdAddress = 0x3FFFFE;
inline constexpr uint32_t kPic18EepromOffset = 0xF00000;
// One data-EEPROM byte per image byte: PIC18 HEX files hold EEPROM byte n
// at 0xF00000 + n (unlike the mid-range parts' one byte per word).
inline constexpr uint32_t kPic18EepromStride = 1;

// The checksum of a PIC covers this many image bytes whatever the part.
inline constexpr uint32_t kPicChecksumLength = 20000;

// What the image operations need to know about the selected device beyond
// the sizes the MemoryImage holds itself.
struct FamilyLayout {
  int family = 0;    // family type code
  bool pic = false;  // a PIC device is selected
  // PIC mid-range and 12-bit core.
  uint32_t pic_program_words = 0;              // program-memory word count
  uint32_t pic_data_words = 0;                 // data-EEPROM word count (0 when none)
  uint32_t pic_config_index = kPicConfigWord;  // configuration word index
  uint32_t pic_id_index = kPicIdWord;  // ID locations (12-bit: the word after program memory)
  // PIC18.
  uint32_t pic18_code_words = 0;
  uint32_t pic18_eeprom_bytes = 0;
  // AVR.
  uint32_t avr_program_bytes = 0;
  uint32_t avr_eeprom_bytes = 0;
};

}  // namespace image
