// The window's views of a selection: the catalogue menu and the Find
// field, the board picture, the status fields, the buffer views and the
// byte editor opened from them.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QtTest>

#include "app/catalogue.h"
#include "app/device_lookup.h"
#include "image/layout.h"
#include "ui/buffer_page.h"
#include "ui/configs_page.h"
#include "ui/device_finder.h"
#include "ui/device_menu.h"
#include "ui/hex_editor.h"
#include "ui/socket_picture.h"
#include "ui/switch_picture.h"
#include "ui/timing_text.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

namespace {

const app::CatalogueNode* FirstNamed(std::string_view caption) {
  const app::CatalogueNode* found = nullptr;
  app::ForEachNode(app::CatalogueRoot(), [&](const app::CatalogueNode& n) {
    if (found == nullptr && n.caption == caption) found = &n;
  });
  return found;
}

}  // namespace

class WindowViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void theMenuShowsTheCatalogueAsListed() {
    WindowFixture f;
    ui::DeviceMenu* menu = f.window().device_menu();
    emit menu->aboutToShow();
    QStringList top;
    for (QAction* a : menu->actions()) top << a->text();
    QVERIFY(top.contains("EPROM"));
    QVERIFY(!top.contains("FLASH memory"));  // a hidden group never shows

    const app::CatalogueNode* item = FirstNamed("27C16  (RevK)");
    QVERIFY(item != nullptr);
    QAction* action = menu->ActionFor(*item);
    QVERIFY(action != nullptr);
    QCOMPARE(action->text(), QString("27C16  (RevK)"));
    QVERIFY(action->isEnabled());
    const app::CatalogueNode* disabled = FirstNamed("28C512");
    QVERIFY(disabled != nullptr && !disabled->enabled);
    QVERIFY(!menu->ActionFor(*disabled)->isEnabled());
    // An item that names no handler cannot be chosen.
    const app::CatalogueNode* inert = FirstNamed("27C202");
    QVERIFY(inert != nullptr);
    QVERIFY(!menu->ActionFor(*inert)->isEnabled());

