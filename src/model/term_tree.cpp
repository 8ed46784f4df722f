#include "model/term_tree.h"

namespace vorn {

namespace {

int slotOf(char c) { return c == '1' ? 0 : c == '0' ? 1 : 2; }

std::int32_t newNode(TermTree& tree) {
  if (!tree.freeNodes.empty()) {
    const std::int32_t i = tree.freeNodes.back();
    tree.freeNodes.pop_back();
    tree.nodes[i] = TermTreeNode{};
    return i;
  }
  tree.nodes.emplace_back();
  return static_cast<std::int32_t>(tree.nodes.size() - 1);
}

// Walks the cube's path, making missing nodes; reports whether any was made.
std::int32_t walkMaking(TermTree& tree, const Cube& cube, bool& made) {
  made = false;
  if (tree.keyLength == 0) {
    made = !tree.emptyKeyAdded;
    tree.emptyKeyAdded = true;
  }
  std::int32_t node = 0;
  for (int i = 0; i < tree.keyLength; ++i) {
    const int s = slotOf(i < cube.size() ? cube.get(i) : '-');
    std::int32_t next = tree.nodes[node].child[s];
    if (next < 0) {
      next = newNode(tree);
      tree.nodes[node].child[s] = next;
      made = true;
    }
    node = next;
  }
  return node;
}

std::int32_t walk(const TermTree& tree, const Cube& cube) {
  if (tree.keyLength == 0) return tree.emptyKeyAdded ? 0 : -1;
  std::int32_t node = 0;
  for (int i = 0; i < tree.keyLength && node >= 0; ++i)
    node = tree.nodes[node].child[slotOf(i < cube.size() ? cube.get(i) : '-')];
  return node;
}

void releaseSubtree(TermTree& tree, std::int32_t top) {
  std::vector<std::int32_t> stack{top};
  while (!stack.empty()) {
    const std::int32_t n = stack.back();
    stack.pop_back();
    for (std::int32_t c : tree.nodes[n].child)
      if (c >= 0) stack.push_back(c);
    tree.freeNodes.push_back(n);
  }
}

}  // namespace

void TermTreeInit(TermTree& tree, const TBoolFnct& f) {
  tree.keyLength = f.inputCount;
  tree.emptyKeyAdded = false;
  tree.nodes.assign(1, TermTreeNode{});
  tree.freeNodes.clear();
}

int TermTreeInsert(TermTree& tree, const Cube& cube) {
  bool made = false;
  walkMaking(tree, cube, made);
  return made ? 0 : 1;
}

int TermTreeInsert(TermTree& tree, const TPfnct& term) { return TermTreeInsert(tree, term.input); }

TPfnct* TermTreeAddTerm(TermTree& tree, TPfnct* term) {
  bool made = false;
  const std::int32_t end = walkMaking(tree, term->input, made);
  if (!made) return tree.nodes[end].term;
  tree.nodes[end].term = term;
  return nullptr;
}

TPfnct* TermTreeFind(const TermTree& tree, const Cube& cube) {
  const std::int32_t end = walk(tree, cube);
  return end >= 0 ? tree.nodes[end].term : nullptr;
}

bool TermTreeContains(const TermTree& tree, const Cube& cube) { return walk(tree, cube) >= 0; }

void TermTreeRemove(TermTree& tree, const Cube& cube) {
  if (tree.nodes.empty()) return;
  // The last node on the path (root included, end node excluded) with a child
  // off the path is where the path stops being shared.
  std::int32_t node = 0, cutNode = 0;
  int cutSlot = tree.keyLength > 0 ? slotOf(cube.get(0)) : 0;
  for (int i = 0; i < tree.keyLength; ++i) {
    const int s = slotOf(i < cube.size() ? cube.get(i) : '-');
    const TermTreeNode& n = tree.nodes[node];
    if (n.child[s] < 0) return;  // not in the tree
    for (int other = 0; other < 3; ++other)
      if (other != s && n.child[other] >= 0) {
        cutNode = node;
        cutSlot = s;
      }
    node = n.child[s];
  }
  if (tree.keyLength == 0) {
    tree.nodes[0].term = nullptr;
    tree.emptyKeyAdded = false;
    return;
  }
  const std::int32_t top = tree.nodes[cutNode].child[cutSlot];
  tree.nodes[cutNode].child[cutSlot] = -1;
  releaseSubtree(tree, top);
}

void TermTreeFree(TermTree& tree) {
  tree.nodes.clear();
  tree.nodes.shrink_to_fit();
  tree.freeNodes.clear();
  tree.emptyKeyAdded = false;
}

}  // namespace vorn
