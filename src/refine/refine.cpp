// The refinement loop.
//
// A start is a cover expanded into primes and made irredundant, followed by
// passes of REDUCE, EXPAND and IRREDUNDANT while each brings the cost down by
// the run's criterion.  There are three starts: the source's own on-set terms
// with all their outputs (the search builds its terms output by output, and
// whole multi-output terms often give terms shared by more outputs), the
// search's cover, and the best cover joined by the run's implicant set, from
// which the selection is made again minterm by minterm.  With the source's
// terms comes one more choice: each of them expanded alone (lone_expand.h),
// offered to the selection together with the best cover, which finds the
// covers of more terms and fewer literals that EXPAND, steering every cube
// towards the others, passes by.  Every start ends, and the refinement too,
// by lowering the literals of the best cover (lower_literals.h) when it
// changed.  The cheapest cover
// seen is the result, so the cost never rises; every step keeps the cover a
// valid one.  Expansion, reduction and irredundancy look at the run's
// deadline as they go; a pass it cuts short is not judged, so the best cover
// seen before it stands.
//
// The passes cost far more than the first expansion of a start and mostly pay
// off in the start from the on-set terms.  So by default that start runs
// first with all its passes, and the other two pass only when their first
// expansion and selection come within a few percent of the best cover (on
// functions like cps the passes from the search's cover still find the
// cheapest one); a stalled pass ends the start, and the best cover gets one
// last try out of its local minimum (each term reduced on its own, then
// expanded, and the primes selected together with the cover) followed by
// passes while they gain: where the passes stall, that try still gains (on
// sampled functions 1-10% of the literals) for about the cost of two passes.
// Under a time limit the refinement has time of its own and is
// thorough: every start runs all its passes, and every stalled pass gets the
// last try.
// A caller may ask for one more start, from a cover built top-down cube by
// cube (top_down_cover.h): its primes are first offered to the selection with
// the best cover's terms, then passed on their own.
#include "refine/refine.h"

#include <algorithm>
#include <functional>
#include <string>

#include "model/cost.h"
#include "refine/lone_expand.h"
#include "refine/lower_literals.h"
#include "refine/refine_problem.h"
#include "refine/top_down_cover.h"
#include "unate/cofactor.h"