    action->trigger();
    QCOMPARE(f.window().edDevice()->text(), QString("27C16  (RevK)"));
    QCOMPARE(f.window().programmer().image.device_size, 2048u);
  }

  void theFindFieldSelectsThroughTheSameHandler() {
    WindowFixture f;
    ui::DeviceFinder* finder = f.window().device_finder();
    QTest::keyClicks(finder, "27c16 (revk");
    QVERIFY(!finder->hits().empty());
    QCOMPARE(QString::fromUtf8(finder->hits().front()->caption.data()).left(13),
             QString("27C16  (RevK)"));
    finder->Choose(0);
    QCOMPARE(f.window().edDevice()->text(), QString("27C16  (RevK)"));
    QCOMPARE(f.window().programmer().dev.switch_pattern, 27);
    QVERIFY(finder->text().isEmpty());

    // Return takes the first match; nothing matching selects nothing.
    QTest::keyClicks(finder, "zz-no-such-chip");
    QVERIFY(finder->hits().empty());
    QTest::keyClick(finder, Qt::Key_Return);
    QCOMPARE(f.window().edDevice()->text(), QString("27C16  (RevK)"));
  }

  void theBoardPictureFollowsTheSwitchPattern() {
    WindowFixture f;
    f.Select("27C16 (RevK)");
    ui::TfrmEprom& w = f.window();
    // Pattern 27: jumper 4, switches 110001011000; the board flag set, so
    // a '1' is drawn ON.
    const auto& pictures = w.switch_picture()->pictures();
    QCOMPARE(pictures[0], 4);
    const char* pattern = "110001011000";
    for (int n = 1; n <= 12; ++n) {
      QCOMPARE(w.switch_picture()->DrawnOn(n), pattern[n - 1] == '1');
    }
    QCOMPARE(w.socket_picture()->code(), 2716);
    QCOMPARE(ui::OutlineForCode(2716).pins, 24);
    QCOMPARE(ui::OutlineForCode(29256).wire_from, 3);
    QCOMPARE(ui::OutlineForCode(1234).kind, ui::SocketOutline::Kind::kEmpty);

    // Without the board flag the same pattern draws inverted.
    w.programmer().dev.board_flag = false;
    w.RenderControls();
    QVERIFY(!w.switch_picture()->DrawnOn(1));
    QVERIFY(w.switch_picture()->DrawnOn(3));

    // A 512 KB part with A18 on the jumper.
    f.Select("28C040");
    QCOMPARE(w.programmer().dev.switch_pattern, 19);
    QCOMPARE(w.switch_picture()->pictures()[0], 5);
    QCOMPARE(w.programmer().controls.Text("lbJpa18"), std::string("A18"));
  }

  void familyPanelsFollowTheSelection() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    auto* panel = w.findChild<QWidget*>("p27CSettings");
    QVERIFY(panel != nullptr);
    f.Select("27C256");
    QVERIFY(!panel->isHidden());
    // The track bar's handler sets the descriptor's timing.
    auto* bar = panel->findChild<QSlider*>("tbTWC");  // the SPI panel has one too
    QVERIFY(bar != nullptr);
    bar->setValue(42);
    QCOMPARE(w.programmer().dev.twc, 42);
    QCOMPARE(w.programmer().controls.Index("tbTWC"), 42);
    // A family without the panel hides it again.
    f.Select("29F040");
    QVERIFY(panel->isHidden());
  }

  // Beside each bar the timing in use, in ticks and microseconds (a tick is
  // 0.8381 us), marked while it is not the device's own.
  void theTimingBarsShowTheTimingInUse() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("27C256");  // tWP 140, tWC 20
    auto* panel = w.findChild<QWidget*>("p27CSettings");
    QVERIFY(panel != nullptr);
    auto* twp = panel->findChild<QSlider*>("tbTWP");
    auto* twc = panel->findChild<QSlider*>("tbTWC");
    auto* twp_value = w.findChild<QLabel*>("tbTWPValue");
    auto* twc_value = w.findChild<QLabel*>("tbTWCValue");
    auto* restore = w.findChild<QPushButton*>("btnDeviceTiming");
    QVERIFY(twp && twc && twp_value && twc_value && restore);
    const QColor normal = twc_value->palette().color(QPalette::WindowText);
    const QColor warning = ui::TimingWarningColour();
    QVERIFY(normal != warning);

    QCOMPARE(twp_value->text(), QString::fromUtf8("140 ticks = 117.3 \u00b5s"));
    QCOMPARE(twc_value->text(), QString::fromUtf8("20 ticks = 16.8 \u00b5s"));
    QCOMPARE(twp_value->palette().color(QPalette::WindowText), normal);
    QCOMPARE(twp->value(), 100);  // as far as the bar reaches
    QCOMPARE(twc->value(), 20);
    QVERIFY(!restore->isEnabled());

    // Down to 1: a pulse of less than a microsecond does not pass quietly.
    twp->setValue(1);
    QCOMPARE(w.programmer().dev.twp, 1);
    QCOMPARE(twp_value->text(), QString::fromUtf8("1 tick = 0.8 \u00b5s (device 140)"));
    QCOMPARE(twp_value->palette().color(QPalette::WindowText), warning);
    QCOMPARE(twc_value->palette().color(QPalette::WindowText), normal);
    QVERIFY(restore->isEnabled());
    twc->setValue(37);
    QCOMPARE(twc_value->text(), QString::fromUtf8("37 ticks = 31.0 \u00b5s (device 20)"));

    QTest::mouseClick(restore, Qt::LeftButton);
    QCOMPARE(w.programmer().dev.twp, 140);
    QCOMPARE(w.programmer().dev.twc, 20);
    QCOMPARE(twp_value->text(), QString::fromUtf8("140 ticks = 117.3 \u00b5s"));
    QCOMPARE(twc_value->palette().color(QPalette::WindowText), normal);
    QCOMPARE(twp->value(), 100);
    QCOMPARE(twc->value(), 20);
    QVERIFY(!restore->isEnabled());

    // Another device brings its own values: an NMOS 27256 pulses 1200
    // ticks and waits 50.
    twp->setValue(60);
    f.Select("27256");
    QCOMPARE(twp_value->text(), QString("1200 ticks = 1.01 ms"));
    QCOMPARE(twc_value->text(), QString::fromUtf8("50 ticks = 41.9 \u00b5s"));
    QCOMPARE(twp_value->palette().color(QPalette::WindowText), normal);
    QCOMPARE(twc->value(), 50);
  }

  void statusFieldsAndOffset() {
    WindowFixture f;
    f.Select("27C256");
    ui::TfrmEprom& w = f.window();
    QCOMPARE(w.edBuffer()->text(), QString(" 0x7FFF"));
    QCOMPARE(w.edChecksum()->text(), QString("0x8000"));  // 32 KB of 0xFF: 0x7F8000
    w.edOffset()->clear();
    QTest::keyClicks(w.edOffset(), "1A2");
    QCOMPARE(w.programmer().image.buffer_offset, 0x1A2u);
    QCOMPARE(w.configs_page()->Field("EPROM", "Offset")->text(), QString("1A2"));
    w.edOffsetExit();
    QCOMPARE(w.edOffset()->text(), QString("0001A2"));
    QCOMPARE(w.configs_page()->Field("EPROM", "eep")->text(), QString("0"));
    QCOMPARE(w.configs_page()->Field("EPROM", "DIP")->text(), QString("3"));
  }

  void theByteViewAndEditorShowTheFamilysArea() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    app::Programmer& p = w.programmer();
    const app::DeviceLookup pic = app::FindDevice("PIC 16F84");
    if (!pic.ok()) QSKIP("no PIC 16F84 in the catalogue");
    w.SelectItem(*pic.node);
    QCOMPARE(p.dev.family, image::kFamilyPicFlash14);
    const ui::BufferLayout& layout = w.buffer_page()->buffer_layout();
    QVERIFY(layout.words_visible);
    QVERIFY(!w.buffer_page()->ProgGrid()->isHidden());

    p.image[0x4220] = 0x5A;
    w.buffer_page()->Refresh();
    QTableView* grid = w.buffer_page()->HexGrid();
    QCOMPARE(grid->model()->data(grid->model()->index(1, 1)).toString(), QString("5A"));
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString(" Data"));

    // Row 2, column 1 opens the editor on value 0x10 of the data area.
    w.HexGridClick(1, 2);
    QVERIFY(w.hex_editor()->isVisible());
    QCOMPARE(w.hex_editor()->edHexAdres()->text(), QString("000010"));
    QCOMPARE(w.hex_editor()->edHexData()->text(), QString("5A"));
    QCOMPARE(w.hex_editor()->edit_address(), 0x4220u);
    w.hex_editor()->edHexData()->selectAll();
    QTest::keyClicks(w.hex_editor()->edHexData(), "A5");
    QCOMPARE(p.image[0x4220], 0xA5);
    QCOMPARE(grid->model()->data(grid->model()->index(1, 1)).toString(), QString("A5"));

    // The heading row and values past the area do not open the editor;
    // a click outside the 16 data columns closes it.
    w.HexGridClick(1, 0);
    QCOMPARE(w.hex_editor()->edit_address(), 0x4220u);
    const uint32_t rows = (layout.bytes.count + 15) / 16;
    w.HexGridClick(16, static_cast<int>(rows) + 3);
    QCOMPARE(w.hex_editor()->edit_address(), 0x4220u);
    w.HexGridClick(0, 1);
    QVERIFY(!w.hex_editor()->isVisible());

    // Switching pages closes the editor too.
    w.HexGridClick(2, 1);
    QVERIFY(w.hex_editor()->isVisible());
    w.PageControl1()->setCurrentIndex(1);
    QVERIFY(!w.hex_editor()->isVisible());
  }

  void loadingAFileShowsItInTheViews() {
    WindowFixture f;
    f.Select("27C256");
    ui::TfrmEprom& w = f.window();
    QFile file(f.Path("rom.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Hello, ROM");
    file.close();
    QVERIFY(w.LoadFile(f.Path("rom.bin")));
    QCOMPARE(w.status_line()->text(), QString("Binary File loaded OK"));
    QVERIFY(w.windowTitle().endsWith(QString("rom.bin") +
                                     QString::fromUtf16(ui::kSimulatedCaptionSuffix)));
    QCOMPARE(w.programmer().image.data_end, 10u);
    QTableView* grid = w.buffer_page()->HexGrid();
    QCOMPARE(grid->model()->data(grid->model()->index(0, 17)).toString(),
             QString("Hello,.ROM......"));
    QVERIFY(w.edChecksum()->text() != QString("0x8000"));

    QVERIFY(!w.LoadFile(f.Path("missing.bin")));
    QCOMPARE(w.status_line()->text(), QString("Error opening file"));
    QCOMPARE(w.programmer().image.data_end, 10u);

    const QString saved = w.SaveFile(f.Path("out.hex"), image::SaveType::kIntelHex);
    QCOMPARE(saved, f.Path("out.hex"));
    QVERIFY(QFile::exists(saved));
  }

  // A ROM assembled at 0xE000 for a 27C64: loaded as it is, the box says
  // that none of it reaches the chip; loaded with the file offset it lands
  // at the start of the chip.
  void aFileOffsetMovesTheDataIntoTheDevice() {
    WindowFixture f;
    f.Select("27C64");
    ui::TfrmEprom& w = f.window();
    QFile file(f.Path("rom.hex"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(":02E000001122EB\r\n:02FFFE00AABB9C\r\n:00000001FF\r\n");
    file.close();

    QVERIFY(w.LoadFile(f.Path("rom.hex")));
    QCOMPARE(f.information.size(), 1);
    QVERIFY(
        f.information[0].startsWith("4 bytes of rom.hex, from 0x00E000 to 0x00FFFF, lie "
                                    "outside the 27C64"));

    f.information.clear();
    QVERIFY(!w.LoadFileAtOffset(f.Path("rom.hex"), "E000"));  // neither 0x.. nor decimal
    QVERIFY(w.status_line()->text().startsWith("File offset must be a number"));
    QVERIFY(w.LoadFileAtOffset(f.Path("rom.hex"), " -0xE000 "));
    QVERIFY(f.information.isEmpty());
    QCOMPARE(w.programmer().image[0], uint8_t{0x11});
    QCOMPARE(w.programmer().image[0x1FFF], uint8_t{0xBB});
    QVERIFY(w.action("mnuLoadOffset") != nullptr);
  }

  // The save dialog confirmed the name as typed; the name the type's
  // extension makes is not replaced unasked.
  void savingAsAnotherTypeAsksBeforeReplacing() {
    WindowFixture f;
    f.Select("27C64");
    ui::TfrmEprom& w = f.window();
    QFile other(f.Path("x.bin.ROM"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("keep");
    other.close();

    f.answer = false;
    QVERIFY(w.SaveChosenFile(f.Path("x.bin"), image::SaveType::kRom).isEmpty());
    QCOMPARE(f.questions.size(), 1);
    QVERIFY(f.questions[0].startsWith("x.bin.ROM already exists."));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("keep"));
    other.close();

    f.answer = true;
    QCOMPARE(w.SaveChosenFile(f.Path("x.bin"), image::SaveType::kRom), f.Path("x.bin.ROM"));
    QCOMPARE(QFileInfo(f.Path("x.bin.ROM")).size(), qint64{0x2000});
    // A new name, or the name as typed: no question.
    QVERIFY(!w.SaveChosenFile(f.Path("new.bin"), image::SaveType::kRom).isEmpty());
    QVERIFY(!w.SaveChosenFile(f.Path("x.bin.ROM"), image::SaveType::kRom).isEmpty());
    QCOMPARE(f.questions.size(), 2);
  }
};

QTEST_MAIN(WindowViewsTest)
#include "window_views_test.moc"
