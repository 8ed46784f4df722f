// A ternary search tree keyed by input cubes: one level per input position,
// one child per character '1', '0', '-'.  It answers in n steps whether a cube
// was seen before and can map a cube to a term.  '-' is a character of its
// own: the tree knows nothing of containment.
//
// Nodes live in one pool and refer to each other by index, so releasing a
// tree never recurses, however many inputs the function has.
#pragma once

#include <cstdint>
#include <vector>

#include "model/function.h"

namespace vorn {

struct TermTreeNode {
  std::int32_t child[3] = {-1, -1, -1};  ///< for '1', '0', '-'
  TPfnct* term = nullptr;                ///< not owned
};

struct TermTree {
  int keyLength = 0;
  /// With a key length of 0 the root is the end node of the one possible
  /// cube; this says whether that cube has been added.
  bool emptyKeyAdded = false;
  std::vector<TermTreeNode> nodes;  ///< nodes[0] is the root
  std::vector<std::int32_t> freeNodes;
};

/// \brief Makes the root; keys are inputCount characters of f.
void TermTreeInit(TermTree& tree, const TBoolFnct& f);
/// \brief Adds the term's cube; 1 if it was already present, 0 if it was added.
int TermTreeInsert(TermTree& tree, const TPfnct& term);
int TermTreeInsert(TermTree& tree, const Cube& cube);
/// \brief Stores the term under its cube; returns the term already stored there, or none.
TPfnct* TermTreeAddTerm(TermTree& tree, TPfnct* term);
/// \brief The term stored under the cube, or none when the cube's path breaks off.
TPfnct* TermTreeFind(const TermTree& tree, const Cube& cube);
/// \brief True when the cube's whole path exists.
bool TermTreeContains(const TermTree& tree, const Cube& cube);
/// \brief Releases the nodes of the cube's path that lead to no other cube.
void TermTreeRemove(TermTree& tree, const Cube& cube);
/// \brief Releases every node; the tree must be initialised again before use.
void TermTreeFree(TermTree& tree);

}  // namespace vorn
