// Starting the simulated host the way a host program starts: the machine's
// records first, then the type list read from the catalogue file.
#ifndef MMISIM_START_START_H
#define MMISIM_START_START_H

#include <string>

#include "mmisim.h"

namespace mmisim {

struct CatalogueReading {
  int types = 0;                    // records put into the type list
  std::vector<int> skippedRecords;  // ordinals of records not understood
};

// Reads "..\type\mmi.typ" (its name matched without regard to case) into
// the catalogue's type list, in file order, with the service's line
// utilities. False when there is no catalogue file.
bool ReadCatalogueFile(CatalogueReading* reading = nullptr);

// Start(machine), then ReadCatalogueFile.
void StartHost(const Machine& machine);

}  // namespace mmisim

#endif  // MMISIM_START_START_H
