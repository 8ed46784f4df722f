// Implicant expansion.  A pass walks the positions of a product copy
// cyclically and removes each literal whose removal leaves an implicant of
// the output; the order of the walk decides which literals survive, so the
// methods differ mainly in where passes start:
//
//   0  one pass from a random position;
//   1  one pass per call from the first untried literal after a random
//      position, spread over the iterations of the run by per-literal marks;
//   2  as 1, and the first partial expansion of the pass is stored back in the
//      pool as a new entry for later calls;
//   3  passes restarting after each pass's first removal, until a pass
//      removes nothing or its first removal wraps around;
//   4  as 3 with marks, expanding the partial expansions in the same call.
//
// Marks of a pool entry (its output text): '0' untried, '1' removal alone
// fails, '2' removal alone succeeds and a pass has already started with it.
//
// Every product cube is recorded in the run's implicant tree; a cube that was
// produced before in the run is dropped, which keeps repeats out of the
// costlier cover and dominance stages.
#include "cdsearch/implicant_expansion.h"

#include <string>

#include "model/term_removal.h"
#include "model/term_tree.h"
#include "unate/implicant_tester.h"

namespace vorn {

namespace {

constexpr char kUntried = '0';
constexpr char kFails = '1';
constexpr char kTaken = '2';

// What a method needs while it walks the pool for one output.
struct ImplicantExpander {
  ImplicantExpander(TBoolFnct& poolIn, int output, RunContext& run)
      : random(run.random),
        pool(poolIn),
        f(*poolIn.source),
        i(output),
        n(f.inputCount),
        r(derive(f)),
        tester(f, output),
        tree(run.state ? &run.state->implicantTree : nullptr) {}

  // Appends a copy of the entry's cube to R; remembers its predecessor.
  TPfnct* product(const TPfnct& e) {
    productBefore = r->tail;
    TPfnct* c = appendTerm(*r, e.input, std::string(f.outputCount, '0'), e.freeCount);
    c->keep = 1;
    c->outputIndex = i;
    return c;
  }

  // Keeps the last product unless its cube was produced before in this run.
  void record(TPfnct* c) {
    if (tree && TermTreeInsert(*tree, c->input) == 1) RemoveTerm(*r, c, productBefore);
  }
  void drop(TPfnct* c) { RemoveTerm(*r, c, productBefore); }

  // An entry without literals (the universal cube: the output has no
  // off-set) cannot lose anything, and a method that looks only for literals
  // would never pass it on, leaving its on-set uncovered: it becomes a
  // product as it is and leaves the pool.
  bool passedOnWhole(const TPfnct& e) {
    if (e.input.countLiterals() != 0) return false;
    record(product(e));
    return true;
  }

  // One pass over c from position a up to (not including) b, all n positions
  // when b == a; onTry(j, kept) runs after each tried literal.  Returns the
  // position of the first kept removal, or -1.
  template <typename OnTry>
  int pass(TPfnct& c, int a, int b, OnTry&& onTry) {
    if (n <= 0) return -1;
    int first = -1;
    int j = a;
    do {
      const char literal = c.input.get(j);
      if (literal == '0' || literal == '1') {
        c.input.set(j, '-');
        const bool kept = tester.test(c.input);
        if (kept) {
          ++c.freeCount;
          if (first < 0) first = j;
        } else {
          c.input.set(j, literal);
        }
        onTry(j, kept);
      }
      j = j + 1 == n ? 0 : j + 1;
    } while (j != b);
    return first;
  }

  int drawStart() {
    const int d = random.nextRandom();
    return n > 0 ? d % n : 0;
  }

  // First position from a, cyclically, with a literal and an untried mark.
  int firstUntried(const TPfnct& e, int a) const {
    for (int k = 0; k < n; ++k) {
      const int p = (a + k) % n;
      if (e.output[p] == kUntried && e.input.isLiteral(p)) return p;
    }
    return -1;
  }

  // First position in [start, n) with a literal (and an untried mark if asked).
  int firstLiteralFrom(const TPfnct& e, int start, bool untriedOnly) const {
    for (int p = start; p < n; ++p)
      if (e.input.isLiteral(p) && (!untriedOnly || e.output[p] == kUntried)) return p;
    return -1;
  }

  Random& random;
  TBoolFnct& pool;
  TBoolFnct& f;
  const int i;
  const int n;
  FunctionPtr r;
  ImplicantTester tester;
  TermTree* tree;
  TPfnct* productBefore = nullptr;
};

// Mark writing of methods 2 and 4: failures before the first kept removal
// are marked in the entry, the first kept removal makes a child entry holding
// the partial expansion, and the marks up to the next kept removal go to the
// child.
struct ChildMarks {
  int state = 0;  // 0 before the first kept removal, 1 marking the child, 2 done
  TPfnct* child = nullptr;
  bool laterKept = false;