namespace vorn {

namespace {


long long costOf(TBoolFnct& f, int criterion) {
  computeStatistics(f);
  return criterionCost(f, criterion);
}

/// Appends the live terms of c to r; with `only` set, c has one output and every term feeds that output of r.
void appendInto(TBoolFnct& r, const Cover& c, char unconnected, int only = -1) {
  std::string out(static_cast<std::size_t>(r.outputCount), unconnected);
  for (int k = 0; k < c.size(); ++k) {
    const OutputSet& o = c.out[static_cast<std::size_t>(k)];
    if (!c.alive[static_cast<std::size_t>(k)] || !o.any()) continue;
    std::fill(out.begin(), out.end(), unconnected);
    if (only >= 0)
      out[static_cast<std::size_t>(only)] = '1';
    else
      o.forEach([&](int j) { out[static_cast<std::size_t>(j)] = '1'; });
    appendTerm(r, unpackCube(c.in.cube(k), c.in.inputs()), out, 0);
  }
}

/// The cover as a function derived from f.
FunctionPtr functionOf(TBoolFnct& f, const Cover& c, char unconnected) {
  FunctionPtr r = derive(f);
  r->type = kTypeFd;
  appendInto(*r, c, unconnected);
  return r;
}

/// The cost of a one-output cover as a function of its own.
long long singleCost(const Cover& c, int criterion) {
  FunctionPtr r = create(c.in.inputs(), 1, 0, 0);
  appendInto(*r, c, '0');
  return costOf(*r, criterion);
}

/// True when a term of c holds the packed cube with every one of the outputs.
bool heldBy(const Cover& c, const std::uint64_t* cube, const OutputSet& outputs) {
  for (int k = 0; k < c.size(); ++k)
    if (c.alive[static_cast<std::size_t>(k)] && outputs.subsetOf(c.out[static_cast<std::size_t>(k)]) &&
        cubeContains(c.in.cube(k), cube, c.in.words()))
      return true;
  return false;
}

/// The implicants as terms of the cover's outputs, each keeping only the outputs it may carry.  Those
/// a term of the cover already holds add nothing and are left out; of the others, the largest cubes
/// come first, at most a few times as many as the cover has terms, so that the selection stays small.
void addImplicants(const TBoolFnct& implicants, const RefineSource& source, const ImplicantTest& test, int only,
                   Cover& into) {
  Cover extra = CoverOf(implicants, source.inputs, source.outputs, only);
  const Cover held = into;
  std::vector<int> order, literals(static_cast<std::size_t>(extra.size()), 0);
  for (int k = 0; k < extra.size(); ++k) {
    OutputSet& o = extra.out[static_cast<std::size_t>(k)];
    if (heldBy(held, extra.in.cube(k), o)) continue;
    std::vector<int> js;
    o.forEach([&](int j) { js.push_back(j); });
    for (int j : js)
      if (!test.allowed(extra.in.cube(k), j)) o.reset(j);
    if (!o.any()) continue;
    order.push_back(k);
    literals[static_cast<std::size_t>(k)] = extra.literals(k);
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return literals[static_cast<std::size_t>(a)] < literals[static_cast<std::size_t>(b)]; });
  const std::size_t limit = 3 * static_cast<std::size_t>(held.size()) + 16;
  if (order.size() > limit) order.resize(limit);
  for (int k : order) into.add(extra.in.cube(k), extra.out[static_cast<std::size_t>(k)]);
}

/// \brief Of the live terms of `c` with the same cube the first stays, carrying the outputs of all;
/// then the terms a live term of `held` holds with all their outputs go.  Many terms expanded alone
/// grow into the same prime, and the selection that follows grows with the terms it is offered.
void mergeAlike(Cover& c, const Cover& held) {
  const std::size_t stride = c.in.stride();
  std::vector<int> order;
  for (int k = 0; k < c.size(); ++k)
    if (c.alive[static_cast<std::size_t>(k)]) order.push_back(k);
  auto less = [&](int a, int b) {
    return std::lexicographical_compare(c.in.cube(a), c.in.cube(a) + stride, c.in.cube(b), c.in.cube(b) + stride);
  };
  std::stable_sort(order.begin(), order.end(), less);
  for (std::size_t i = 1, first = 0; i < order.size(); ++i) {
    if (less(order[first], order[i])) {
      first = i;
      continue;
    }
    c.out[static_cast<std::size_t>(order[first])].unite(c.out[static_cast<std::size_t>(order[i])]);
    c.alive[static_cast<std::size_t>(order[i])] = 0;
  }
  for (int k : order)
    if (c.alive[static_cast<std::size_t>(k)] && heldBy(held, c.in.cube(k), c.out[static_cast<std::size_t>(k)]))
      c.alive[static_cast<std::size_t>(k)] = 0;
  c.compact();
}

/// \brief Puts the terms of `c` in an order drawn from `random` (Fisher-Yates); the steps sort them
/// by size with a stable sort, so this decides the order among terms of equal size.
void shuffle(Cover& c, Random& random) {
  for (int k = c.size() - 1; k > 0; --k) {
    const int d = random.randomBelow(k + 1);
    if (d == k) continue;
    std::swap_ranges(c.in.cube(k), c.in.cube(k) + c.in.stride(), c.in.cube(d));
    std::swap(c.out[static_cast<std::size_t>(k)], c.out[static_cast<std::size_t>(d)]);
    std::swap(c.alive[static_cast<std::size_t>(k)], c.alive[static_cast<std::size_t>(d)]);
  }
}

/// The most work (on-set terms times inputs times words of off-set terms) the lone primes may take:
/// on functions sampled on thousands of minterms over a hundred inputs and more they cost the most
/// and the top-down start already builds such cubes.
constexpr double kLoneWork = 1 << 22;

/// How close (percent) a start's first selection must come to the best cover for its passes to run.
constexpr long long kPassMargin = 5;

class Refiner {
 public:
  Refiner(const RefineSource& source, const ImplicantTest& test, const RefineParams& params, RefineStats& stats)
      : source_(source), test_(test), params_(params), stats_(stats) {
    irr_.weights.criterion = params.criterion;
    irr_.deadline = &params.deadline;
    expand_.deadline = &params.deadline;
    expand_.random = params.random;
    reduce_.deadline = &params.deadline;
  }

