// The files of a type tree by their names alone: the catalogue, the type
// folders and the type data files in them ("<prefix><nnnn>.DAT").
#ifndef TOOLS_TYPEDATA_INFER_TREE_LISTING_H
#define TOOLS_TYPEDATA_INFER_TREE_LISTING_H

#include <set>
#include <string>
#include <vector>

#include "infer/infer.h"

namespace tool::infer {

struct DataFile {
  int typeNo = 0;
  std::string prefix;  // as the file name spells it
  std::string path;    // on this system
  std::string file;    // relative to the root
};

struct TreeListing {
  std::string typeFolder;
  bool catalogue = false;
  std::set<int> folders;        // type folders, by number
  std::vector<DataFile> files;  // by type, then name
};

// Lists root/type. False with a message when there is no such folder.
// Names that do not fit the service's are conflicts or notes, never errors.
bool ListTree(const std::string& root, TreeListing* listing, std::vector<Conflict>* conflicts,
              std::vector<std::string>* notes, std::string* error);

}  // namespace tool::infer

#endif  // TOOLS_TYPEDATA_INFER_TREE_LISTING_H
