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

// 10 to the power decimals (0 to 9), as pow gives it: exactly.
double PowerOfTen(int decimals) {
  static constexpr double kPowers[10] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  return kPowers[decimals];
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
  CfgIdRecord* const* found = S().items.Find(id);
  std::int32_t result;
  if (!found) {
    result = mmisim::Saturate(std::trunc(value));
  } else {
    const int decimals = mmisim::DecimalsOf((*found)->conversion);
    const bool real = decimals > 0 || (*found)->dataType == 'P' || (*found)->dataType == 'F';
    // Real items round to the nearest unit of the controller form; integer
    // items are whole numbers already and lose any fraction.
    result = real ? mmisim::Saturate(std::round(value * mmisim::PowerOfTen(decimals)))
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
    // Whole numbers come back as they are, as the division by 1 would give.
    if (decimals > 0) result = mmisim::Saturate(std::trunc(value / mmisim::PowerOfTen(decimals)));
  }
  Record("ConvertMMIBintoBinL", {value, Arg(conversion)}, result);
  return result;
}

double TD_CALL ConvertMMIBintoBinF(std::int32_t value, void* conversion) {
  double result = value;
  if (conversion)
    result = value / mmisim::PowerOfTen(mmisim::DecimalsOf(static_cast<const unsigned char*>(conversion)));
  Record("ConvertMMIBintoBinF", {value, Arg(conversion)}, static_cast<std::int64_t>(result));
  return result;
}

}  // extern "C"