  template <typename MakeChild>
  void onTry(TPfnct& e, int j, bool kept, MakeChild&& makeChild) {
    if (state == 0) {
      if (!kept) {
        e.output[j] = kFails;
        return;
      }
      e.output[j] = kTaken;
      child = makeChild();
      state = 1;
    } else if (state == 1) {
      if (!kept) {
        child->output[j] = kFails;
        return;
      }
      child->output[j] = kTaken;
      laterKept = true;
      state = 2;
    } else if (kept) {
      laterKept = true;
    }
  }
};

// The frame every method shares: walks the pool, hands the entries of the
// output to `process` (which answers whether the entry leaves the pool) and
// reports progress after every visited entry.
template <typename Process>
FunctionPtr walkPool(TBoolFnct& pool, int output, RunContext& run, const char* message, bool counted,
                     Process&& process) {
  if (!pool.source) return nullptr;
  run.progress.begin(message, counted ? pool.termCount : 0, 1);
  ImplicantExpander x(pool, output, run);
  TPfnct* prev = nullptr;
  TPfnct* e = pool.head.get();
  int counter = 0;
  bool stopped = false;
  while (e) {
    if (e->outputIndex == output && static_cast<int>(e->output.size()) >= x.n && process(x, *e, prev)) {
      e = RemoveTerm(pool, e, prev);
    } else {
      prev = e;
      e = e->next.get();
    }
    if (run.progress.step(counted ? counter++ : 0, 0) == 2) {
      stopped = true;
      break;
    }
  }
  run.progress.end();
  if (stopped) return nullptr;
  return std::move(x.r);
}

}  // namespace

FunctionPtr IeSequentialSearch(TBoolFnct& pool, int output, RunContext& run) {
  return walkPool(pool, output, run, "IE - Sequential search", true, [](ImplicantExpander& x, TPfnct& e, TPfnct*&) {
    const int a = x.drawStart();
    TPfnct* c = x.product(e);
    x.pass(*c, a, a, [](int, bool) {});
    x.record(c);
    return true;
  });
}

FunctionPtr IeDistributedMultiple(TBoolFnct& pool, int output, RunContext& run) {
  return walkPool(pool, output, run, "IE - Distributed Multiple Sequential Search", true,
                  [](ImplicantExpander& x, TPfnct& e, TPfnct*&) {
                    const int a = x.drawStart();
                    if (x.passedOnWhole(e)) return true;
                    const int p = x.firstUntried(e, a);
                    if (p < 0) return true;  // every literal tried: the entry is spent
                    TPfnct* c = x.product(e);
                    bool marking = true;
                    x.pass(*c, p, a, [&](int j, bool kept) {
                      if (!marking) return;
                      e.output[j] = kept ? kTaken : kFails;
                      if (kept) marking = false;
                    });
                    x.record(c);
                    return false;
                  });
}

FunctionPtr IeDistributedExhaustive(TBoolFnct& pool, int output, RunContext& run) {
  return walkPool(pool, output, run, "IE - Distributed Exhaustive Implicant Expansion", true,
                  [](ImplicantExpander& x, TPfnct& e, TPfnct*& prev) {
                    const int a = x.drawStart();
                    if (x.passedOnWhole(e)) return true;
                    const int p = x.firstUntried(e, a);
                    if (p < 0) return true;
                    TPfnct* c = x.product(e);
                    ChildMarks marks;
                    x.pass(*c, p, p, [&](int j, bool kept) {
                      marks.onTry(e, j, kept, [&] {
                        // at the front of the pool: taken up by later calls, not by this walk
                        TPfnct* child = prependTerm(x.pool, c->input, e.output, c->freeCount);
                        child->outputIndex = x.i;
                        if (!prev) prev = child;
                        return child;
                      });
                    });
                    x.record(c);
                    return false;
                  });
}

FunctionPtr IeMultipleSequential(TBoolFnct& pool, int output, RunContext& run) {
  return walkPool(pool, output, run, "IE - Multiple Sequential Search", true, [](ImplicantExpander& x, TPfnct& e, TPfnct*&) {
    if (x.passedOnWhole(e)) return true;
    bool removedBefore = false;
    int start = 0;
    for (;;) {
      const int j = x.firstLiteralFrom(e, start, false);
      if (j < 0) break;
      TPfnct* c = x.product(e);
      const int first = x.pass(*c, j, start, [](int, bool) {});
      const bool removed = first >= 0;
      if (!removed && removedBefore)
        x.drop(c);  // the entry's own cube again, already inside an earlier product
      else
        x.record(c);
      removedBefore = removedBefore || removed;
      if (first < start) break;  // nothing removed, or the first removal wrapped around
      start = first + 1;
    }
    return true;
  });
}

FunctionPtr IeExhaustive(TBoolFnct& pool, int output, RunContext& run) {
  return walkPool(pool, output, run, "IE - Exhaustive Expansion", false, [](ImplicantExpander& x, TPfnct& e, TPfnct*&) {
    if (x.passedOnWhole(e)) return true;
    int start = 0;
    for (;;) {
      const int j = x.firstLiteralFrom(e, start, true);
      if (j < 0) break;
      TPfnct* c = x.product(e);
      ChildMarks marks;
      TPfnct* childBefore = nullptr;
      const int first = x.pass(*c, j, start, [&](int p, bool kept) {
        marks.onTry(e, p, kept, [&] {
          // at the end of the pool: this walk reaches it and expands it further
          childBefore = x.pool.tail;
          TPfnct* child = appendTerm(x.pool, c->input, e.output, c->freeCount);
          child->outputIndex = x.i;
          return child;
        });
      });
      // a child no later removal grew from is just this product again
      if (marks.child && !marks.laterKept) RemoveTerm(x.pool, marks.child, childBefore);
      x.record(c);
      if (first < start) break;
      start = first + 1;
    }
    return true;
  });
}

FunctionPtr ExpandImplicants(TBoolFnct& pool, int output, RunContext& run) {
  switch (run.settings.ieMethod) {
    case 0:
      return IeSequentialSearch(pool, output, run);
    case 1:
      return IeDistributedMultiple(pool, output, run);
    case 2:
      return IeDistributedExhaustive(pool, output, run);
    case 3:
      return IeMultipleSequential(pool, output, run);
    case 4:
      return IeExhaustive(pool, output, run);
    default:
      return nullptr;  // the Minimize action rejects other methods before a run starts
  }
}

void SetOutputParts(TBoolFnct& products) {
  if (!products.source) return;
  for (TPfnct* t = products.head.get(); t; t = t->next.get()) ImplicantOutputs(*products.source, t->input, t->output);
}

}  // namespace vorn
