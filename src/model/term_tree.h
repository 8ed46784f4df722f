// An index keyed by input cubes: it answers whether a cube was seen before
// and can map a cube to a term.  Keys are the first n characters of a cube
// (n the input count of the function the index is made for, missing
// positions read as '-'); '-' is a character of its own, so the index knows
// nothing of containment, and '~' reads as '-'.
//
// The answers depend only on which cubes were added, so the index is a hash
// map over a compact form of each key rather than a ternary tree of n levels:
// the tree spends up to n nodes on every new cube, which on a function of
// tens of thousands of inputs is megabytes per cube.  A key costs a few bytes
// per literal (or two bits per position for a cube with many literals), so
// the wide, short cubes of a CD-search stay small.
#pragma once

#include <string>
#include <unordered_map>

#include "model/function.h"

namespace vorn {

struct TermTree {
  int keyLength = 0;
  std::unordered_map<std::string, TPfnct*> cubes;  ///< compact key -> the term stored under it (not owned), or none
};

/// \brief Empties the index; keys are inputCount characters of f.
void TermTreeInit(TermTree& tree, const TBoolFnct& f);
/// \brief Adds the term's cube; 1 if it was already present, 0 if it was added.
int TermTreeInsert(TermTree& tree, const TPfnct& term);
int TermTreeInsert(TermTree& tree, const Cube& cube);
/// \brief Stores the term under its cube; returns the term already stored there, or none.
TPfnct* TermTreeAddTerm(TermTree& tree, TPfnct* term);
/// \brief The term stored under the cube, or none when the cube is absent.
TPfnct* TermTreeFind(const TermTree& tree, const Cube& cube);
/// \brief True when the cube was added.
bool TermTreeContains(const TermTree& tree, const Cube& cube);
/// \brief Forgets the cube.
void TermTreeRemove(TermTree& tree, const Cube& cube);
/// \brief Releases every key; the index must be initialised again before use.
void TermTreeFree(TermTree& tree);

}  // namespace vorn
