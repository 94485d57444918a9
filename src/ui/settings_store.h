#pragma once

#include <QString>
#include <optional>

class QSettings;

namespace ui {

// The fourteen values kept between runs. Names and types are the store's
// interface: older installations and other tools read the same key.
namespace setting {
inline constexpr char kPort[] = "PORT";
inline constexpr char kErase[] = "ERASE";
inline constexpr char kChecksum[] = "CHECKSUM";
inline constexpr char kDevice[] = "DEVICE";
inline constexpr char kFiles[] = "FILES";
inline constexpr char kFamily[] = "Epr_eep";
inline constexpr char kDeviceId[] = "Epr_DeviceID";
inline constexpr char kWidth[] = "frmEprom_width";
inline constexpr char kHeight[] = "frmEprom_Height";
inline constexpr char kSkipFF[] = "Epr_Skip0xFF";
inline constexpr char kFastPro[] = "Epr_fastPro";
inline constexpr char kBoard[] = "Epr_tavrin";
inline constexpr char kSequ[] = "Epr_sequ";
inline constexpr char kLockMode[] = "mcs51_ModeLock";
}  // namespace setting

inline constexpr int kDefaultWidth = 590;
inline constexpr int kDefaultHeight = 480;
// Below this the window's controls overlap; a stored size that small is a
// corrupt value, not a user's choice.
inline constexpr int kMinWidth = 400;
inline constexpr int kMinHeight = 300;
inline constexpr int kMaxExtent = 16384;
inline constexpr int kChecksumTypes = 3;

// What the store holds, each value only when present and valid. A value
// that is missing, unreadable or out of range is left empty, so the
// start-up default stays.
struct StoredSettings {
  std::optional<int> port;  // cbPort index 0..3
  std::optional<int> erase;
  std::optional<int> checksum;  // cbCheckType index
  std::optional<QString> device;
  std::optional<QString> files;
  std::optional<int> family;  // 0..57
  std::optional<int> device_id;
  std::optional<int> width;
  std::optional<int> height;
  std::optional<int> skip_ff;
  std::optional<int> fast_pro;
  std::optional<int> board;
  std::optional<int> sequ;
  std::optional<int> lock_mode;  // 0..3
};

// The values as the window holds them when it closes.
struct SettingsValues {
  int port = 0;
  bool erase = false;
  int checksum = 0;
  QString device;
  QString files;
  int family = 0;
  int device_id = 0;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  bool skip_ff = false;
  bool fast_pro = false;
  bool board = true;
  bool sequ = false;
  int lock_mode = 0;
};

// Reads the values; names match whatever their case in the store
// ("frmEprom_Height" is written, any spelling is read).
StoredSettings LoadStoredSettings(QSettings& store);
// Writes all fourteen values under their names.
void SaveStoredSettings(QSettings& store, const SettingsValues& values);

}  // namespace ui
