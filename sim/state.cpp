#include "state.h"

namespace mmisim {

State* state = nullptr;

void RecordCall(const char* op, std::initializer_list<std::int64_t> args, std::int64_t result,
                const char* text) {
  State& s = S();
  HostCall call;
  call.op = op;
  for (std::int64_t arg : args) {
    if (call.argCount < static_cast<int>(call.args.size())) call.args[call.argCount++] = arg;
  }
  if (text) call.text = text;
  call.result = result;
  s.calls.push_back(std::move(call));
}

const std::vector<HostCall>& Calls() { return S().calls; }
void ClearCalls() { S().calls.clear(); }
void SetRecording(bool on) { S().recording = on; }

namespace {
bool recordingDefault = true;
}  // namespace

void SetRecordingDefault(bool on) {
  recordingDefault = on;
  S().recording = on;
}
bool RecordingDefault() { return recordingDefault; }

std::vector<HostCall> CallsOf(const std::string& op) {
  std::vector<HostCall> found;
  for (const HostCall& call : S().calls) {
    if (op == call.op) found.push_back(call);
  }
  return found;
}

}  // namespace mmisim
