// The commands that need no board: the catalogue, file conversion and
// checksums.
#include <cstdio>
#include <filesystem>

#include "app/device_lookup.h"
#include "app/dispatch.h"
#include "app/image_files.h"
#include "app/option_keys.h"
#include "app/selection.h"
#include "app/winstat.h"
#include "cli/board_text.h"
#include "cli/commands.h"
#include "cli/file_io.h"
#include "cli/json.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "image/checksum.h"

namespace cli {
namespace {

// The families whose Configs page shows the MCS-51 group.
bool IsMcs51(int family) { return family == 10 || family == 11 || family == 38; }

struct Selected {
  int family;
  uint32_t size;
};

Selected SelectQuietly(app::Programmer& p, const app::CatalogueNode& node) {
  app::SelectDevice(p, node.handler, app::SelectItem{node.tag, std::string(node.caption)});
  return {p.dev.family, p.image.full_device_size};
}

std::string Hex(uint32_t v, int digits = 0) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
  return buf;
}

std::string YesNo(bool v) { return v ? "yes" : "no"; }

// The value of every usable index of a key, "v" or "0=v 1=v ...".
std::string KeyValues(const app::Programmer& p, const app::OptionKey& key) {
  if (!key.repeats()) return app::OptionValueText(p, key, 0);
  std::string text;
  for (size_t i = 0; i < key.controls.size(); ++i) {
    if (!app::OptionUsable(p, key, static_cast<int>(i))) continue;
    if (!text.empty()) text += ' ';
    text += std::to_string(i) + "=" + app::OptionValueText(p, key, static_cast<int>(i));
  }
  return text;
}

bool KeyUsable(const app::Programmer& p, const app::OptionKey& key) {
  for (size_t i = 0; i < key.controls.size(); ++i) {
    if (app::OptionUsable(p, key, static_cast<int>(i))) return true;
  }
  return false;
}

struct KeyRow {
  const app::OptionKey* key;
  std::string value;
  std::string default_value;
};

}  // namespace

int CmdDevices(const GlobalOptions& g, const std::string& pattern) {
  const auto hits = app::SearchDevices(pattern);
  if (hits.empty()) {
    Error("no device matches \"" + pattern + "\"");
    return kUsage;
  }
  app::SilentHost quiet;
  app::Programmer scratch(quiet);
  Json j;
  j.BeginArray();
  for (const auto& hit : hits) {
    if (hit.node->tag == 0) {
      // Such an item keeps whatever device was chosen before it.
      if (g.json) {
        j.BeginObject()
            .Field("caption", hit.node->caption)
            .Field("path", hit.group_path)
            .Field("keeps_current_device", true)
            .EndObject();
      } else {
        std::printf("%-28s  %-40s  keeps the current device\n",
                    std::string(hit.node->caption).c_str(), hit.group_path.c_str());
      }
      continue;
    }
    const Selected sel = SelectQuietly(scratch, *hit.node);
    if (g.json) {
      j.BeginObject()
          .Field("caption", hit.node->caption)
          .Field("path", hit.group_path)
          .Field("family", sel.family)
          .Field("code", hit.node->tag)
          .Field("size", sel.size)
          .EndObject();
    } else {
      std::printf("%-28s  %-40s  family %2d  code %4d  %8u bytes\n",
                  std::string(hit.node->caption).c_str(), hit.group_path.c_str(), sel.family,
                  hit.node->tag, sel.size);
    }
  }
  j.EndArray();
  if (g.json) std::printf("%s\n", j.str().c_str());
  return kOk;
}

