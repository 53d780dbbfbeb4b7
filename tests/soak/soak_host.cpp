#include "soak/soak_host.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <set>

#include "mmisim.h"
#include "start/start.h"
#include "support/fault_file_system.h"
#include "support/workspace.h"
#include "typedata.h"

namespace td::soak {
namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x7002);
constexpr int kTypeCodeNotice = 0x91, kStepNotice = 0x92, kEndCode = 0x93;
constexpr int kEndOfDownload = 7;

const char* const kTools[] = {"T40", "T50", "T60", "T70"};
const char* const kMaterials[] = {"STEEL", "ALU", "CU"};
const char* const kFeeds[] = {"FAST", "SLOW"};

void DrainMessages() {
  for (mmisim::PostedMessage message; mmisim::NextMessage(&message);) {
  }
}

std::string DataFileName(const ConfigShape& config, int typeNo) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%04d.DAT", config.prefix.c_str(), typeNo);
  return name;
}

}  // namespace

// The faults of one operation: the Nth file operation fails, or the Nth
// allocation; at most one of them, in about a third of the operations.
class SoakHost::Faults {
 public:
  Faults(std::mt19937_64& random, bool allowed) : use_(&files_) {
    std::uniform_int_distribution<int> percent(0, 99);
    if (!allowed || percent(random) >= 35) return;
    if (percent(random) < 60) {
      files_.FailAt(1 + std::uniform_int_distribution<long>(0, 39)(random));
    } else {
      allocationsBefore_ = mmisim::AllocationCalls();
      allocationAt_ = 1 + std::uniform_int_distribution<long>(0, 11)(random);
      mmisim::FailAllocationAt(allocationAt_);
    }
  }
  ~Faults() { mmisim::FailAllocationAt(0); }
  Faults(const Faults&) = delete;
  Faults& operator=(const Faults&) = delete;

  bool Fired() const {
    return fired_ || files_.failed() ||
           (allocationAt_ > 0 && mmisim::AllocationCalls() - allocationsBefore_ >= allocationAt_);
  }
  // No fault from here on (a host's recovery, which may start the host
  // afresh and so count allocations from 0 again).
  void Off() {
    fired_ = Fired();
    allocationAt_ = 0;
    files_.FailAt(0);
    mmisim::FailAllocationAt(0);
  }

 private:
  testing::FaultFileSystem files_;
  testing::UseFileSystem use_;
  long allocationAt_ = 0;
  long allocationsBefore_ = 0;
  bool fired_ = false;
};

SoakHost::SoakHost(std::string root, std::uint64_t seed, int maxTypes)
    : root_(std::move(root)), random_(seed), maxTypes_(maxTypes) {}