  bool timeLeft() const { return !params_.deadline.expired(); }
  /// \brief True while there is time and `bestCost` is above the goal.
  bool goOn(long long bestCost) const { return timeLeft() && !reached(bestCost); }
  bool reached(long long bestCost) const { return params_.goal >= 0 && bestCost <= params_.goal; }

  /// \brief With a random source, puts the terms in a drawn order.
  void mix(Cover& c) const {
    if (params_.random) shuffle(c, *params_.random);
  }

  void step() const {
    if (params_.onStep) params_.onStep();
  }

  const ImplicantTest& test() const { return test_; }

  /// One more try out of a local minimum: every term reduced on its own, the reduced cubes expanded
  /// towards each other, and the primes this gives selected together with the cover.  Replaces `c`
  /// when that is cheaper; returns the cost of `c`.
  long long lastGasp(Cover& c, const std::function<long long(const Cover&)>& cost) {
    const long long before = cost(c);
    Cover reduced = c;
    ReduceParams independent = reduce_;
    independent.independent = true;
    mix(reduced);
    Reduce(source_, reduced, independent, stats_.reduce);
    reduced.compact();
    Expand(source_, test_, reduced, expand_, stats_.expand);
    reduced.compact();
    Cover joined = c;
    for (int k = 0; k < reduced.size(); ++k) joined.add(reduced.in.cube(k), reduced.out[static_cast<std::size_t>(k)]);
    Irredundant(source_, joined, irr_, stats_.irredundant);
    joined.compact();
    if (!timeLeft()) return before;  // cut short: the cover stays as it was
    const long long after = cost(joined);
    if (after >= before) return before;
    c = std::move(joined);
    return after;
  }

  /// The source's on-set terms each expanded on its own (lone_expand.h), offered to the selection
  /// together with the terms of `best`; the selection replaces `best` when it is cheaper.
  void lonePrimes(Cover& best, long long& bestCost, const std::function<long long(const Cover&)>& cost) {
    const double work = static_cast<double>(source_.on.cubes.size()) * source_.inputs *
                        static_cast<double>((source_.off.cubes.size() + 63) / 64);
    if (work > kLoneWork) return;
    expand_.outputsFirst = false;
    Cover c;
    c.in = CubeList(source_.inputs);
    for (int t = 0; t < source_.on.cubes.size(); ++t) c.add(source_.on.cubes.cube(t), source_.on.outputs[static_cast<std::size_t>(t)]);
    ExpandEachAlone(source_, test_, c, expand_, stats_.expand);
    mergeAlike(c, best);
    for (int k = 0; k < best.size(); ++k)
      if (best.alive[static_cast<std::size_t>(k)]) c.add(best.in.cube(k), best.out[static_cast<std::size_t>(k)]);
    Irredundant(source_, c, irr_, stats_.irredundant);
    c.compact();
    step();
    if (!timeLeft()) return;  // cut short: not judged
    const long long now = cost(c);
    if (now >= bestCost) return;
    best = std::move(c);
    bestCost = now;
  }

  /// IRREDUNDANT on `c`, whose terms then go into the pool (when there is one): the end of every pass.
  void select(Cover& c) {
    Irredundant(source_, c, irr_, stats_.irredundant);
    c.compact();
    if (params_.pool) params_.pool->add(c);
    step();
  }

