// The type tree a benchmark works on, one at a time: made anew when a
// benchmark asks for another size, so that only one tree is on disk.
#ifndef BENCH_SUPPORT_ONE_TREE_H
#define BENCH_SUPPORT_ONE_TREE_H

#include <memory>

namespace bench {

// Tree is constructed from its number of types.
template <typename Tree>
Tree& TreeOfSize(int types) {
  static std::unique_ptr<Tree> tree;
  static int made = 0;
  if (made != types) {
    tree.reset();
    tree = std::make_unique<Tree>(types);
    made = types;
  }
  return *tree;
}

}  // namespace bench

#endif  // BENCH_SUPPORT_ONE_TREE_H
