// The PIC models of the simulated socket, by catalogue Tag.
#include <string_view>

#include "app/programmer.h"
#include "app/sim_socket.h"
#include "sim/pic12_chip.h"
#include "sim/pic14_chip.h"

namespace app {
namespace {

struct PicCode {
  int tag;
  std::string_view part;
};

// A Tag that stands for several parts gets the first of them; they share
// sizes and algorithm.
// clang-format off
constexpr PicCode kPic14Codes[] = {
    {301, "16C84"}, {302, "16CR83"}, {303, "16F83"}, {304, "16CR84"}, {305, "16F84"},
    {306, "16F84A"}, {401, "16F627"}, {402, "16F628"}, {403, "16F627A"}, {404, "16F628A"},
    {405, "16F648A"}, {411, "16F818"}, {412, "16F819"}, {421, "12F635"}, {422, "16F636"},
    {423, "12F683"}, {424, "16F684"}, {425, "16F688"}, {426, "16F785"}, {430, "16F72"},
    {431, "16F73"}, {432, "16F74"}, {433, "16F76"}, {434, "16F77"}, {441, "16F737"},
    {442, "16F747"}, {443, "16F767"}, {444, "16F777"}, {451, "16F87"}, {453, "16F716"},
    {461, "16F913"}, {462, "16F914"}, {463, "16F916"}, {464, "16F917"}, {465, "16F946"},
    {501, "16F870"}, {502, "16F873"}, {503, "16F876"}, {512, "16F873A"}, {513, "16F876A"},
    {601, "12F629"}, {610, "16F630"},
    // 14-bit OTP and windowed parts.
    {201, "16C620"}, {202, "16C621"}, {203, "16C622"}, {204, "16CE623"}, {205, "16CE624"},
    {206, "16CE625"}, {207, "16C710"}, {208, "16C711"}, {209, "16C716"}, {210, "16C62"},
    {211, "16C62A"}, {212, "16C65"}, {213, "16C63"}, {214, "16C66"}, {215, "16C61"},
    {216, "16C773"}, {217, "16C745"}, {218, "16C923"}, {219, "16C925"}, {220, "16C554"},
    {221, "16C556"}, {222, "16C557"}, {223, "16C557"}, {224, "16C432"}, {225, "16C433"},
    {231, "12C671"}, {232, "12C672"}, {251, "16C717"}, {252, "16C770"}, {253, "16C771"},
    {254, "16C781"}, {255, "16C782"},
};
constexpr PicCode kPic12Codes[] = {
    {101, "12C508"}, {102, "12C509"}, {103, "12C508JW"}, {104, "12C509JW"}, {121, "16C505"},
    {701, "10F200"}, {702, "10F202"}, {703, "10F220"},   {704, "10F222"},   {711, "12F508"},
    {712, "12F509"}, {713, "12F510"}, {721, "16F505"},   {722, "16F506"},   {731, "16F54"},
    {732, "16F57"},
};
// clang-format on

}  // namespace

std::unique_ptr<sim::Chip> MakePicChip(const Programmer& p) {
  for (const PicCode& code : kPic12Codes) {
    if (p.dev.device_code != code.tag) continue;
    if (const sim::Pic12Part* part = sim::FindPic12Part(code.part)) {
      return std::make_unique<sim::Pic12Chip>(*part);
    }
  }
  for (const PicCode& code : kPic14Codes) {
    if (p.dev.device_code != code.tag) continue;
    if (const sim::Pic14Part* part = sim::FindPic14Part(code.part)) {
      return std::make_unique<sim::Pic14Chip>(*part);
    }
  }
  return nullptr;
}

}  // namespace app
