#include "image/file_filters.h"

#include <array>

namespace image {

namespace {

using P = std::string_view;
constexpr std::array<P, 1> kBin{"*.BIN"};
constexpr std::array<P, 1> kHex{"*.HEX"};
constexpr std::array<P, 1> kS{"*.S"};
constexpr std::array<P, 17> kAllDaraz{"*.BIN", "*.HEX",  "*.S",   "*.ROM", "*.EEP",  "*.S19",
                                      "*.S2",  "*.S3",   "*.S28", "*.S37", "*.SREC", "*.MOT",
                                      "*.IHX", "*.IHEX", "*.H86", "*.MCS", "*.A43"};
constexpr std::array<P, 1> kRom{"*.ROM"};
constexpr std::array<P, 1> kEep{"*.EEP"};
constexpr std::array<P, 1> kS19{"*.S19"};
constexpr std::array<P, 1> kS2{"*.S2"};
constexpr std::array<P, 1> kS3{"*.S3"};
constexpr std::array<P, 1> kAll{"*.*"};

constexpr std::array<FileFilter, 10> kOpen{{
    {"Binary  (*.BIN)", kBin},
    {"Intel Hex  (*.HEX)", kHex},
    {"Motorola S Record (*.S)", kS},
    {"All Daraz Files", kAllDaraz},
    {"ROM (binary) (*.ROM)", kRom},
    {"EEPROM (*.EEP)", kEep},
    {"Motorola S 16bit (*.S19)", kS19},
    {"Motorola S 24bit (*.S2)", kS2},
    {"Motorola S 32bit (*.S3)", kS3},
    {"All Files (*.*)", kAll},
}};

constexpr std::array<FileFilter, 5> kSave{{
    {"Binary (*.bin)", kBin},
    {"Intel Hex (*.hex)", kHex},
    {"Motorola S (*.S)", kS},
    {"Binary (*.rom)", kRom},
    {"EEPROM (*.eep)", kEep},
}};

}  // namespace

std::span<const FileFilter> OpenFilters() { return kOpen; }
std::span<const FileFilter> SaveFilters() { return kSave; }

}  // namespace image
