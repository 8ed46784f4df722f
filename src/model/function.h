// The in-memory multi-output function: a TBoolFnct owns a singly linked list
// of TPfnct product terms, pushed and visited in the orders every other
// subsystem relies on (term list in creation order, per-output lists in
// reverse term order, cover lists newest first).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/cube.h"
#include "model/cube_list.h"

namespace vorn {

/// One entry of a per-output list: a term's input cube, held once by the
/// function however many lists the term is in.
struct ListEntry {
  /// \brief The term's input cube.
  const Cube& input() const { return *cube; }
  const Cube* cube = nullptr;  ///< one of the function's listCubes
  int term = 0;                ///< the term's position in the term list, 0 at the head
  int freeCount = 0;
  int separated = 0;  ///< CD-search: known to be disjoint from the cube under construction
};

/// One on-set entry covered by an implicant.
struct CoverEntry {
  const ListEntry* onTerm = nullptr;  ///< the covered entry of the source's onLists[output]
  int onIndex = 0;                    ///< its position in that list, 0 at the list head
  int output = 0;
};

/// One product term.
struct TPfnct {
  Cube input;
  std::string output;  ///< empty for a term made without an output part
  int freeCount = 0;
  std::unique_ptr<TPfnct> next;
  int keep = 1;
  std::vector<CoverEntry> covers;  ///< in list order: covers[0] is the head (newest entry)
  int coverCount = 0;
  std::optional<std::vector<int>> coverKeys;  ///< sorted cover keys, absent until built
  std::uint64_t coverSignature = 0;  ///< bit (key mod 64) of each cover key; made with coverKeys
  int outputIndex = 0;
  int separated = 0;
  int position = 0;
};

/// How a function's output characters are read (the `type` field).  fd and fr
/// keep their historical values 0 and 1.
enum FunctionType : int {
  kTypeFd = 0,   ///< '1' on-set, '-' don't-care set, off-set is the rest
  kTypeFr = 1,   ///< '1' on-set, '0' off-set, don't-care set is the rest
  kTypeF = 2,    ///< '1' on-set, off-set is the rest
  kTypeFdr = 3,  ///< '1' on-set, '-' don't-care set, '0' off-set; a minterm given by no term is a don't-care
  kTypeR = 4,    ///< '0' off-set, on-set is the rest
};

/// \brief The PLA name of a type ("fd", "fr", "f", "fdr", "r"); "fd" for an unknown value.
const char* typeName(int type);
/// \brief True when '1' in an output part puts the term in the on-set.
inline bool typeHasOn(int type) { return type != kTypeR; }
/// \brief True when '0' in an output part puts the term in the off-set.
inline bool typeHasOff(int type) { return type == kTypeFr || type == kTypeFdr || type == kTypeR; }
/// \brief True when '-' in an output part puts the term in the don't-care set.
inline bool typeHasDc(int type) { return type == kTypeFd || type == kTypeFdr; }

using Labels = std::shared_ptr<std::vector<std::string>>;
using TermList = std::vector<ListEntry>;

/// A multi-output function in sum-of-products form.
struct TBoolFnct {
  TBoolFnct() = default;
  TBoolFnct(const TBoolFnct&) = delete;
  TBoolFnct& operator=(const TBoolFnct&) = delete;
  ~TBoolFnct();

  int termCount = 0;
  int inputCount = 0;
  int outputCount = 0;
  TBoolFnct* source = nullptr;  ///< borrowed; none for a function made by the reader
  Labels inputLabels;           ///< shared with every function derived from this one
  Labels outputLabels;
  int type = kTypeFd;  ///< a FunctionType
  std::vector<TermList> onLists, offLists, dcLists;  ///< by the type's meaning of '1', '0' and '-'
  /// The terms' input cubes in term order, one copy each, shared by the
  /// per-output lists: a wide function with few terms pays for its terms,
  /// not for its terms times its outputs.
  std::vector<Cube> listCubes;
  std::unique_ptr<TPfnct> head;
  TPfnct* tail = nullptr;
  int literals = 0, outputCost = 0, terms = 0, gateEquivalents = 0, gates = 0, cost = 0;
  std::vector<int> onCounts, offCounts, dcCounts;
  int maxOnCount = 0;
  std::vector<TPfnct*> termIndex;
  int indexed = 0;
};

using FunctionPtr = std::unique_ptr<TBoolFnct>;

/// \brief New function with the given dimensions and type, no terms, labels all empty texts.
FunctionPtr create(int inputCount, int outputCount, int termCount, int type);
/// \brief New empty function with the source's dimensions and type, sharing its labels.
FunctionPtr derive(TBoolFnct& source);
/// \brief Appends a term with no texts; the caller fills them.
TPfnct* appendEmptyTerm(TBoolFnct& f);
/// \brief Appends a term holding the first inputCount characters of `input` and outputCount of `output`.
TPfnct* appendTerm(TBoolFnct& f, const Cube& input, std::string_view output, int freeCount);
TPfnct* appendTerm(TBoolFnct& f, std::string_view input, std::string_view output, int freeCount);
/// \brief Same as appendTerm, inserting at the front of the list.
TPfnct* prependTerm(TBoolFnct& f, const Cube& input, std::string_view output, int freeCount);
/// \brief Appends copies of other's terms to target in other's order; other is released.
void absorb(TBoolFnct& target, FunctionPtr other);
/// \brief Builds the per-output on/off/don't-care lists; nothing when already indexed.
void buildLists(TBoolFnct& f);
/// \brief Releases the per-output lists and counts.
void freeLists(TBoolFnct& f);

/// \brief A copy of a term: texts, keep, freeCount, covers in order, keys when present.
std::unique_ptr<TPfnct> copyTerm(const TPfnct& t);
/// \brief Drops a term's cover list and keys.
void clearCovers(TPfnct& t);
/// \brief Copies of the entries of a cover list, in reverse order.
std::vector<CoverEntry> copyCoversReversed(const std::vector<CoverEntry>& covers);

/// \brief The input cubes of a per-output list, packed in list order over n inputs.
CubeList packInputs(const TermList& list, int n);

/// \brief Number of '-' among the first inputCount positions of a cube.
int countDashes(const TBoolFnct& f, const Cube& cube);

/// \brief The input cube of a term, cut or padded with '-' to n positions.
Cube cubeOf(std::string_view text, int n);

/// \brief Output character j of a term; '~' (no information) beyond its output part.
inline char outputAt(const TPfnct& t, int j) { return j < static_cast<int>(t.output.size()) ? t.output[j] : '~'; }
/// \brief The first output of the first `outputs` at which one term has '1' and the other '0', or -1.
int firstOnOffOutput(const TPfnct& a, const TPfnct& b, int outputs);

/// \brief Walks the term list of a function in order.
template <typename Fn>
void forEachTerm(const TBoolFnct& f, Fn&& fn) {
  for (TPfnct* t = f.head.get(); t; t = t->next.get()) fn(*t);
}

}  // namespace vorn
