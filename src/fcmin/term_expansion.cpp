// Expansion of FC-Min implicants.
//
// Each implicant tries its literals one at a time: a random start position,
// then forward with wrap-around to the next untried literal.  A literal stays
// dropped when the widened cube still meets no source term that holds '0'
// where the implicant holds '1'.  Once a literal is gone the implicant meets
// more source terms, so a '~' output of the implicant becomes '0' wherever one
// of them holds '0' there: the implicant must not claim that output later.
//
// A source without an off-set (fd) asks instead whether the widened cube
// still lies inside on-set and don't-care set of the implicant's outputs.
//
// The validity test is the inner loop of the expansion (implicants x literals
// x source terms); the source's '0' outputs are held as bit sets so a source
// term is ruled out by one AND before its cube is compared.  Where they fit,
// the input parts of the source terms holding some '0' are also held as
// literal columns: the terms a cube meets are then those holding no literal
// opposite to one of the cube's, a few word operations per literal and 64
// source terms, where comparing cube by cube costs one comparison per term.
#include "fcmin/term_expansion.h"

#include <optional>
#include <vector>

#include "fcmin/output_masks.h"
#include "model/literal_columns.h"
#include "unate/implicant_tester.h"

namespace vorn {

namespace {

/// The source terms holding '0' at one of `tOnes`: the only ones that can make `t` invalid.
/// An implicant's '1's never change while it expands, so they are gathered once per implicant.
void gatherOffTerms(const OutputMasks& src, const std::uint64_t* tOnes, std::vector<const Cube*>& off) {
  off.clear();
  const int words = src.zeros.words();
  for (int s : src.withZero)
    if (bits::anyCommonBit(src.zeros.row(s), tOnes, words)) off.push_back(&src.terms[static_cast<std::size_t>(s)]->input);
}

/// The input parts of the source terms holding some '0', as literal columns in the order of
/// `withZero`, and per implicant the ones that can make it invalid.
class OffColumns {
 public:
  /// \brief Columns for the terms of `src.withZero` when `wanted`; none when they would not fit in memory.
  OffColumns(const OutputMasks& src, int inputs, bool wanted) {
    const int n = static_cast<int>(src.withZero.size());
    if (!wanted || n == 0 || !LiteralColumns::fits(inputs, n)) return;
    CubeList cubes(inputs);
    for (int s : src.withZero) cubes.push(src.terms[static_cast<std::size_t>(s)]->input);
    cols_ = LiteralColumns(cubes);
    among_.resize(cols_.blocks());
    scratch_.resize(cols_.blocks());
    ready_ = true;
  }
  bool ready() const { return ready_; }
  /// \brief Takes as the terms to ask those holding '0' at one of `tOnes`.
  void gather(const OutputMasks& src, const std::uint64_t* tOnes) {
    std::fill(among_.begin(), among_.end(), 0);
    const int words = src.zeros.words();
    for (std::size_t k = 0; k < src.withZero.size(); ++k)
      if (bits::anyCommonBit(src.zeros.row(src.withZero[k]), tOnes, words)) bitspan::set(among_.data(), static_cast<int>(k));
  }
  /// \brief True when one of the gathered terms meets the cube.
  bool meets(const Cube& cube) { return cols_.meetsAnyOf(cube.data(), among_.data(), scratch_.data()); }