int CmdInfo(const GlobalOptions& g, const std::string& device,
            const std::vector<std::string>& sets) {
  Session s(g);
  if (int rc = s.Select(device)) return rc;
  // The keys the selection leaves usable, with the values it set (the
  // defaults) and the values after --set.
  std::vector<KeyRow> keys;
  for (const app::OptionKey& key : app::Families().options().all()) {
    if (KeyUsable(s.programmer(), key)) keys.push_back({&key, {}, KeyValues(s.programmer(), key)});
  }
  if (int rc = s.ApplySettings(sets)) return rc;
  for (KeyRow& row : keys) row.value = KeyValues(s.programmer(), *row.key);
  const app::Programmer& p = s.programmer();
  const app::Descriptor& d = p.dev;
  const app::Controls& c = p.controls;
  const std::string pattern = c.Text("dipPattern");
  const std::string jumper = c.Text("lbJpa18").empty() ? "Vpp" : c.Text("lbJpa18");
  std::string adapter = c.Text("lbAdapter");
  const std::vector<std::string> notes = s.host().TakeNotes();
  const char jumper_digit = pattern.size() == 13 ? pattern[0] : '4';

  if (g.json) {
    Json j;
    j.BeginObject()
        .Field("caption", c.Text("edDevice"))
        .Field("family", d.family)
        .Field("code", d.device_code)
        .Field("size", p.image.full_device_size)
        .Field("address_bits", d.address_bits)
        .Field("twp", d.twp)
        .Field("twc", d.twc)
        .Field("switch_pattern", d.switch_pattern)
        .Field("jumper", std::string(1, jumper_digit))
        .Field("jumper_caption", jumper)
        .Field("switches", SwitchString(pattern))
        .Field("adapter", adapter)
        .Field("page_size", d.page_size)
        .Field("read_level", d.read_level)
        .Field("separate_vpp", d.separate_vpp)
        .Field("scramble", d.scramble)
        .Field("serial", d.serial)
        .Field("vcc_3v3", d.vcc_3v3)
        .Field("socket_picture", d.socket_picture)
        .Field("path", s.selected() ? app::GroupPath(*s.selected()) : std::string())
        .Field("messages", notes);
    AddPicInfo(j, p);
    if (IsMcs51(d.family)) {
      const app::Descriptor::Mcs51& m = d.mcs51;
      j.BeginObject("mcs51")
          .Field("at89S", m.at89s)
          .Field("tWP", m.twp)
          .Field("tWC", m.twc)
          .Field("Pulses", m.pulses)
          .Field("type", m.type)
          .Field("tWPb", m.twpb)
          .Field("tWPe", m.twpe)
          .Field("ird_lbit", m.ird_lbit)
          .Field("tErase", m.t_erase)
          .Field("LockBit", d.lock_mode)
          .Field("sig_Lbit", m.sig_lbit)
          .EndObject();
    }
    if (d.family == 36) AddPic18Info(j, p);
    j.BeginArray("options");
    for (const KeyRow& row : keys) {
      const app::OptionKey& key = *row.key;
      j.BeginObject()
          .Field("key", key.key)
          .Field("controls", key.controls)
          .Field("kind", app::OptionKindName(key.kind))
          .Field("min", key.min)
          .Field("max", key.max);
      // A number where the value is one; text and repeating keys as text.
      if (key.kind == app::OptionKind::kEditText || key.repeats()) {
        j.Field("value", row.value).Field("default", row.default_value);
      } else {
        j.Field("value", int64_t{std::stoll(row.value)})
            .Field("default", int64_t{std::stoll(row.default_value)});
      }
      j.Field("help", key.help).EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
    return kOk;
  }
  std::printf("Device:          %s\n", c.Text("edDevice").c_str());
  if (s.selected()) std::printf("Catalogue:       %s\n", app::GroupPath(*s.selected()).c_str());
  std::printf("Family code:     %d   (device code %d)\n", d.family, d.device_code);
  std::printf("Size:            %u bytes (%s), address bits %d, top mask %s\n",
              p.image.full_device_size, Hex(p.image.full_device_size).c_str(), d.address_bits,
              Hex(d.top_address_mask).c_str());
  std::printf("Timing:          tWP %d, tWC %d, addStep %d  (ticks of 0.8381 us)\n", d.twp, d.twc,
              d.add_step);
  if (d.page_size) std::printf("Page size:       %u bytes\n", d.page_size);
  std::printf("Flags:           read level %s, separate Vpp %s, scramble %s, serial %s, 3.3 V %s\n",
              YesNo(d.read_level).c_str(), YesNo(d.separate_vpp).c_str(), YesNo(d.scramble).c_str(),
              YesNo(d.serial).c_str(), YesNo(d.vcc_3v3).c_str());
  std::printf("Socket picture:  %d\n", d.socket_picture);
  if (IsMcs51(d.family)) {
    const app::Descriptor::Mcs51& m = d.mcs51;
    std::printf(
        "MCS-51:          at89S %d, tWP %d, tWC %d, Pulses %d, type %d, tWPb %d, tWPe %d, "
        "ird_lbit %d, tErase %d, LockBit %d\n",
        m.at89s, m.twp, m.twc, m.pulses, m.type, m.twpb, m.twpe, m.ird_lbit, m.t_erase,
        d.lock_mode);
  }
  if (!adapter.empty()) std::printf("Adapter:         %s\n", adapter.c_str());
  std::printf("Board settings:  switch pattern %d\n%s", d.switch_pattern,
              DrawBoardSettings(pattern, d.board_flag, jumper).c_str());
  if (!keys.empty()) std::printf("Options:         --set KEY=VALUE or --KEY=VALUE\n");
  for (const KeyRow& row : keys) {
    std::printf("  %-10s %-8s (default %s)  %s\n", row.key->key.c_str(), row.value.c_str(),
                row.default_value.c_str(), row.key->help.c_str());
  }
  for (const auto& note : notes) std::printf("note: %s\n", note.c_str());
  return kOk;
}

int CmdConvert(const GlobalOptions& g, const std::string& in, const std::string& out,
               const std::string& device, const FileOptions& file) {
  Session s(g);
  app::Programmer& p = s.programmer();
  std::optional<image::FileFormat> out_format;
  if (int rc = ParseSaveFormat("--out-format", file.out_format, out_format)) return rc;
  s.host().SetDataOnStdout(IsStandardOutput(out));
  if (!device.empty()) {
    if (int rc = s.Select(device)) return s.Finish(rc);
  }
  if (int rc = LoadInput(s, in, file, LoadPurpose::kOther)) return s.Finish(rc);
  if (device.empty()) p.SetBufferSize(p.image.data_end);  // the loaded extent
  if (Interrupted()) return s.Finish(kOk);
  return s.Finish(SaveOutput(s, out, out_format));
}

int CmdChecksum(const GlobalOptions& g, const std::string& device, const std::string& file,
                bool crc32, const FileOptions& options) {
  Session s(g);
  if (int rc = s.Select(device)) return s.Finish(rc);
  app::Programmer& p = s.programmer();
  if (int rc = LoadInput(s, file, options, LoadPurpose::kOther)) return s.Finish(rc);
  const int type = crc32 ? image::kChecksumCrc32 : image::kChecksumSum16;
  std::string text = image::ShowChecksum(p.image, p.dev.pic, type);
  // The status area pads the CRC-32 with a blank; a value has none.
  text.erase(0, text.find_first_not_of(' '));
  if (g.json) {
    Json j;
    j.BeginObject().Field("type", crc32 ? "crc32" : "sum16").Field("value", text).EndObject();
    std::printf("%s\n", j.str().c_str());
  } else {
    std::printf("%s\n", text.c_str());
  }
  return s.Finish(kOk);
}

}  // namespace cli
