#include "families/serial/spi_devices.h"

#include <cstdio>

namespace families::serial {
namespace {

std::string Format(const char* format, uint32_t a) {
  char text[48];
  std::snprintf(text, sizeof text, format, static_cast<unsigned>(a));
  return text;
}

std::string Format(const char* format, uint32_t a, uint32_t b) {
  char text[48];
  std::snprintf(text, sizeof text, format, static_cast<unsigned>(a), static_cast<unsigned>(b));
  return text;
}

}  // namespace

std::vector<std::string> BlockProtectItems(uint32_t size, int tag) {
  const uint32_t last = size - 1;
  const char* whole = tag < 200 ? " 00h - %Xh" : tag < 400 ? " 0000h - %Xh" : " 00000h - %Xh";
  return {
      " None",
      Format(" %Xh - %Xh", size - size / 4, last),
      Format(" %Xh - %Xh", size / 2, last),
      Format(whole, last),
  };
}

}  // namespace families::serial
