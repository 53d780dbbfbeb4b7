// The simulated host: control of the machine it simulates, and what tests,
// tools and benchmarks read back from it. The host library operations
// themselves are the plain C functions of the service's host header.
#ifndef MMISIM_MMISIM_H
#define MMISIM_MMISIM_H

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host.h"
#include "machine/machine.h"

namespace mmisim {

// ---- Start and stop ------------------------------------------------------

// Builds the structure library's records for machine: system record,
// config list with kind tables, item descriptions, an empty type list.
// Everything of an earlier start is released first.
void Start(const Machine& machine);
// Releases all records, memories, messages and recorded calls.
void Stop();
bool Started();
const Machine& CurrentMachine();

// Adds a type to the end of the catalogue's list, as the structure library
// does when it reads the catalogue file: name, number and every datName set.
// False when the name is longer than 23 characters or typeNo above 9999.
bool AddType(int typeNo, const char* name);
// The same for a run of additions with nothing else changing the list in
// between, as when the catalogue is read: *end keeps where the list ends,
// so n additions take time linear in n. Begin the run with *end null.
bool AddType(int typeNo, const char* name, TypeRecord*** end);

// ---- Recorder ------------------------------------------------------------

struct HostCall {
  const char* op = "";                 // the operation's name
  std::array<std::int64_t, 9> args{};  // its arguments (pointers as addresses)
  int argCount = 0;
  std::string text;  // a text argument, where there is one
  std::int64_t result = 0;
};

const std::vector<HostCall>& Calls();
void ClearCalls();
// Recording on (the default) or off, for long runs, until the next Stop.
void SetRecording(bool on);
// Whether every start records: on for tests; programs such as the tool turn
// it off, since a run over a large tree would keep millions of calls.
void SetRecordingDefault(bool on);
// The recorded calls of one operation, in order.
std::vector<HostCall> CallsOf(const std::string& op);

// ---- Shell library -------------------------------------------------------

// The nth MMI_GlobalAlloc from now (1 the next) gives null; 0 switches off.
void FailAllocationAt(long n);
long AllocationCalls();  // MMI_GlobalAlloc calls since start
long LiveAllocations();  // blocks allocated and not yet freed

// Message code of the answer to a dummy read: wParam is the step notice,
// lParam the config index.
constexpr int kStepAnswerMessage = 0x0400 + 0x71;

struct PostedMessage {
  HWND window = nullptr;
  int message = 0;
  int wParam = 0;
  int lParam = 0;
};

// Takes the oldest posted message; false when none is queued.
bool NextMessage(PostedMessage* message);
std::size_t PendingMessages();

// ---- Communication library ----------------------------------------------

bool CommValue(CfgId id, std::int32_t* value);
void SetCommValue(CfgId id, std::int32_t value);
bool OfflineCommValue(CfgId id, std::int32_t* value);
const std::map<CfgId, std::int32_t>& CommMemory();
const std::map<CfgId, std::int32_t>& OfflineCommMemory();
// What the controller holds: values that SendComm queued, delivered when
// the dummy read that closes their step is answered.
const std::map<CfgId, std::int32_t>& ControllerMemory();
void ClearControllerMemory();
// Values the controller has taken since start, each transfer counted (a
// value sent twice counts twice), whether or not calls are recorded.
long ControllerTransfers();

struct TypeCodeReceived {
  int boardConfigIndex = 0;
  int typeNo = 0;
  int notice = 0;
};
const std::vector<TypeCodeReceived>& TypeCodesReceived();

void SetHpcOnline(bool online);
// The type number last handed to the HPC link, -1 when none.
int HpcTypeNo();

// ---- Combo boxes, fonts and brushes ---------------------------------------

// The nth MakeComboBox from now (1 the next) creates no window and gives
// null; 0 switches off.
void FailComboBoxAt(long n);

// The colour of the colour library's brush number colour (0 to 15; other
// numbers give the colour of brush 0).
COLORREF BrushColour(int colour);

// ---- Windows and drawing, as tests use them -----------------------------
//
// On Windows these are real windows and GDI; elsewhere they work on the
// simulated host's stand-ins for the window and drawing calls.

// A top-level window to be the parent of combo boxes. Destroy it with
// DestroyWindow, which destroys its children too.
HWND CreateParentWindow(const char* title, int width, int height);
// The number of windows whose parent is window (its children, not theirs).
int ChildWindowCount(HWND window);
// The brush selected into a device context.
HGDIOBJ SelectedBrush(HDC dc);

// A memory device context holding a white bitmap of width x height, to
// draw into and read back pixel by pixel.
class Canvas {
 public:
  static constexpr COLORREF kBackground = 0xFFFFFF;

  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  // The colour of the pixel at x, y.
  COLORREF Pixel(int x, int y) const;

 private:
  HDC dc_ = nullptr;
  void* bitmap_ = nullptr;  // Windows: the bitmap and the one it replaced
  void* replaced_ = nullptr;
};

#ifndef _WIN32
// What the stand-ins record, where Windows is absent.

struct DrawnPolygon {
  std::vector<POINT> points;
  HGDIOBJ brush = nullptr;  // the brush it was filled with
};
// Polygons drawn into a device context, in order.
std::vector<DrawnPolygon> PolygonsDrawn(HDC dc);
// Every object selected into a device context, in order.
std::vector<HGDIOBJ> ObjectsSelected(HDC dc);
// Device contexts that GetDC gave and ReleaseDC has not taken back.
int DeviceContextsInUse();
#endif

}  // namespace mmisim

#endif  // MMISIM_MMISIM_H
