// The conversion library. The controller keeps every value as a signed
// 32-bit integer; a real item ('P', 'F') is scaled by a power of ten, the
// number of decimals held in byte 0 of its conversion descriptor.
#include <cmath>
#include <cstdint>

#include "../state.h"

namespace mmisim {
namespace {

// Descriptor bytes: 0 the decimals, 3 the data type letter (the record's
// dataType field lies there).
int DecimalsOf(const unsigned char* descriptor) {
  const char type = static_cast<char>(descriptor[3]);
  if (type != 'P' && type != 'F') return 0;
  return descriptor[0] > 9 ? 9 : descriptor[0];
}

std::int32_t Saturate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace
}  // namespace mmisim

using mmisim::Arg;
using mmisim::Record;
using mmisim::S;

extern "C" {

std::int32_t TD_CALL ConvertDoubleToMMIForm(double value, CfgId id) {
  const auto found = S().items.find(id);
  std::int32_t result;
  if (found == S().items.end()) {
    result = mmisim::Saturate(std::trunc(value));
  } else {
    const int decimals = mmisim::DecimalsOf(found->second->conversion);
    const bool real = decimals > 0 || found->second->dataType == 'P' || found->second->dataType == 'F';
    // Real items round to the nearest unit of the controller form; integer
    // items are whole numbers already and lose any fraction.
    result = real ? mmisim::Saturate(std::round(value * std::pow(10.0, decimals)))
                  : mmisim::Saturate(std::trunc(value));
  }
  std::int64_t bits = 0;
  static_assert(sizeof(double) == sizeof(bits), "double is 64 bits");
  __builtin_memcpy(&bits, &value, sizeof bits);
  Record("ConvertDoubleToMMIForm", {bits, id}, result);
  return result;
}

std::int32_t TD_CALL ConvertMMIBintoBinL(std::int32_t value, void* conversion) {
  std::int32_t result = value;
  if (conversion) {
    const int decimals = mmisim::DecimalsOf(static_cast<const unsigned char*>(conversion));
    result = mmisim::Saturate(std::trunc(value / std::pow(10.0, decimals)));
  }
  Record("ConvertMMIBintoBinL", {value, Arg(conversion)}, result);
  return result;
}

double TD_CALL ConvertMMIBintoBinF(std::int32_t value, void* conversion) {
  double result = value;
  if (conversion) result = value / std::pow(10.0, mmisim::DecimalsOf(static_cast<const unsigned char*>(conversion)));
  Record("ConvertMMIBintoBinF", {value, Arg(conversion)}, static_cast<std::int64_t>(result));
  return result;
}

}  // extern "C"
