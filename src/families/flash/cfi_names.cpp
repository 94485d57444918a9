// The names the CFI report gives to command-set and interface codes.
#include <string>

#include "families/flash/cfi.h"

namespace families::flash {
namespace {

struct CommandSetName {
  unsigned code;
  const char* primary;
  const char* alternate;
};

// The alternate column keeps its own spellings: stored reports and users'
// notes quote them as they are.
constexpr CommandSetName kCommandSets[] = {
    {0x0001, " Intel/Sharp Extended", " Intel/Sharp Extended"},
    {0x0002, " AMD/Fujitsu Standard", " AMD/Fujitsu Standard"},
    {0x0003, " Intel Standard", " Intel Standard"},
    {0x0004, " AMD/Fujitsu Extended", " AMD/Fujitsu Extended "},
    {0x0071, " SST", " --"},
    {0x0100, " Mitsubishi Standard", " Mitsubishi Standard"},
    {0x0101, " Mitsubishi Extended", " Mitsubishi Extendedd"},
    {0x0102, " Page Write", " SST Page Write"},
};

struct InterfaceName {
  unsigned code;
  const char* name;
};

constexpr InterfaceName kInterfaces[] = {
    {0, " x8  async"},  {1, " x16 async"},     {2, " x8/x16 async"},
    {3, " x32  async"}, {5, " x16/x32 async"},
};

}  // namespace

std::string CfiCommandSetName(unsigned code, bool alternate) {
  for (const CommandSetName& row : kCommandSets) {
    if (row.code == code) return alternate ? row.alternate : row.primary;
  }
  return " --";
}

std::string CfiInterfaceName(unsigned code) {
  for (const InterfaceName& row : kInterfaces) {
    if (row.code == code) return row.name;
  }
  return " -- ";
}

}  // namespace families::flash
