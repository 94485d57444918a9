// Every built-in family registers its selection handlers and routines here.
#include "app/dispatch.h"
#include "app/dispatch_plan.h"
#include "families/flash/flash_select.h"
#include "families/flash/intel.h"
#include "families/flash/jedec.h"
#include "families/mcu/avr.h"
#include "families/flash/fwh/fwh.h"
#include "families/flash/wide/wide.h"
#include "families/mcu/mcs48.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcu_select.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic18.h"
#include "families/mcu/pic18_config.h"
#include "families/mcu/pic_id_key.h"
#include "families/parallel/ee_eprom.h"
#include "families/parallel/eeprom.h"
#include "families/parallel/parallel_select.h"
#include "families/parallel/sram.h"
#include "families/parallel/uv_eprom.h"
#include "families/parallel/uv_eprom_keys.h"
#include "families/serial/serial_select.h"

namespace app {

void RegisterAllFamilies(FamilyRegistry& registry) {
  RegisterDefaultRoutines(registry);  // first: the families fill the rest
  families::RegisterParallelSelection(registry);
  families::RegisterUvEprom(registry);
  families::RegisterUvEpromKeys(registry);
  families::RegisterEeprom(registry);
  families::RegisterEepromKeys(registry);
  families::RegisterSram(registry);
  families::RegisterEeEprom(registry);
  families::RegisterMcuSelection(registry);
  families::RegisterMcs51(registry);
  families::RegisterMcs48(registry);
  families::RegisterAvr(registry);
  families::RegisterAvrKeys(registry);
  families::RegisterPic(registry);
  families::RegisterPicKeys(registry);
  families::RegisterPic18(registry);
  families::pic18::RegisterPic18Keys(registry);
  families::RegisterPicIdKey(registry);
  families::RegisterFlashSelection(registry);
  families::RegisterJedecFlash(registry);
  families::RegisterIntelFlash(registry);
  families::RegisterFlashKeys(registry);
  families::RegisterWideFlash(registry);
  families::RegisterFirmwareHub(registry);
  families::RegisterSerialSelection(registry);
  families::RegisterSerialRoutines(registry);
  families::RegisterSerialKeys(registry);
  // One line per family group, e.g. RegisterUvEprom(registry);
}

}  // namespace app
