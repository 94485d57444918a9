#pragma once

#include <string_view>

namespace app {

// The family handlers a catalogue item can name. The names are the
// handlers' own; kNone marks groups, labels and inert items.
#define DARAZ_HANDLERS(X)                                                                    \
  X(M27C_Click) X(M27_Click) X(M28C_Click) X(AT28Cxxx_Click) X(AT29C_Click) X(M27E_Click)   \
  X(MX26C10001Click) X(SST37VF_Click) X(SRAM_Click) X(DS12XX_Click) X(M24C_Click)           \
  X(M29F_Click) X(M28F_Click) X(M25C_Click) X(M93C_Click) X(muMCS51_Click)                  \
  X(AT89Cx051_Click) X(AVR_Click) X(Am29Fx00_Click) X(M12C_Click) X(AT49F00x_Click)         \
  X(SST28xF040A1Click) X(i28Fx00_Click) X(D8748_Click) X(MX28F20001Click)                   \
  X(CAT64LC10_Click) X(N82802AB_Click) X(SST49LF002_Click) X(PIC18F_Click)                  \
  X(AT89C51_Click) X(EN29F002T_Click) X(MBM29LV160Click) X(N28F4001Click)                   \
  X(i28F800C3B1Click) X(HY29LV1601Click) X(S24H30_Click) X(MX25L512_Click)

enum class HandlerId : int {
  kNone = 0,
#define DARAZ_HANDLER_ENUM(name) name,
  DARAZ_HANDLERS(DARAZ_HANDLER_ENUM)
#undef DARAZ_HANDLER_ENUM
      kCount
};

inline constexpr std::string_view HandlerName(HandlerId id) {
  switch (id) {
#define DARAZ_HANDLER_NAME(name) \
  case HandlerId::name:          \
    return #name;
    DARAZ_HANDLERS(DARAZ_HANDLER_NAME)
#undef DARAZ_HANDLER_NAME
    default:
      return "";
  }
}

}  // namespace app
