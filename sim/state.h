// What the simulated host keeps between calls.
#ifndef MMISIM_STATE_H
#define MMISIM_STATE_H

#include <deque>
#include <initializer_list>
#include <unordered_map>

#include "id_index.h"
#include "mmisim.h"

namespace mmisim {

struct State {
  Machine machine;
  bool started = false;

  // Structure library.
  SystemRecord* system = nullptr;
  TypeCatalogue* catalogue = nullptr;
  std::vector<ConfigRecord*> configs;  // configList order
  IdIndex<CfgIdRecord*> items;         // descriptions by CfgId
  std::vector<void*> owned;            // released at Stop

  // Shell library.
  long allocationCalls = 0;
  long failAllocationAt = 0;
  std::deque<PostedMessage> messages;
  long comboBoxCalls = 0;
  long failComboBoxAt = 0;

  // Communication library.
  IdValueMap comm;
  IdValueMap offlineComm;
  IdValueMap controller;
  std::vector<std::pair<CfgId, std::int32_t>> transfers;  // queued, not delivered
  long delivered = 0;                                     // transfers the controller has taken
  std::vector<TypeCodeReceived> typeCodes;
  bool hpcOnline = false;
  int hpcTypeNo = -1;

  // Recorder.
  std::vector<HostCall> calls;
  bool recording = true;
};

// Made at the first call and never destroyed: hosts may call the libraries
// while the process ends. A plain pointer, as every host call asks for it.
extern State* state;
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline State&
S() {
  if (!state) state = new State;
  return *state;
}

// The recorder's switch at each start (SetRecordingDefault).
bool RecordingDefault();

void RecordCall(const char* op, std::initializer_list<std::int64_t> args, std::int64_t result,
                const char* text);

// Records one call of op with its arguments, when the recorder is on.
inline void Record(const char* op, std::initializer_list<std::int64_t> args, std::int64_t result,
                   const char* text = nullptr) {
  if (S().recording) RecordCall(op, args, result, text);
}

template <typename T>
std::int64_t Arg(T* pointer) {
  return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(pointer));
}

// Memory of the shell library (platform-specific).
void* AllocateGlobal(std::uint32_t size);
void ReleaseAllGlobal();
long LiveGlobal();

// Windows, fonts and brushes of the shell and colour libraries
// (platform-specific). Fonts and brushes are made once and kept for the
// life of the process, as a host keeps its common ones.
HWND CreateComboBoxWindow(HWND parent, HINSTANCE instance, const char* text, std::uint32_t style, int x,
                          int y, int width, int height, int controlId);
HFONT CommonFont(HDC dc);
HBRUSH SolidBrush(COLORREF colour);

}  // namespace mmisim

#endif  // MMISIM_STATE_H
