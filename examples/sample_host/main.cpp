// Starts the simulated host on the sample machine (or a machine description
// given as the argument) and prints its configs and items as the service
// sees them through the host operations.
#include <cstdio>
#include <string>

#include "mmisim.h"
#include "start/start.h"
#include "typedata.h"

namespace {

const char* UseOf(char dataType) {
  if (dataType == '\0' || dataType == ' ') return "not in use";
  if (dataType == 'P' || dataType == 'F') return "real";
  return "integer";
}

void PrintConfig(const ConfigRecord* config, int configIndex) {
  std::printf("config %d  prefix %-7s  index %d  shared through part %d\n", config->configNo, config->name,
              configIndex, config->partNo);
  for (char kind : {'D', 'S', 'A', 'L', 'V'}) {
    const int code = GetHAIndex(kind);
    const unsigned count = config->kindTable[code].count;
    if (count == 0) continue;
    std::printf("  %c: %u item%s\n", kind, count, count == 1 ? "" : "s");
    for (unsigned i = 0; i < count; ++i) {
      CfgIdRecord* item = nullptr;
      const CfgId id = TD_CFGID(i, code, configIndex);
      if (GetCFGIDStruc(id, &item) < 0) {
        std::printf("    %c%-3u CfgId 0x%08X  no description\n", kind, i + 1, static_cast<unsigned>(id));
        continue;
      }
      const char type = item->dataType ? item->dataType : '0';
      if (kind == 'V') {
        std::printf("    %c%-3u CfgId 0x%08X  type '%c' %s\n", kind, i + 1, static_cast<unsigned>(id), type,
                    item->dataType == '\0' || item->dataType == ' ' ? "not in use" : "text");
      } else {
        std::printf("    %c%-3u CfgId 0x%08X  type '%c' %-10s default %g\n", kind, i + 1,
                    static_cast<unsigned>(id), type, UseOf(item->dataType), item->defaultValue);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  mmisim::Machine machine = mmisim::SampleMachine();
  std::string source = "the sample machine";
  if (argc > 1) {
    std::string error;
    if (!mmisim::LoadMachineFile(argv[1], &machine, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 2;
    }
    source = argv[1];
  }
  mmisim::StartHost(machine);
  const SystemRecord* system = GetMMISystemStruc();
  const TypeCatalogue* catalogue = GetMMITypeInfo();
  std::printf("Machine: %s\n", source.c_str());
  std::printf("locale %s (language 0x%04X), offline copies %s, %u name parts, %u configs\n\n",
              system->localeText, GetLocaleID(system->localeText), system->offlineEnabled ? "on" : "off",
              system->namePartCount, catalogue->configCount);
  int index = 0;
  for (const ConfigRecord* config = system->configList; config; config = config->next)
    PrintConfig(config, index++);
  std::printf("\nInterface boards:");
  for (int code = 128; code <= 143; ++code) {
    const int board = GetIFxxConfigIndex(code, 0);
    if (board >= 0) std::printf(" %d (config index %d)", code, board);
  }
  std::printf("\nHPC link %s\n", CheckHPCOnline() ? "on line" : "off line");
  mmisim::Stop();
  return 0;
}
