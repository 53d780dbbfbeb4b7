#include "large_machine.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "kinds.h"
#include "mmisim.h"
#include "start/start.h"
#include "typedata.h"

namespace bench {
namespace {

constexpr char kKindLetters[5] = {'D', 'S', 'A', 'L', 'V'};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "bench setup: %s\n", what.c_str());
  std::abort();
}

}  // namespace

MachineShape UniformMachine(int configs, int numbers, int texts) {
  MachineShape shape;
  for (int c = 1; c <= configs; ++c) {
    ConfigShape config;
    config.prefix = "C" + std::to_string(c);
    for (int k = 0; k < 4; ++k) config.counts[k] = numbers;
    config.counts[4] = texts;
    shape.configs.push_back(config);
  }
  return shape;
}

MachineShape LargeMachine() {
  MachineShape shape = UniformMachine(64, 4096, 256);
  shape.offline = true;
  return shape;
}

ConfigShape ProportionalConfig(const std::string& prefix, int numbers) {
  ConfigShape config;
  config.prefix = prefix;
  config.counts[0] = numbers * 2 / 5;
  config.counts[1] = config.counts[2] = config.counts[3] = numbers / 5;
  config.counts[4] = numbers / 40;
  return config;
}

std::string MachineText(const MachineShape& shape) {
  std::ostringstream text;
  text << "offline " << (shape.offline ? "on" : "off") << "\n";
  text << "name-parts " << shape.nameParts << "\n";
  for (std::size_t c = 0; c < shape.configs.size(); ++c) {
    const ConfigShape& config = shape.configs[c];
    text << "config " << c + 1 << " prefix " << config.prefix << " part " << config.part << "\n";
    for (int k = 0; k < 5; ++k) {
      const int count = config.counts[k];
      text << "  items " << kKindLetters[k] << " " << count << "\n";
      if (k < 4 && count >= 2) text << "  item " << kKindLetters[k] << " 1-" << count / 2 << " P 0 scale 3\n";
    }
  }
  return text.str();
}

void StartMachine(const MachineShape& shape, bool catalogue) {
  mmisim::Machine machine;
  std::string error;
  if (!mmisim::ParseMachine(MachineText(shape), "bench", &machine, &error)) Fail(error);
  if (catalogue) {
    mmisim::StartHost(machine);
  } else {
    mmisim::Start(machine);
  }
  mmisim::SetRecording(false);
}

void MakeTypeData(int typeNo, std::uint32_t seed) {
  TypeRecord* type = nullptr;
  if (GetMMITypeNameAndStruc(typeNo, nullptr, &type) < 0) Fail("no type " + std::to_string(typeNo));
  GetMMISystemStruc()->currentTypeNo = static_cast<std::uint16_t>(typeNo);
  std::snprintf(GetMMISystemStruc()->currentTypeName, TD_TYPE_NAME_SIZE, "%s", type->name);
  std::mt19937 random(seed);
  const int configs = GetMMITypeInfo()->configCount;
  for (int p = 0; p < configs; ++p) {
    if (InitialSetTypeData(type, p) != 0) Fail("InitialSetTypeData");
    BlockTable* table = type->configs[p].blocks;
    for (const td::Kind& kind : td::kKinds) {
      if (kind.numeric) {
        if (ValueBlock* block = td::ValueSlot(table, kind.slot)) {
          // Three decimals, as a real item's controller form keeps them.
          for (int i = 0; i < block->count; ++i)
            block->values[i] = static_cast<int>(random() % 2000000) / 1000.0 - 1000.0;
        }
      } else if (TextBlock* block = td::TextSlot(table, kind.slot)) {
        for (int i = 0; i < block->count; ++i)
          std::snprintf(block->texts[i], TD_TEXT_SIZE, "text %d of config %d, type %d", i + 1, p + 1, typeNo);
      }
    }
  }
  SetCurrentTypeDataToCommMem(type);
  for (int p = 0; p < configs; ++p) {
    if (SaveCurrentTypeData(p) != 0) Fail("SaveCurrentTypeData");
  }
}

std::vector<std::string> TypeDataPaths(int typeNo) {
  TypeRecord* type = nullptr;
  if (GetMMITypeNameAndStruc(typeNo, nullptr, &type) < 0) Fail("no type " + std::to_string(typeNo));
  char folder[8];
  std::snprintf(folder, sizeof folder, "%04d", typeNo);
  std::vector<std::string> paths;
  paths.reserve(GetMMITypeInfo()->configCount);
  for (int p = 0; p < GetMMITypeInfo()->configCount; ++p)
    paths.push_back("..\\type\\" + std::string(folder) + "\\" + type->configs[p].datName);
  return paths;
}

std::string SystemPath(const std::string& servicePath) {
  std::string path = servicePath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::int64_t TotalBytes(const std::vector<std::string>& servicePaths) {
  std::int64_t bytes = 0;
  for (const std::string& path : servicePaths)
    bytes += static_cast<std::int64_t>(std::filesystem::file_size(SystemPath(path)));
  return bytes;
}

void WriteCatalogue(int types, const std::function<std::string(int)>& name) {
  std::filesystem::create_directories("../type");
  std::ofstream out("../type/mmi.typ", std::ios::binary | std::ios::trunc);
  for (int typeNo = 0; typeNo < types; ++typeNo) {
    const std::string text = name(typeNo);
    // An empty name is written as a new catalogue writes type 0.
    if (text.empty()) {
      out << typeNo << ", \r\n";
    } else {
      out << typeNo << ",\"" << text << "\"\r\n";
    }
  }
  if (!out) Fail("cannot write the catalogue");
}

}  // namespace bench
