// A full download of the large machine's current type: InitSendCurrentType
// Data, then SendCurrentTypeData for every step as a host paces it (each
// step's dummy read answered, until message code 7), beside the same number
// of comm memory reads (GetCommData), and beside the host calls that the
// download makes, made without the service.
//
//   build/release/bin/bench_download
#include <benchmark/benchmark.h>

#include "mmisim.h"
#include "support/bench_folder.h"
#include "support/comm_items.h"
#include "support/large_machine.h"
#include "typedata.h"

namespace {

constexpr int kStepNotice = 0x51;
constexpr int kEndCode = 0x77;
constexpr int kEndOfDownload = 7;
HWND const kWindow = reinterpret_cast<HWND>(0x1234);

class Setting {
 public:
  Setting() {
    const bench::MachineShape shape = bench::LargeMachine();
    configs_ = static_cast<int>(shape.configs.size());
    numbers_ = shape.configs[0].counts[0];
    bench::StartMachine(shape);
    mmisim::AddType(1, "T1");
    bench::MakeTypeData(1, 7);  // comm memory holds the type's values
  }
  ~Setting() { mmisim::Stop(); }

  int configs() const { return configs_; }
  int numbers() const { return numbers_; }
  // D, S and A items in use: every one of them on this machine.
  std::int64_t items() const { return static_cast<std::int64_t>(configs_) * 3 * numbers_; }

 private:
  bench::BenchFolder folder_;
  int configs_ = 0;
  int numbers_ = 0;
};

Setting& TheSetting() {
  static Setting setting;
  return setting;
}

// The host's loop: every answered dummy read asks for the next step.
int Download() {
  int steps = 0;
  InitSendCurrentTypeData(kWindow, 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  for (;;) {
    mmisim::PostedMessage message;
    if (!mmisim::NextMessage(&message)) return -1;  // the download stalled
    if (message.message == kEndOfDownload) return steps;
    ++steps;
    SendCurrentTypeData(kWindow, 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  }
}

void BM_Download(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    if (Download() != setting.configs()) state.SkipWithError("download incomplete");
  }
  state.SetItemsProcessed(state.iterations() * setting.items());
}
BENCHMARK(BM_Download)->Unit(benchmark::kMillisecond);

// As many comm memory reads as the download makes.
void BM_CommReads(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    std::int64_t sum = 0;
    bench::ForEachCommItem(setting.configs(), setting.numbers(), [&](CfgId id) {
      std::int32_t value = 0;
      GetCommData(0, id, &value);
      sum += value;
    });
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * setting.items());
}
BENCHMARK(BM_CommReads)->Unit(benchmark::kMillisecond);

// Every host call the download makes, in the same order, without the
// service: per item its description, its comm value and its transfer, per
// config the dummy read that hands the transfers to the controller.
void BM_DownloadHostCalls(benchmark::State& state) {
  Setting& setting = TheSetting();
  for (auto _ : state) {
    bench::ForEachCommItem(
        setting.configs(), setting.numbers(),
        [](CfgId id) {
          CfgIdRecord* record = nullptr;
          GetCFGIDStruc(id, &record);
          std::int32_t value = 0;
          GetCommData(0, id, &value);
          SendComm(kWindow, 0xFFFF, id, value);
        },
        [](int config) {
          DummyRead0(kWindow, kStepNotice, config);
          mmisim::PostedMessage message;
          mmisim::NextMessage(&message);
        });
  }
  state.SetItemsProcessed(state.iterations() * setting.items());
}
BENCHMARK(BM_DownloadHostCalls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
