#include "ui/configs_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/programmer.h"

namespace ui {
namespace {

using P = app::Programmer;
QString N(long long v) { return QString::number(v); }
QString H(unsigned long long v) { return QString::number(v, 16).toUpper(); }

struct Row {
  const char* label;
  QString (*value)(const P&);
};

// The descriptor fields by their Configs labels.
const Row kEprom[] = {
    {"eep", [](const P& p) { return N(p.dev.family); }},
    {"Offset", [](const P& p) { return H(p.image.buffer_offset); }},
    {"tWP", [](const P& p) { return N(p.dev.twp); }},
    {"tWC", [](const P& p) { return N(p.dev.twc); }},
    {"addStep", [](const P& p) { return N(p.dev.add_step); }},
    {"epr64", [](const P& p) { return N(p.dev.read_level); }},
    {"swap", [](const P& p) { return N(p.dev.scramble); }},
    {"pin28", [](const P& p) { return N(p.dev.pin28); }},
    {"pin30", [](const P& p) { return N(p.dev.pin30); }},
    {"serial", [](const P& p) { return N(p.dev.serial); }},
    {"PIC", [](const P& p) { return N(p.dev.pic); }},
    {"Ssize", [](const P& p) { return N(p.dev.page_size); }},
    {"Fast Pro.", [](const P& p) { return N(p.controls.Checked("cbFastPro")); }},
    {"DIP", [](const P& p) { return N(p.dev.switch_pattern); }},
    {"pin7", [](const P& p) { return N(p.dev.pin7); }},
    {"qErase", [](const P& p) { return N(p.dev.q_erase); }},
    {"AT49F00x", [](const P& p) { return N(p.dev.at49f00x); }},
    {"Sequ", [](const P& p) { return N(p.dev.sequ); }},
};

const Row kMcs51[] = {
    {"at89S", [](const P& p) { return N(p.dev.mcs51.at89s); }},
    {"tWP", [](const P& p) { return N(p.dev.mcs51.twp); }},
    {"tWC", [](const P& p) { return N(p.dev.mcs51.twc); }},
    {"Pulses", [](const P& p) { return N(p.dev.mcs51.pulses); }},
    {"type", [](const P& p) { return N(p.dev.mcs51.type); }},
    {"tWPb", [](const P& p) { return N(p.dev.mcs51.twpb); }},
    {"tWPe", [](const P& p) { return N(p.dev.mcs51.twpe); }},
    {"ird_lbit", [](const P& p) { return N(p.dev.mcs51.ird_lbit); }},
    {"tErase", [](const P& p) { return N(p.dev.mcs51.t_erase); }},
    {"LockBit", [](const P& p) { return N(p.dev.lock_mode); }},
    {"sig_Lbit", [](const P& p) { return H(static_cast<unsigned>(p.dev.mcs51.sig_lbit)); }},
};

const Row kPic[] = {
    {"Words", [](const P& p) { return N(p.dev.pic16.program_words); }},
    {"EEPROM", [](const P& p) { return N(p.dev.pic16.eeprom_size); }},
    {"Config", [](const P& p) { return H(p.dev.pic16.config_word); }},
    {"Cfg idx", [](const P& p) { return H(p.dev.pic16.config_index); }},
    {"ID idx", [](const P& p) { return H(p.dev.pic16.id_index); }},
    {"Alg.", [](const P& p) { return N(p.dev.pic16.algorithm); }},
    {"Cfg mask", [](const P& p) { return H(p.dev.pic16.config_mask); }},
    {"Blank sum", [](const P& p) { return H(p.dev.pic16.blank_checksum); }},
    {"Addend", [](const P& p) { return H(p.dev.pic16.checksum_addend); }},
    {"tWP", [](const P& p) { return N(p.dev.twp); }},
    {"tWC", [](const P& p) { return N(p.dev.twc); }},
    {"18F words", [](const P& p) { return N(p.dev.pic18.code_words); }},
    {"18F EEPROM", [](const P& p) { return N(p.dev.pic18.eeprom_size); }},
};

}  // namespace

ConfigsPage::ConfigsPage(const app::Programmer& programmer, QWidget* parent)
    : QWidget(parent), programmer_(programmer) {
  setObjectName("tsConfigs");
  // Scrolled, so the page never holds the window wider or taller than the
  // user wants it.
  auto* inner = new QWidget;
  auto* layout = new QHBoxLayout(inner);
  const int field_width = fontMetrics().horizontalAdvance("0000000") + 12;

  auto add_group = [&](const char* title, const Row* rows, size_t count, int columns) {
    auto* box = new QGroupBox(title, inner);
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(3);
    for (size_t i = 0; i < count; ++i) {
      const int row = static_cast<int>(i) / columns;
      const int col = static_cast<int>(i) % columns;
      auto* label = new QLabel(rows[i].label, box);
      auto* field = new QLineEdit(box);
      field->setReadOnly(true);
      field->setObjectName(QStringLiteral("cfg_%1_%2").arg(title, rows[i].label));
      field->setFixedWidth(field_width);
      label->setBuddy(field);
      grid->addWidget(label, row, col * 2, Qt::AlignRight);
      grid->addWidget(field, row, col * 2 + 1);
      entries_.push_back({title, rows[i].label, field, rows[i].value});
    }
    grid->setRowStretch(grid->rowCount(), 1);
    return box;
  };
  layout->addWidget(add_group("EPROM", kEprom, std::size(kEprom), 2), 2);
  auto* right = new QVBoxLayout;
  right->addWidget(add_group("MCS-51", kMcs51, std::size(kMcs51), 1));
  layout->addLayout(right, 1);
  layout->addWidget(add_group("PIC", kPic, std::size(kPic), 1), 1);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(inner);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
  Refresh();
}

void ConfigsPage::Refresh() {
  for (const Entry& e : entries_) {
    const QString text = e.value(programmer_);
    if (e.field->text() != text) e.field->setText(text);
  }
}

QLineEdit* ConfigsPage::Field(const QString& group, const QString& label) const {
  for (const Entry& e : entries_) {
    if (e.group == group && e.label == label) return e.field;
  }
  return nullptr;
}

}  // namespace ui
