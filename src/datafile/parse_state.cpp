#include "datafile/parse_state.h"

namespace td {

BlockTable* currentBlockTable = nullptr;
std::int32_t currentSection = 0;
ValueBlock* currentValueBlock = nullptr;
TextBlock* currentTextBlock = nullptr;

}  // namespace td
