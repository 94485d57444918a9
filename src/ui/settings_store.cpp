#include "ui/settings_store.h"

#include <QHash>
#include <QSettings>
#include <QStringList>
#include <limits>

#include "app/dispatch.h"

namespace ui {
namespace {

constexpr int kPortCount = 4;
constexpr int kLockModes = 4;

// Value names are case-insensitive in the store's original home; QSettings
// on an INI file is not, so look names up through a lower-case index.
class CaseInsensitiveReader {
 public:
  explicit CaseInsensitiveReader(QSettings& store) : store_(store) {
    for (const QString& key : store.childKeys()) {
      const QString folded = key.toLower();
      // An exact spelling of ours wins over a stray duplicate.
      if (!index_.contains(folded)) index_.insert(folded, key);
    }
  }

  std::optional<QVariant> Value(const char* name) const {
    const auto it = index_.constFind(QString::fromLatin1(name).toLower());
    if (it == index_.cend()) return std::nullopt;
    QVariant v = store_.value(*it);
    if (!v.isValid()) return std::nullopt;
    return v;
  }

  std::optional<int> Int(const char* name, int lo, int hi) const {
    const auto v = Value(name);
    if (!v) return std::nullopt;
    bool ok = false;
    const qlonglong n = v->toString().trimmed().toLongLong(&ok);
    if (!ok || n < lo || n > hi) return std::nullopt;
    return static_cast<int>(n);
  }

  std::optional<QString> String(const char* name) const {
    const auto v = Value(name);
    if (!v) return std::nullopt;
    // A list here means someone wrote "a, b" into the file by hand; keep
    // the text as it was written.
    if (v->userType() == QMetaType::QStringList) return v->toStringList().join(", ");
    return v->toString();
  }

 private:
  QSettings& store_;
  QHash<QString, QString> index_;
};

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

}  // namespace

StoredSettings LoadStoredSettings(QSettings& store) {
  CaseInsensitiveReader r(store);
  StoredSettings s;
  s.port = r.Int(setting::kPort, 0, kPortCount - 1);
  s.erase = r.Int(setting::kErase, kIntMin, kIntMax);
  s.checksum = r.Int(setting::kChecksum, 0, kChecksumTypes - 1);
  s.device = r.String(setting::kDevice);
  s.files = r.String(setting::kFiles);
  s.family = r.Int(setting::kFamily, 0, app::kFamilyCount - 1);
  s.device_id = r.Int(setting::kDeviceId, kIntMin, kIntMax);
  s.width = r.Int(setting::kWidth, kMinWidth, kMaxExtent);
  s.height = r.Int(setting::kHeight, kMinHeight, kMaxExtent);
  s.skip_ff = r.Int(setting::kSkipFF, kIntMin, kIntMax);
  s.fast_pro = r.Int(setting::kFastPro, kIntMin, kIntMax);
  s.board = r.Int(setting::kBoard, kIntMin, kIntMax);
  s.sequ = r.Int(setting::kSequ, kIntMin, kIntMax);
  s.lock_mode = r.Int(setting::kLockMode, 0, kLockModes - 1);
  return s;
}

void SaveStoredSettings(QSettings& store, const SettingsValues& v) {
  // Remove other spellings first, so a later case-insensitive read cannot
  // pick up a stale value written by hand under another case.
  static constexpr const char* kNames[] = {
      setting::kPort,   setting::kErase,   setting::kChecksum, setting::kDevice,
      setting::kFiles,  setting::kFamily,  setting::kDeviceId, setting::kWidth,
      setting::kHeight, setting::kSkipFF,  setting::kFastPro,  setting::kBoard,
      setting::kSequ,   setting::kLockMode};
  for (const QString& key : store.childKeys()) {
    for (const char* name : kNames) {
      const QString ours = QString::fromLatin1(name);
      if (key != ours && key.compare(ours, Qt::CaseInsensitive) == 0) store.remove(key);
    }
  }
  store.setValue(setting::kPort, v.port);
  store.setValue(setting::kErase, v.erase ? 1 : 0);
  store.setValue(setting::kChecksum, v.checksum);
  store.setValue(setting::kDevice, v.device);
  store.setValue(setting::kFiles, v.files);
  store.setValue(setting::kFamily, v.family);
  store.setValue(setting::kDeviceId, v.device_id);
  store.setValue(setting::kWidth, v.width);
  store.setValue(setting::kHeight, v.height);
  store.setValue(setting::kSkipFF, v.skip_ff ? 1 : 0);
  store.setValue(setting::kFastPro, v.fast_pro ? 1 : 0);
  store.setValue(setting::kBoard, v.board ? 1 : 0);
  store.setValue(setting::kSequ, v.sequ ? 1 : 0);
  store.setValue(setting::kLockMode, v.lock_mode);
  store.sync();
}

}  // namespace ui