bool SoakHost::Begin() {
  operation_ = "create";
  mmisim::SetRecording(false);
  machine_ = DescribeMachine();
  Expect(CreateSetTypeData() == 0, "CreateSetTypeData failed");
  model_ = Model();
  model_.list.push_back({0, "", false});
  for (const ConfigShape& config : machine_) model_.files[{0, config.position}] = DefaultValues(config);
  if (!Check("create")) return false;

  Expect(ChangeCurrentTypeData(0, 0) == 0, "type 0 could not be loaded");
  UpdateCurrentType(kWindow, 0, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
  DrainMessages();
  LoadInto(&model_, 0);
  return Check("load type 0");
}

bool SoakHost::Step() {
  ++step_;
  // Weights: add, rename, edit and save, switch, download, copy, restart,
  // new catalogue.
  static const int kWeights[] = {12, 10, 25, 18, 10, 15, 4, 1};
  int pick = Pick(95);
  int op = 0;
  while (pick >= kWeights[op]) pick -= kWeights[op++];
  if (op == 0 && static_cast<int>(model_.list.size()) >= maxTypes_) op = 1;
  if (op == 5 && model_.list.size() < 2) op = 4;
  static const char* const kNames[] = {"add",      "rename", "edit and save", "switch",
                                       "download", "copy",   "restart",       "new catalogue"};
  operation_ = kNames[op];
  OperationFigures& figures = figures_[operation_];
  ++figures.runs;
  {
    // Edit and save arms its own faults, for the save alone; downloads and
    // restarts touch no file of the service's.
    Faults faults(random_, op != 2 && op != 4 && op != 6);
    switch (op) {
      case 0:
        Add(faults);
        break;
      case 1:
        Rename(faults);
        break;
      case 2:
        EditAndSave();
        break;
      case 3:
        Switch(faults);
        break;
      case 4:
        Download();
        break;
      case 5:
        Copy(faults);
        break;
      case 6:
        Restart();
        break;
      default:
        NewCatalogue(faults);
        break;
    }
    if (faults.Fired()) ++figures.faultsFired;
  }
  return Check(operation_.c_str());
}

// ---- Operations ------------------------------------------------------------

void SoakHost::Add(Faults& faults) {
  const std::string name = RandomName();
  int number = 0;
  if (Pick(2) == 0) {
    number = SearchTypeNo();
    Expect(number == model_.FreeNumber(), "SearchTypeNo gave " + std::to_string(number));
  } else {
    do number = Pick(TD_TYPE_NO_MAX + 1);
    while (model_.Find(number) != nullptr);
  }
  const int source = model_.current;

  // The files first, copied from the current type; then the shared configs
  // of the name's parts; the catalogue last, so that it never lists a type
  // without its files.
  Model copied = model_;
  bool added = true;
  for (const ConfigShape& config : machine_) {
    char from[TD_DAT_NAME_SIZE];
    char to[TD_DAT_NAME_SIZE];
    Expect(MakeDatFileName(from, source, config.position) == 0 &&
               MakeDatFileName(to, number, config.position) == 0,
           "MakeDatFileName failed");
    if (FileCopy(from, to, 1) != 0) {
      added = false;
      break;
    }
    copied.files[{number, config.position}] = model_.files[{source, config.position}];
  }
  Model pulled = copied;
  if (added) {
    Expect(CopyTypeDataOfAlreadyExistPartName(source, number, name.c_str()) == 0,
           "CopyTypeDataOfAlreadyExistPartName failed");
    Pull(&pulled, model_.Find(source)->name, number, name);
    added = UpdateTypeFile(name.c_str(), number, 1) == 0;
  }
  if (!added) {
    Expect(faults.Fired(), "adding type " + std::to_string(number) + " failed with no fault");
    ++figures_[operation_].failed;
    char folder[32];
    std::snprintf(folder, sizeof folder, "/type/%04d", number);
    std::error_code ignored;
    std::filesystem::remove_all(root_ + folder, ignored);
    // Files an older catalogue left under that number went with the folder.
    Model failed = model_;
    for (const ConfigShape& config : machine_) failed.files.erase({number, config.position});
    Settle(failed, failed, false, failed);
    return;
  }
  copied.list.insert(copied.list.begin(), {number, name, true});
  pulled.list.insert(pulled.list.begin(), {number, name, true});
  Settle(copied, pulled, faults.Fired(), model_);
}

void SoakHost::Rename(Faults& faults) {
  const TypeEntry entry = model_.list[static_cast<std::size_t>(Pick(static_cast<int>(model_.list.size())))];
  const std::string name = RandomName();
  // Pulled while the type still has its old name, the reference.
  Model pulled = model_;
  Expect(CopyTypeDataOfAlreadyExistPartName(entry.typeNo, entry.typeNo, name.c_str()) == 0,
         "CopyTypeDataOfAlreadyExistPartName failed");
  Pull(&pulled, entry.name, entry.typeNo, name);
  if (UpdateTypeFile(name.c_str(), entry.typeNo, 0) != 0) {
    Expect(faults.Fired(), "renaming type " + std::to_string(entry.typeNo) + " failed with no fault");
    ++figures_[operation_].failed;
    Settle(model_, pulled, faults.Fired(), model_);
    return;
  }
  Model renamed = model_;
  for (Model* model : {&renamed, &pulled}) {
    for (TypeEntry& listed : model->list) {
      if (listed.typeNo == entry.typeNo) listed = {entry.typeNo, name, true};
    }
  }
  Model memory = model_;
  if (entry.typeNo == model_.current) {
    // The host shows the current type's new name.
    UpdateCurrentType(kWindow, entry.typeNo, kTypeCodeNotice, kStepNotice, kEndCode, 130);
    DrainMessages();
    memory.currentName = name;
  }
  Settle(renamed, pulled, faults.Fired(), memory);
}

void SoakHost::EditAndSave() {
  Model edited = model_;
  TypeRecord* record = nullptr;
  GetMMITypeNameAndStruc(model_.current, nullptr, &record);
  for (int changes = 1 + Pick(5); changes > 0; --changes) {
    const ConfigShape& config = machine_[static_cast<std::size_t>(Pick(static_cast<int>(machine_.size())))];
    const KindShape& kind =
        config.kinds[static_cast<std::size_t>(Pick(static_cast<int>(config.kinds.size())))];
    std::vector<std::size_t> inUse;
    for (std::size_t i = 0; i < kind.items.size(); ++i) {
      if (kind.items[i].inUse) inUse.push_back(i);
    }
    if (inUse.empty()) continue;
    const std::size_t i = inUse[static_cast<std::size_t>(Pick(static_cast<int>(inUse.size())))];
    const ItemShape& item = kind.items[i];
    ConfigValues& memory = edited.memory[static_cast<std::size_t>(config.position)];
    BlockTable* table = record->configs[config.position].blocks;
    if (InCommMemory(kind.kind)) {
      // What the operator types reaches comm memory, not the blocks.
      const std::int32_t value = RandomComm();
      mmisim::SetCommValue(item.id, value);
      edited.comm[item.id] = value;
    } else if (kind.kind == 3) {
      const double value = item.real ? RandomComm() / 1000.0 : static_cast<double>(RandomComm());
      static_cast<ValueBlock*>(table->slot[TD_SLOT_L])->values[i] = value;
      memory.numbers[3][i] = value;
    } else {
      const std::string text = RandomText();
      char* slot = static_cast<TextBlock*>(table->slot[TD_SLOT_V])->texts[i];
      std::memset(slot, 0, TD_TEXT_SIZE);
      std::memcpy(slot, text.data(), text.size());
      memory.texts[i] = text;
    }
  }
  // The faults strike the save.
  Faults saving(random_, true);
  const int result = SaveAllCurrentTypeData();
  Model saved = edited;
  for (const ConfigShape& config : machine_) {
    saved.files[{model_.current, config.position}] = SavedValues(edited, config);
  }
  Model spread = saved;
  Spread(&spread);
  if (saving.Fired()) ++figures_[operation_].faultsFired;
  if (result != 0) {
    Expect(saving.Fired(), "SaveAllCurrentTypeData failed with no fault");
    ++figures_[operation_].failed;
    // Each of the current type's files saved or not; nothing spread.
    Settle(edited, saved, true, edited);
    return;
  }
  // Every file of the current type saved; a copy that failed is not
  // reported, and leaves that type's file as it was.
  Settle(saved, spread, saving.Fired(), edited);
}

void SoakHost::Switch(Faults& faults) {
  const int to = model_.list[static_cast<std::size_t>(Pick(static_cast<int>(model_.list.size())))].typeNo;
  const int result = ChangeCurrentTypeData(to, model_.current);
  if (result == 0) {
    faults.Off();
    UpdateCurrentType(kWindow, to, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
    DrainMessages();
    const auto& codes = mmisim::TypeCodesReceived();
    Expect(codes.size() >= 2 && codes[codes.size() - 1].typeNo == to && codes[codes.size() - 2].typeNo == to,
           "the type code did not reach both boards");
    Model after = model_;
    after.current = to;
    after.currentName = model_.Find(to)->name;
    LoadInto(&after, to);
    Settle(after, after, false, after);
    return;
  }
  // A file that could not be read, or memory that ran out: the tables are
  // half filled, comm memory and the current type are as they were.
  Expect(result > 0 && faults.Fired(), "ChangeCurrentTypeData gave " + std::to_string(result));
  ++figures_[operation_].failed;
  Model failed = model_;
  failed.memoryKnown = false;
  Settle(failed, failed, false, failed);
  if (!Check("switch, failed")) return;
  // The host reloads the current type.
  faults.Off();
  Expect(ChangeCurrentTypeData(model_.current, model_.current) == 0,
         "the current type could not be reloaded");
  LoadInto(&model_, model_.current);
}

void SoakHost::Download() {
  const bool one = Pick(3) == 0;
  const int filter =
      one ? machine_[static_cast<std::size_t>(Pick(static_cast<int>(machine_.size())))].configIndex : 0xFFFF;
  mmisim::ClearControllerMemory();
  DrainMessages();
  InitSendCurrentTypeData(kWindow, 0xFFFF, kStepNotice, kEndCode, filter);
  int steps = 0;
  bool ended = false;
  for (mmisim::PostedMessage message; !ended && steps <= 64 && mmisim::NextMessage(&message);) {
    if (message.message == kEndOfDownload) {
      ended = message.wParam == kEndCode;
    } else if (message.message == mmisim::kStepAnswerMessage && message.wParam == kStepNotice) {
      ++steps;
      SendCurrentTypeData(kWindow, 0xFFFF, kStepNotice, kEndCode, filter);
    }
  }
  Expect(ended, "the download did not end");
  Expect(steps == (one ? 1 : static_cast<int>(machine_.size())),
         "the download took " + std::to_string(steps) + " steps");
  std::map<CfgId, std::int32_t> expected;
  for (const auto& [id, value] : model_.comm) {
    if (!one || static_cast<int>(TD_CFGID_CONFIG(id)) == filter) expected[id] = value;
  }
  Expect(mmisim::ControllerMemory() == expected, "the controller does not hold the type's values");
}

void SoakHost::Copy(Faults& faults) {
  const int count = static_cast<int>(model_.list.size());
  const int from = model_.list[static_cast<std::size_t>(Pick(count))].typeNo;
  int to = from;
  while (to == from) to = model_.list[static_cast<std::size_t>(Pick(count))].typeNo;
  const ConfigShape& config = machine_[static_cast<std::size_t>(Pick(static_cast<int>(machine_.size())))];
  Model after = model_;
  after.files[{to, config.position}] = model_.files[{from, config.position}];
  const bool exec = Pick(2) == 0;
  int result = 0;
  if (exec) {
    char source[64];
    char target[64];
    std::snprintf(source, sizeof source, "..\\type\\%04d\\%s", from, DataFileName(config, from).c_str());
    std::snprintf(target, sizeof target, "..\\type\\%04d\\%s", to, DataFileName(config, to).c_str());
    result = ExecCopy(source, target);
  } else {
    result = FileCopy(DataFileName(config, from).c_str(), DataFileName(config, to).c_str(), 0);
  }
  if (result == 0) {
    Settle(after, after, false, after);
    return;
  }
  Expect(faults.Fired(), "the copy failed with no fault");
  ++figures_[operation_].failed;
  // ExecCopy fails after copying when only the times could not be given.
  Settle(model_, exec ? after : model_, exec, model_);
}

void SoakHost::Restart() {
  const int current = model_.current;
  StartAfresh();
  if (!Check("restart")) return;
  Reload(current);
}

void SoakHost::NewCatalogue(Faults& faults) {
  // The engineer clears away the folders the catalogue before last left
  // behind; those of the types listed now stay, to be left behind in turn.
  for (auto file = model_.files.begin(); file != model_.files.end();) {
    if (model_.Find(file->first.first) != nullptr) {
      ++file;
      continue;
    }
    char folder[32];
    std::snprintf(folder, sizeof folder, "/type/%04d", file->first.first);
    std::error_code ignored;
    std::filesystem::remove_all(root_ + folder, ignored);
    file = model_.files.erase(file);
  }
  // The host makes type 0 current first: its files are the ones saved.
  SystemRecord* system = GetMMISystemStruc();
  system->currentTypeNo = 0;
  system->currentTypeName[0] = '\0';
  Model before = model_;
  before.current = 0;
  before.currentName.clear();
  before.memoryKnown = false;
  // Type 0's files are made anew from the defaults, whatever files of type
  // 0 lie there; the other types' files stay where they are, listed nowhere.
  Model created = before;
  created.list = {{0, "", false}};
  for (const ConfigShape& config : machine_) created.files[{0, config.position}] = DefaultValues(config);

  if (CreateSetTypeData() == 0) {
    Settle(created, created, false, created);
    if (!Check("new catalogue")) return;
    faults.Off();
    Expect(ChangeCurrentTypeData(0, 0) == 0, "type 0 could not be loaded");
    UpdateCurrentType(kWindow, 0, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
    DrainMessages();
    LoadInto(&model_, 0);
    return;
  }
  // The list in memory is the former one again, as the catalogue file is;
  // the host starts afresh from that file and reloads type 0.
  Expect(faults.Fired(), "CreateSetTypeData failed with no fault");
  ++figures_[operation_].failed;
  faults.Off();
  StartAfresh();
  Settle(before, created, true, model_);
  if (!Check("new catalogue, failed")) return;
  Reload(0);
}

void SoakHost::StartAfresh() {
  const mmisim::Machine machine = mmisim::CurrentMachine();
  mmisim::StartHost(machine);
  mmisim::SetRecording(false);
  machine_ = DescribeMachine();  // the descriptions are new records
  model_.current = 0;
  model_.currentName.clear();
  model_.memoryKnown = false;
  model_.comm.clear();
}

void SoakHost::Reload(int typeNo) {
  Expect(ReadCurrentTypeData(typeNo) == 0, "type " + std::to_string(typeNo) + " could not be read");
  UpdateCurrentType(kWindow, typeNo, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
  DrainMessages();
  model_.current = typeNo;
  model_.currentName = model_.Find(typeNo)->name;
  LoadInto(&model_, typeNo);
}

// ---- The model's rules ------------------------------------------------------

void SoakHost::LoadInto(Model* model, int typeNo) const {
  model->memoryKnown = true;
  model->memory.assign(machine_.size(), ConfigValues());
  for (const ConfigShape& config : machine_) {
    const ConfigValues& values = model->files.at({typeNo, config.position});
    model->memory[static_cast<std::size_t>(config.position)] = values;
    for (const KindShape& kind : config.kinds) {
      if (!InCommMemory(kind.kind)) continue;
      for (std::size_t i = 0; i < kind.items.size(); ++i) {
        const ItemShape& item = kind.items[i];
        if (item.inUse) {
          model->comm[item.id] =
              ConvertDoubleToMMIForm(values.numbers[static_cast<std::size_t>(kind.kind)][i], item.id);
        }
      }
    }
  }
}

ConfigValues SoakHost::SavedValues(const Model& model, const ConfigShape& config) const {
  ConfigValues values = model.memory[static_cast<std::size_t>(config.position)];
  const bool present = model.files.count({model.current, config.position}) > 0;
  for (const KindShape& kind : config.kinds) {
    for (std::size_t i = 0; i < kind.items.size(); ++i) {
      const ItemShape& item = kind.items[i];
      if (kind.kind == 4) {
        if (!item.described || !item.inUse) values.texts[i].clear();
        continue;
      }
      double& value = values.numbers[static_cast<std::size_t>(kind.kind)][i];
      void* conversion = const_cast<void*>(item.conversion);
      if (!item.described) {
        value = 0.0;  // not written: reads back as 0
      } else if (InCommMemory(kind.kind) && present) {
        // Saved from comm memory, where items not in use hold nothing.
        const auto found = model.comm.find(item.id);
        const std::int32_t comm = item.inUse && found != model.comm.end() ? found->second : 0;
        value = item.inUse && item.real ? ConvertMMIBintoBinF(comm, conversion)
                                        : static_cast<double>(ConvertMMIBintoBinL(comm, conversion));
      } else if (!(item.inUse && item.real)) {
        value = std::trunc(value);
      }
    }
  }
  return values;
}

void SoakHost::Pull(Model* model, const std::string& referenceName, int target,
                    const std::string& newName) const {
  const std::vector<std::string> parts = PartsOf(newName);
  const std::vector<std::string> reference = PartsOf(referenceName);
  const int count = GetMMISystemStruc()->namePartCount;
  for (int k = 1; k <= count; ++k) {
    if (k > static_cast<int>(parts.size())) return;
    const std::string& part = parts[static_cast<std::size_t>(k - 1)];
    if (k <= static_cast<int>(reference.size()) && reference[static_cast<std::size_t>(k - 1)] == part)
      continue;
    const TypeEntry* source = nullptr;
    for (const TypeEntry& entry : model->list) {
      const std::vector<std::string> theirs = PartsOf(entry.name);
      if (k <= static_cast<int>(theirs.size()) && theirs[static_cast<std::size_t>(k - 1)] == part) {
        source = &entry;
        break;
      }
    }
    if (source == nullptr) continue;
    for (const ConfigShape& config : machine_) {
      const auto found = model->files.find({source->typeNo, config.position});
      if (config.partNo == k && found != model->files.end()) {
        model->files[{target, config.position}] = ConfigValues(found->second);
      }
    }
  }
}

void SoakHost::Spread(Model* model) const {
  const std::vector<std::string> parts = PartsOf(model->currentName);
  const int count = GetMMISystemStruc()->namePartCount;
  for (int k = 1; k <= count && k <= static_cast<int>(parts.size()); ++k) {
    for (const TypeEntry& entry : model->list) {
      const std::vector<std::string> theirs = PartsOf(entry.name);
      if (entry.typeNo == model->current || k > static_cast<int>(theirs.size()) ||
          theirs[static_cast<std::size_t>(k - 1)] != parts[static_cast<std::size_t>(k - 1)]) {
        continue;
      }
      for (const ConfigShape& config : machine_) {
        if (config.partNo == k) {
          model->files[{entry.typeNo, config.position}] = model->files.at({model->current, config.position});
        }
      }
    }
  }
}

// ---- Settling and checking ---------------------------------------------------

void SoakHost::Settle(const Model& older, const Model& newer, bool mixed, const Model& memory) {
  Model settled = memory;
  settled.list = newer.list;
  settled.files = newer.files;
  if (mixed) {
    const std::string catalogue = testing::ReadFileBytes(root_ + "/type/mmi.typ");
    if (catalogue == older.CatalogueBytes()) settled.list = older.list;
    Expect(catalogue == newer.CatalogueBytes() || catalogue == older.CatalogueBytes(),
           "the catalogue is neither as it was nor as it was to become");
    settled.files.clear();
    std::set<FileKey> keys;
    for (const auto& [key, values] : older.files) keys.insert(key);
    for (const auto& [key, values] : newer.files) keys.insert(key);
    for (const FileKey& key : keys) {
      const ConfigShape& config = machine_[static_cast<std::size_t>(key.second)];
      const std::string path = FilePath(root_, config, key.first);
      const bool exists = testing::FileExists(path);
      const std::string bytes = exists ? testing::ReadFileBytes(path) : std::string();
      const auto inNewer = newer.files.find(key);
      const auto inOlder = older.files.find(key);
      if (exists && inNewer != newer.files.end() && bytes == RenderFile(config, inNewer->second)) {
        settled.files[key] = inNewer->second;
      } else if (exists && inOlder != older.files.end() && bytes == RenderFile(config, inOlder->second)) {
        settled.files[key] = inOlder->second;
      } else {
        Expect(!exists && (inNewer == newer.files.end() || inOlder == older.files.end()),
               path + " is neither as it was nor as it was to become");
      }
    }
  }
  model_ = settled;
}

void SoakHost::Expect(bool holds, const std::string& what) {
  if (!holds && failure_.empty())
    failure_ = "step " + std::to_string(step_) + " (" + operation_ + "): " + what;
}

bool SoakHost::Check(const char* operation) {
  if (!failure_.empty()) return false;
  const std::string differences =
      TreeDifferences(root_, machine_, model_) + MemoryDifferences(machine_, model_);
  if (!differences.empty()) {
    failure_ = "step " + std::to_string(step_) + " (" + operation +
               "): the tree or memory and the model differ:\n" + differences;
  }
  return failure_.empty();
}

// ---- Random input -------------------------------------------------------------

std::string SoakHost::RandomName() {
  std::string name = kTools[Pick(4)];
  const int parts = 1 + Pick(3);
  if (parts >= 2) name += std::string("+") + kMaterials[Pick(3)];
  if (parts >= 3) name += std::string("+") + kFeeds[Pick(2)];
  return name;
}

std::string SoakHost::RandomText() {
  static const char kCharacters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.#()=+ \xB0\xE4";
  const int length = Pick(8) == 0 ? TD_TEXT_MAX : Pick(24);
  std::string text;
  for (int i = 0; i < length; ++i) text += kCharacters[Pick(static_cast<int>(sizeof kCharacters - 1))];
  return text;
}

std::int32_t SoakHost::RandomComm() {
  if (Pick(4) == 0) {
    return std::uniform_int_distribution<std::int32_t>(std::numeric_limits<std::int32_t>::min(),
                                                       std::numeric_limits<std::int32_t>::max())(random_);
  }
  return std::uniform_int_distribution<std::int32_t>(-100000, 100000)(random_);
}

}  // namespace td::soak
