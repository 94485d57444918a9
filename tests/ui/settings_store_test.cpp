// The settings store: the fourteen values under their names, read without
// regard to case, and a damaged store that never yields a bad value.
#include "ui/settings_store.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using ui::LoadStoredSettings;
using ui::SaveStoredSettings;
using ui::SettingsValues;
using ui::StoredSettings;

class SettingsStoreTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const char* name) const { return dir_.filePath(name); }

 private slots:
  void everyValueRoundTripsUnderItsName() {
    SettingsValues v;
    v.port = 2;
    v.erase = true;
    v.checksum = 1;
    v.device = "27C16  (RevK)";
    v.files = "/home/user/roms, old";
    v.family = 57;
    v.device_id = -5;
    v.width = 800;
    v.height = 612;
    v.skip_ff = true;
    v.fast_pro = true;
    v.board = false;
    v.sequ = true;
    v.lock_mode = 3;
    {
      QSettings store(Path("roundtrip.ini"), QSettings::IniFormat);
      SaveStoredSettings(store, v);
    }
    QSettings store(Path("roundtrip.ini"), QSettings::IniFormat);
    // The names are the store's interface: exactly these, nothing else.
    QStringList keys = store.childKeys();
    keys.sort();
    QStringList expected = {
        "PORT",        "ERASE",        "CHECKSUM",       "DEVICE",          "FILES",
        "Epr_eep",     "Epr_DeviceID", "frmEprom_width", "frmEprom_Height", "Epr_Skip0xFF",
        "Epr_fastPro", "Epr_tavrin",   "Epr_sequ",       "mcs51_ModeLock"};
    expected.sort();
    QCOMPARE(keys, expected);

    const StoredSettings s = LoadStoredSettings(store);
    QCOMPARE(s.port.value(), 2);
    QCOMPARE(s.erase.value(), 1);
    QCOMPARE(s.checksum.value(), 1);
    QCOMPARE(s.device.value(), QString("27C16  (RevK)"));
    QCOMPARE(s.files.value(), QString("/home/user/roms, old"));
    QCOMPARE(s.family.value(), 57);
    QCOMPARE(s.device_id.value(), -5);
    QCOMPARE(s.width.value(), 800);
    QCOMPARE(s.height.value(), 612);
    QCOMPARE(s.skip_ff.value(), 1);
    QCOMPARE(s.fast_pro.value(), 1);
    QCOMPARE(s.board.value(), 0);
    QCOMPARE(s.sequ.value(), 1);
    QCOMPARE(s.lock_mode.value(), 3);
  }

  void namesAreReadWithoutRegardToCase() {
    {
      QSettings store(Path("case.ini"), QSettings::IniFormat);
      store.setValue("frmEprom_height", 500);  // as the loader asks for it
      store.setValue("port", 1);
      store.setValue("EPR_DEVICEID", 204);
    }
    QSettings store(Path("case.ini"), QSettings::IniFormat);
    const StoredSettings s = LoadStoredSettings(store);
    QCOMPARE(s.height.value(), 500);
    QCOMPARE(s.port.value(), 1);
    QCOMPARE(s.device_id.value(), 204);
    QVERIFY(!s.width.has_value());

    // Saving replaces the other spelling, so it cannot shadow the new value.
    SaveStoredSettings(store, SettingsValues{});
    QVERIFY(!store.childKeys().contains("frmEprom_height"));
    QVERIFY(!store.childKeys().contains("port"));
    QCOMPARE(LoadStoredSettings(store).height.value(), ui::kDefaultHeight);
  }

  void aDamagedStoreYieldsOnlyValidValues() {
    {
      QSettings store(Path("damaged.ini"), QSettings::IniFormat);
      store.setValue("PORT", 7);                // no such port
      store.setValue("CHECKSUM", 3);            // three types only
      store.setValue("Epr_eep", 58);            // family codes end at 57
      store.setValue("Epr_DeviceID", "abc");    // not a number
      store.setValue("frmEprom_width", 12);     // unusably small
      store.setValue("frmEprom_Height", -480);  // negative
      store.setValue("mcs51_ModeLock", 4);      // lock modes 0..3
      store.setValue("ERASE", "1x");
      store.setValue("Epr_Skip0xFF", "99999999999999999999");
    }
    QSettings store(Path("damaged.ini"), QSettings::IniFormat);
    const StoredSettings s = LoadStoredSettings(store);
    QVERIFY(!s.port && !s.checksum && !s.family && !s.device_id);
    QVERIFY(!s.width && !s.height && !s.lock_mode && !s.erase && !s.skip_ff);
    QVERIFY(!s.device && !s.files);

    // The edges of the ranges are valid.
    store.setValue("PORT", 3);
    store.setValue("Epr_eep", 0);
    store.setValue("CHECKSUM", 2);
    store.setValue("frmEprom_width", ui::kMinWidth);
    const StoredSettings edge = LoadStoredSettings(store);
    QCOMPARE(edge.port.value(), 3);
    QCOMPARE(edge.family.value(), 0);
    QCOMPARE(edge.checksum.value(), 2);
    QCOMPARE(edge.width.value(), ui::kMinWidth);
  }

  void anEmptyStoreHasNoValues() {
    QSettings store(Path("empty.ini"), QSettings::IniFormat);
    const StoredSettings s = LoadStoredSettings(store);
    QVERIFY(!s.port && !s.device_id && !s.family && !s.device && !s.board);
  }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