  /// Passes of REDUCE, EXPAND and IRREDUNDANT from `c`, which costs `now`, while they gain;
  /// `best` and `bestCost` hold the cheapest cover seen.  False when the deadline cut a pass short.
  bool passes(Cover& c, long long now, Cover& best, long long& bestCost,
              const std::function<long long(const Cover&)>& cost) {
    while (stats_.passes < params_.maxPasses && goOn(bestCost)) {
      ++stats_.passes;
      mix(c);
      Reduce(source_, c, reduce_, stats_.reduce);
      c.compact();
      Expand(source_, test_, c, expand_, stats_.expand);
      c.compact();
      select(c);
      if (!timeLeft()) return false;
      long long next = cost(c);
      if (next >= now && params_.thorough && timeLeft()) next = lastGasp(c, cost);
      if (next < bestCost) {
        best = c;
        bestCost = next;
      }
      if (next >= now) break;
      now = next;
    }
    return true;
  }

  /// Runs passes from `c` on; `best` and `bestCost` hold the cheapest cover seen.
  /// With `onGain` set, passes follow only when the first selection comes within kPassMargin
  /// percent of `bestCost`.
  void improve(Cover c, bool expandFirst, Cover& best, long long& bestCost,
               const std::function<long long(const Cover&)>& cost, bool onGain) {
    if (expandFirst) {
      mix(c);
      Expand(source_, test_, c, expand_, stats_.expand);
      c.compact();
    }
    select(c);
    // A pass the deadline cut short is not judged: the best cover stays.
    if (!timeLeft()) return;
    long long now = cost(c);
    if (now < bestCost) {
      best = c;
      bestCost = now;
    } else if (onGain && now * 100 > bestCost * (100 + kPassMargin)) {
      return;
    }
    if (passes(c, now, best, bestCost, cost)) lowerLiterals(best, bestCost, cost);
  }

  /// The quick schedule's last try out of the local minimum its starts ended in: lastGasp on the
  /// best cover, then passes while they gain.
  void leaveMinimum(Cover& best, long long& bestCost, const std::function<long long(const Cover&)>& cost) {
    if (!goOn(bestCost)) return;
    Cover c = best;
    const long long now = lastGasp(c, cost);
    if (now >= bestCost) return;
    best = c;
    bestCost = now;
    passes(c, now, best, bestCost, cost);
  }

  /// Lowers the literals of `best` (lower_literals.h) when it changed since the last time; keeps the
  /// result when it is cheaper.
  void lowerLiterals(Cover& best, long long& bestCost, const std::function<long long(const Cover&)>& cost) {
    if (bestCost == lowered_ || !goOn(bestCost)) return;
    Cover c = best;
    LowerLiterals(source_, test_, c, expand_, irr_, stats_.expand, stats_.irredundant);
    if (!timeLeft()) return;  // cut short: not judged
    const long long after = cost(c);
    if (after < bestCost) {
      best = std::move(c);
      bestCost = after;
    }
    lowered_ = bestCost;
  }

 private:
  const RefineSource& source_;
  const ImplicantTest& test_;
  const RefineParams& params_;
  RefineStats& stats_;
  IrredundantParams irr_;
  ReduceParams reduce_;
  long long lowered_ = -1;  ///< the cost of the best cover when its literals were last lowered

