// Splitting intersecting terms.
//
// Phase 1 folds terms with equal cubes together.  Phase 2 walks every pair
// (t, u) with t before u; for an intersecting pair it finds the common part P
// (the smaller cube when one lies inside the other, else the intersection,
// appended as a new term), gives P the outputs of both terms, and splits each
// of t and u that is larger than P into disjoint pieces around it: the term
// itself is narrowed to the opposite of P's literal at the first free
// position, and one piece is appended for each further free position.
//
// A TermTree maps every cube of the function to its term, so a narrowed term
// or a piece whose cube already exists is folded into the existing term by
// one walk down the tree instead of a search of the list; this keeps every
// cube unique.  Terms are removed only through RemoveTerm with their known
// predecessor, so the walk's remembered predecessors are patched whenever the
// term they point at goes.
//
// Every fold of one term's outputs into another (equal cubes, a narrowed term
// or piece meeting an existing cube, the common part) checks for '1' against
// '0' first: the terms folded together share minterms, so such a clash is an
// inconsistency of the source, and overwriting one character with the other
// would hide it and report success on a changed function.  For the same
// reason a '-' (no information in fr, don't-care in fdr) never replaces a '1'
// or a '0': every on- and off-set point of the source keeps its value.
#include "modes/term_splitting.h"

#include <algorithm>
#include <climits>

#include "model/term_removal.h"
#include "modes/split_growth.h"

namespace vorn {

namespace {

/// Copies the output characters of `from` into `into` where they say more: '1' and '0'
/// always, '-' only over '~'; false, changing nothing, when that would put '1' over '0' or
/// '0' over '1'.  The terms share minterms, so a '-' written over '1' or '0' would take
/// those minterms out of the on-set or the off-set.
bool mergeOutputs(const std::string& from, TPfnct& into, int outputs) {
  const int n = std::min<int>(outputs, static_cast<int>(from.size()));
  for (int j = 0; j < n; ++j) {
    const char x = from[j], y = outputAt(into, j);
    if ((x == '1' && y == '0') || (x == '0' && y == '1')) return false;
  }
  for (int j = 0; j < n; ++j) {
    const char x = from[j], y = outputAt(into, j);
    if (x == '~' || (x == '-' && (y == '1' || y == '0'))) continue;
    if (static_cast<int>(into.output.size()) < outputs) into.output.resize(outputs, '~');
    into.output[j] = x;
  }
  return true;
}

char opposite(char literal) { return literal == '1' ? '0' : '1'; }

/// Takes the cube out of the tree when it is stored there for this very term.
void unTermTreeAddTerm(TermTree& tree, const TPfnct* t) {
  if (TermTreeFind(tree, t->input) == t) TermTreeRemove(tree, t->input);
}

/// Positions at which `s` has no literal and `p` has one, in increasing order.
void freeAgainst(const Cube& s, const Cube& p, std::vector<int>& positions) {
  positions.clear();
  const int words = s.words();
  bits::forEachWordBit(words, [&](int w) { return ~literalsIn(s.data(), words, w) & literalsIn(p.data(), words, w); },
                       [&](int i) { positions.push_back(i); });
}

class PairSplitter {
 public:
  PairSplitter(TBoolFnct& f, TermTree& tree, int maxTerms, const ProgressHooks& progress)
      : f_(f), tree_(tree), maxTerms_(maxTerms), progress_(progress) {}

  int run() {
    TPfnct* tPrev = nullptr;
    TPfnct* t = f_.head.get();
    while (t) {
      t_ = t;
      tPrev_ = tPrev;
      uPrev_ = t;
      u_ = t->next.get();
      tReplaced_ = false;
      while (u_) {
        uReplaced_ = false;
        if (!splitPair()) return 0;
        if (f_.termCount > maxTerms_) return kSplitTooLarge;
        if (progress_.step(f_.termCount, 2) != 0) return 3;
        if (tReplaced_) break;
        if (uReplaced_) {
          u_ = uPrev_->next.get();
        } else {
          uPrev_ = u_;
          u_ = u_->next.get();
        }
      }
      if (tReplaced_) {
        t = tPrev ? tPrev->next.get() : f_.head.get();
      } else {
        tPrev = t;
        t = t->next.get();
      }
    }
    return 1;
  }

 private:
  /// Splits the pair (t_, u_); false on a conflict.
  bool splitPair() {
    const Cube& a = t_->input;
    const Cube& b = u_->input;
    if (!a.intersects(b)) return true;  // disjoint
    const int words = a.words();
    // k: positions free in a and bound in b; m: the other way round
    const int k = bits::countWords(words, [&](int w) { return ~literalsIn(a.data(), words, w) & literalsIn(b.data(), words, w); });
    const int m = bits::countWords(words, [&](int w) { return ~literalsIn(b.data(), words, w) & literalsIn(a.data(), words, w); });
    const int outputs = f_.outputCount;
    if (firstOnOffOutput(*t_, *u_, outputs) >= 0) return false;
    if (k == 0 && m == 0) return foldEqualPair();
    TPfnct* p;
    TPfnct* q;
    if (k > 0 && m > 0) {
      Cube x = a;
      freeAgainst(a, b, positions_);
      for (int pos : positions_) x.set(pos, b.get(pos));
      p = TermTreeFind(tree_, x);
      if (p) {
        if (!mergeOutputs(t_->output, *p, outputs)) return false;
      } else {
        p = appendTerm(f_, x, t_->output, t_->freeCount - k);
        TermTreeAddTerm(tree_, p);
      }
      q = u_;
    } else if (k == 0) {
      p = t_;
      q = u_;
    } else {
      p = u_;
      q = t_;
    }
    if (!mergeOutputs(q->output, *p, outputs)) return false;
    if (k > 0 && !splitAround(true, *p)) return false;
    if (m > 0 && !splitAround(false, *p)) return false;
    return true;
  }