 private:
  LiteralColumns cols_;
  std::vector<Word> among_, scratch_;
  bool ready_ = false;
};

/// True when one of the gathered source terms meets `t`'s cube.
bool meetsOffSet(const std::vector<const Cube*>& off, const TPfnct& t) {
  for (const Cube* c : off)
    if (c->intersects(t.input)) return true;
  return false;
}

/// Turns '~' outputs of `t` into '0' where a source term meeting its cube holds '0'.
void resolveTildes(const OutputMasks& src, TPfnct& t, int outputs) {
  WordRows tTilde(1, bits::wordsFor(outputs));
  markChar(tTilde.row(0), tTilde.words(), t.output, outputs, '~');
  if (!bits::anyBit(tTilde.row(0), tTilde.words())) return;
  for (int s : src.withZero) {
    const std::uint64_t* zeros = src.zeros.row(s);
    const TPfnct& term = *src.terms[static_cast<std::size_t>(s)];
    if (!bits::anyCommonBit(zeros, tTilde.row(0), tTilde.words()) || !term.input.intersects(t.input)) continue;
    for (int j = 0; j < outputs && j < static_cast<int>(t.output.size()); ++j)
      if (t.output[j] == '~' && outputAt(term, j) == '0') t.output[j] = '0';
  }
}

/// The outputs at which `t` holds '1': an expansion of a source without an off-set (fd) must
/// stay inside on-set and don't-care set of each.
std::vector<int> onesOf(const TBoolFnct& f, const TPfnct& t) {
  std::vector<int> ones;
  for (int j = 0; j < f.outputCount; ++j)
    if (outputAt(t, j) == '1') ones.push_back(j);
  return ones;
}

/// Drops the literals of one implicant in random order; returns the number dropped.
int expandTerm(const TBoolFnct& f, const OutputMasks& src, OffColumns& columns, TPfnct& t, int inputs, int outputs,
               int& stepIndex, RunContext& run) {
  std::vector<char> tried(inputs, 0);
  int left = 0;
  for (int p = 0; p < inputs; ++p) {
    tried[p] = t.input.get(p) == '-';
    left += !tried[p];
  }
  WordRows tOnes(1, bits::wordsFor(outputs));
  markChar(tOnes.row(0), tOnes.words(), t.output, outputs, '1');
  std::vector<const Cube*> off;
  std::optional<OutputsTester> inside;
  if (f.type == kTypeFd)
    inside.emplace(f, onesOf(f, t));
  else if (columns.ready())
    columns.gather(src, tOnes.row(0));
  else
    gatherOffTerms(src, tOnes.row(0), off);
  int dropped = 0;
  while (left != 0) {
    int pos = run.random.randomBelow(inputs);
    while (tried[pos]) pos = (pos + 1) % inputs;
    const char was = t.input.get(pos);
    t.input.set(pos, '-');
    tried[pos] = 1;
    --left;
    const bool invalid = inside ? !inside->test(t.input) : columns.ready() ? columns.meets(t.input) : meetsOffSet(off, t);
    if (invalid) {
      t.input.set(pos, was);
      continue;
    }
    ++t.freeCount;
    ++dropped;
    resolveTildes(src, t, outputs);
    run.progress.step(stepIndex++, 0);
  }
  return dropped;
}

}  // namespace

void IndexTerms(TBoolFnct& g) {
  g.termIndex.clear();
  g.termIndex.reserve(g.termCount);
  int k = 0;
  for (TPfnct* t = g.head.get(); t; t = t->next.get(), ++k) {
    t->position = k;
    g.termIndex.push_back(t);
  }
}

int IsTermValid(const TBoolFnct& g, int k) {
  const TPfnct& t = *g.termIndex[k];
  const int outputs = g.outputCount;
  if (g.source->type == kTypeFd) {
    for (int j = 0; j < outputs; ++j)
      if (outputAt(t, j) == '1' && !IsImplicant(*g.source, t.input, j)) return 0;
    return 1;
  }
  for (TPfnct* s = g.source->head.get(); s; s = s->next.get()) {
    if (!s->input.intersects(t.input)) continue;
    for (int j = 0; j < outputs; ++j)
      if (outputAt(t, j) == '1' && outputAt(*s, j) == '0') return 0;
  }
  return 1;
}

TBoolFnct& ExpandTerms(TBoolFnct& g, RunContext& run) {
  IndexTerms(g);
  const int inputs = g.inputCount;
  int literalSum = 0;
  for (TPfnct* t : g.termIndex) literalSum += inputs - t->input.countDashes();
  run.progress.begin("Expanding terms", literalSum, 1);
  if (g.source && inputs > 0) {
    const OutputMasks src = indexOutputs(*g.source);
    OffColumns columns(src, inputs, g.source->type != kTypeFd);
    int stepIndex = 0;
    // Out of time, the implicants not reached keep their cubes: every one of
    // them is valid already, expansion only makes it larger.
    DeadlineProbe outOfTime(run.deadline, 4);
    for (TPfnct* t : g.termIndex) {
      if (outOfTime.expired()) break;
      expandTerm(*g.source, src, columns, *t, inputs, g.outputCount, stepIndex, run);
    }
  }
  run.progress.end();
  return g;
}

}  // namespace vorn