 public:
  ExpandParams expand_;  ///< how the passes expand; set per start
};

/// Refines one cover of `source`; true when `best` came out cheaper than `bestCost`, which it lowers.
bool refineCover(const TBoolFnct& f, const RefineSource& source, const TBoolFnct* implicants, int only,
                 const RefineParams& params, RefineStats& stats, Cover& best, long long& bestCost,
                 const std::function<long long(const Cover&)>& cost) {
  const long long start = bestCost;
  const std::unique_ptr<ImplicantTest> test = MakeImplicantTest(f, source, only);
  Refiner r(source, *test, params, stats);
  // Terms that take their outputs before dropping literals are shared by more outputs; terms that
  // take them after keep fewer literals.  Each start uses the way that suits it best.
  const bool thorough = params.thorough;
  auto fromSearch = [&](Cover c) {
    r.expand_.outputsFirst = true;
    r.improve(std::move(c), true, best, bestCost, cost, !thorough);
  };
  const Cover search = thorough ? Cover{} : best;
  if (thorough && r.goOn(bestCost)) fromSearch(best);
  if (params.fromSourceTerms && r.goOn(bestCost)) {
    r.expand_.outputsFirst = false;
    Cover own;
    own.in = CubeList(source.inputs);
    for (int t = 0; t < source.on.cubes.size(); ++t) own.add(source.on.cubes.cube(t), source.on.outputs[static_cast<std::size_t>(t)]);
    r.improve(std::move(own), true, best, bestCost, cost, false);
  }
  if (!thorough && r.goOn(bestCost)) fromSearch(search);
  if (params.fromSourceTerms && r.goOn(bestCost)) r.lonePrimes(best, bestCost, cost);
  Cover built;
  if (params.topDownBeam > 0 && r.goOn(bestCost) &&
      TopDownCover(source, params.topDownBeam, params.random, &params.deadline, built)) {
    if (params.pool) params.pool->add(built);
    stats.topDownCost = cost(built);
    r.expand_.outputsFirst = true;
    Cover joined = best;
    for (int k = 0; k < built.size(); ++k) joined.add(built.in.cube(k), built.out[static_cast<std::size_t>(k)]);
    r.improve(std::move(joined), false, best, bestCost, cost, false);
    if (r.goOn(bestCost)) r.improve(std::move(built), true, best, bestCost, cost, false);
  }
  if (implicants && r.goOn(bestCost)) {
    r.expand_.outputsFirst = true;
    Cover joined = best;
    addImplicants(*implicants, source, r.test(), only, joined);
    const long long before = bestCost;
    r.improve(std::move(joined), false, best, bestCost, cost, !thorough);
    if (bestCost < before) stats.fromImplicants = true;
  }
  if (!thorough) {
    r.expand_.outputsFirst = true;
    r.leaveMinimum(best, bestCost, cost);
  }
  r.lowerLiterals(best, bestCost, cost);
  return bestCost < start;
}

FunctionPtr refineMulti(TBoolFnct& f, TBoolFnct& cover, const TBoolFnct* implicants, const RefineParams& params,
                        RefineStats& stats) {
  const RefineSource source = MakeSource(f);
  Cover best = CoverOf(cover, source.inputs, source.outputs);
  long long bestCost = costOf(cover, params.criterion);
  stats.startCost = bestCost;
  auto cost = [&](const Cover& c) {
    FunctionPtr g = functionOf(f, c, params.unconnected);
    return costOf(*g, params.criterion);
  };
  if (!refineCover(f, source, implicants, -1, params, stats, best, bestCost, cost)) {
    stats.endCost = stats.startCost;
    return nullptr;
  }
  stats.endCost = bestCost;
  stats.improved = true;
  return functionOf(f, best, params.unconnected);
}

/// Output by output: each output's terms are refined as a one-output cover and kept when cheaper.
FunctionPtr refineSingle(TBoolFnct& f, TBoolFnct& cover, const TBoolFnct* implicants, const RefineParams& whole,
                         RefineStats& stats) {
  // One output's cost says nothing of the whole cover's: no goal here.
  RefineParams params = whole;
  params.goal = -1;
  stats.startCost = costOf(cover, params.criterion);
  FunctionPtr r = derive(f);
  r->type = kTypeFd;
  bool any = false;
  for (int j = 0; j < f.outputCount; ++j) {
    const RefineSource source = MakeSource(f, j);
    Cover best = CoverOf(cover, source.inputs, 1, j);
    long long bestCost = singleCost(best, params.criterion);
    auto cost = [&](const Cover& c) { return singleCost(c, params.criterion); };
    const bool started = !params.deadline.expired();
    if (started && refineCover(f, source, implicants, j, params, stats, best, bestCost, cost)) any = true;
    appendInto(*r, best, '0', j);
  }
  const long long end = costOf(*r, params.criterion);
  if (!any || end >= stats.startCost) {
    stats.endCost = stats.startCost;
    return nullptr;
  }
  stats.endCost = end;
  stats.improved = true;
  return r;
}

}  // namespace

FunctionPtr Refine(TBoolFnct& f, TBoolFnct& cover, const TBoolFnct* implicants, const RefineParams& params,
                   RefineStats& stats) {
  buildLists(f);
  return params.singleOutput ? refineSingle(f, cover, implicants, params, stats)
                             : refineMulti(f, cover, implicants, params, stats);
}

}  // namespace vorn