  /// Splits t_ (or u_) around p: narrows it at the first free position and appends the pieces;
  /// false when a fold into a term with the same cube meets '1' against '0'.
  bool splitAround(bool isT, const TPfnct& p) {
    TPfnct* s = isT ? t_ : u_;
    freeAgainst(s->input, p.input, positions_);
    const int outputs = f_.outputCount;
    unTermTreeAddTerm(tree_, s);
    const int p1 = positions_[0];
    const char lit1 = p.input.get(p1);
    Cube rest = s->input;
    rest.set(p1, lit1);
    s->input.set(p1, opposite(lit1));
    --s->freeCount;
    kept_ = s->output;
    int d = s->freeCount;
    if (TPfnct* e = TermTreeFind(tree_, s->input)) {
      if (!mergeOutputs(s->output, *e, outputs)) return false;
      replace(isT, s, e);
    } else {
      TermTreeAddTerm(tree_, s);
    }
    for (std::size_t i = 1; i < positions_.size(); ++i) {
      const int pos = positions_[i];
      const char lit = p.input.get(pos);
      Cube piece = rest;
      piece.set(pos, opposite(lit));
      rest.set(pos, lit);
      --d;
      if (TPfnct* e = TermTreeFind(tree_, piece)) {
        if (!mergeOutputs(kept_, *e, outputs)) return false;
      } else {
        TermTreeAddTerm(tree_, appendTerm(f_, piece, kept_, d));
      }
    }
    return true;
  }

  /// Removes s (t_ or u_), whose cube now belongs to e, and lets e take its place.
  void replace(bool isT, TPfnct* s, TPfnct* e) {
    if (isT) {
      RemoveTerm(f_, s, tPrev_);
      if (uPrev_ == s) uPrev_ = tPrev_;
      t_ = e;
      tReplaced_ = true;
    } else {
      RemoveTerm(f_, s, uPrev_);
      u_ = e;
      uReplaced_ = true;
    }
  }

  /// t_ and u_ have the same cube: u_ is folded into t_, which keeps the cube in the tree.
  bool foldEqualPair() {
    if (!mergeOutputs(u_->output, *t_, f_.outputCount)) return false;
    if (TermTreeFind(tree_, u_->input) == u_) {
      unTermTreeAddTerm(tree_, u_);
      TermTreeAddTerm(tree_, t_);
    }
    RemoveTerm(f_, u_, uPrev_);
    u_ = nullptr;
    uReplaced_ = true;
    return true;
  }

  TBoolFnct& f_;
  TermTree& tree_;
  const int maxTerms_;
  TPfnct* t_ = nullptr;
  TPfnct* tPrev_ = nullptr;
  TPfnct* u_ = nullptr;
  TPfnct* uPrev_ = nullptr;
  bool tReplaced_ = false;
  bool uReplaced_ = false;
  const ProgressHooks& progress_;
  std::string kept_;            // the split term's output part, given to its pieces
  std::vector<int> positions_;  // free positions of the split term against P
};

}  // namespace

int FoldEqualCubes(TBoolFnct& f, TermTree& tree) {
  TPfnct* lastKept = nullptr;
  TPfnct* t = f.head.get();
  while (t) {
    TPfnct* e = TermTreeAddTerm(tree, t);
    if (!e) {
      lastKept = t;
      t = t->next.get();
      continue;
    }
    if (!mergeOutputs(t->output, *e, f.outputCount)) return 0;
    t = RemoveTerm(f, t, lastKept);
  }
  return 1;
}

int SplitTermPairs(TBoolFnct& f, TermTree& tree, int maxTerms, const ProgressHooks& progress) {
  return PairSplitter(f, tree, maxTerms, progress).run();
}

int splitTermLimit(const TBoolFnct& f) {
  return static_cast<int>(std::min<long long>(INT_MAX, std::max<long long>(kMaxSplitTerms, 2LL * f.termCount)));
}

int SplitIntersectingTerms(TBoolFnct& f) { return SplitIntersectingTerms(f, splitTermLimit(f)); }

int SplitIntersectingTerms(TBoolFnct& f, int maxTerms, const ProgressHooks& progress) {
  progress.begin("Splitting intersecting terms...", 0, 2);
  TermTree tree;
  TermTreeInit(tree, f);
  int result = FoldEqualCubes(f, tree);
  // A result sure to pass the limit is refused before the pair walk, which
  // would take the square of the terms it makes to get there.
  if (result == 1 && SplitSurelyExceeds(f, maxTerms)) result = kSplitTooLarge;
  if (result == 1) result = SplitTermPairs(f, tree, maxTerms, progress);
  TermTreeFree(tree);
  progress.end();
  return result;
}

}  // namespace vorn
