// W1 to W3: the word read, blank check and verify every wide family shares.
#include <cstdio>
#include <string>

#include "app/default_routines.h"
#include "app/image_files.h"
#include "families/flash/wide/wide.h"
#include "families/flash/wide/wide_bus.h"
#include "image/buffer_ops.h"

namespace families::wide {

using namespace flash;
using namespace flash::wide;

namespace {

constexpr int32_t kReadHighWait = 30;
constexpr int kVerifyReads = 6;  // a word must differ this often to count as wrong

// PowerUp, the read level, all address lines high, the idle word.
void OpenRead(app::Programmer& p) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  app::ApplyReadLevel(p);
  bus.ShiftAddress(0xFFFFFF);
  IdleWord(p);
}

}  // namespace

void W1(app::Programmer& p) {
  image::MemoryImage& img = p.image;
  app::ClearImage(p, image::kFillFF);
  p.ShowProgress(5, img.device_size, 0);
  OpenRead(p);
  bool cancelled = false;
  for (uint32_t k = 0; 2 * uint64_t{k} < img.device_size && 2 * k + 1 < image::kImageSize; ++k) {
    const Word w = ReadWordAt(p.bus, WordAddress(p, k), kReadHighWait);
    img[2 * k] = w.low;
    img[2 * k + 1] = w.high;
    if (p.ProgressTick(2 * k)) {
      cancelled = true;
      break;
    }
  }
  p.bus.PowerDown();
  if (cancelled) {
    p.ShowProgress(1, 0, 0);
    return;
  }
  p.Message("Chip read OK", hw::kInfo);
  p.host.SetCaption(std::string(app::kCaptionPrefix) + p.controls.Text("edDevice") + " Image");
  img.data_end = img.full_device_size;
}

void W2(app::Programmer& p) {
  const uint32_t size = p.image.device_size;
  p.SetProcessGauge("Checking Device is Empty", size, app::colour::kWhite);
  OpenRead(p);
  bool empty = true;
  for (uint32_t k = 0; 2 * uint64_t{k} < size; ++k) {
    if (ReadWordAt(p.bus, WordAddress(p, k), kReadHighWait).value() != 0xFFFF) {
      char text[48];
      std::snprintf(text, sizeof text, "Device is NOT Empty ($%4.6x)", 2 * k);
      p.Message(text, hw::kError);
      empty = false;
      break;
    }
    if (p.ProgressTick(2 * k) || p.cancel.load(std::memory_order_relaxed) != 0) {
      p.Message("Device Check was Cancelled", hw::kError);
      empty = false;
      break;
    }
  }
  if (empty) p.Message("Device is Empty", hw::kResult);
  p.bus.PowerDown();
}

void W3(app::Programmer& p) {
  const bool reporting = p.verify_after_program == 0;
  const app::DataSpan span = app::ClipDataEnd(p.image);
  p.ShowProgress(6, span.last, app::colour::kGreen);
  OpenRead(p);
  p.error = 0;
  bool cancelled = false;
  const uint32_t words = SpanWords(span);
  for (uint32_t k = 0; k < words; ++k) {
    const Word want = ImageWord(p, k);
    Word chip;
    for (int read = 0; read < kVerifyReads; ++read) {
      chip = ReadWordAt(p.bus, WordAddress(p, k), kReadHighWait);
      if (chip == want) break;
    }
    if (!(chip == want)) {
      ReportWordMismatch(p, k, chip);
      break;
    }
    if (p.ProgressTick(2 * k)) {
      cancelled = true;
      break;
    }
  }
  // A cancelled verify has not compared everything: it must never pass.
  if (cancelled) p.ShowProgress(1, 0, 0);
  if (p.error == 0 && reporting) p.ShowProgress(2, 0, 0);
  p.verify_after_program = 1;
  p.bus.PowerDown();
}

}  // namespace families::wide
