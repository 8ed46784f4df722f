#include "driver/minimize.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <limits>
#include <optional>

#include "cdsearch/cd_step.h"
#include "cover/cover_selection.h"
#include "cover/coverage_completion.h"
#include "cover/equal_cubes.h"
#include "driver/exact_run.h"
#include "driver/exact_step.h"
#include "driver/top_down_beam.h"
#include "exact/lagrangian_bound.h"
#include "exact/unate_covering.h"
#include "fcmin/fc_min.h"
#include "model/cost.h"
#include "model/deadline.h"
#include "model/run_context.h"
#include "model/run_state.h"
#include "refine/cover_search.h"
#include "refine/enumerated_primes.h"
#include "refine/priced_primes.h"
#include "refine/prime_pool.h"
#include "refine/refine.h"
#include "refine/refine_problem.h"
#include "refine/seeded_primes.h"

namespace vorn {

namespace {

using Clock = std::chrono::steady_clock;

/// Builds the cover of the accumulated set as the settings ask, with its figures and cost; none when the
/// covering problem fails.
FunctionPtr makeCover(TBoolFnct& f, TBoolFnct& implicants, RunContext& ctx) {
  const Settings& s = ctx.settings;
  // A step cut short by the deadline may have left on-set terms uncovered.
  if (ctx.deadline.expired()) CompleteCoverage(implicants, ctx);
  FunctionPtr cover = s.singleOutput ? CoverSingleOutput(implicants, ctx) : CoverMultiOutput(implicants, ctx);
  if (!cover) return nullptr;
  if (s.noOutputSparsing == 0 && f.outputCount > 1 && s.singleOutput == 0 && !SparseOutputMatrix(*cover, ctx))
    return nullptr;
  if (s.singleOutput == 0) MergeEqualCubes(*cover);
  computeStatistics(*cover);
  computeCost(*cover, s.criterion);
  return cover;
}

void beginProgress(const RunContext& ctx) {
  const Settings& s = ctx.settings;
  if (s.stopOnTime && !s.stopOnIterations)
    ctx.progress.begin("Minimizing using VORN...", static_cast<int>(s.timeLimit), 1);
  else if (s.stopOnIterations && !s.stopOnTime)
    ctx.progress.begin("Minimizing...", s.iterationLimit, 1);
  else
    ctx.progress.begin("Minimizing...", 0, 1);
}

/// A run stopped by quality alone also ends after this many iterations in a row
/// without a cheaper cover (and at least as many as it took to reach its best),
/// so that a limit it cannot reach does not keep it going forever.
constexpr int kStallIterations = 1000;

/// A search whose covers cost more than twice the best one is far from giving a better one: the
/// refinements from drawn starts may then take this many times the search's time (else as much).
constexpr double kFarShare = 3;

/// Under a time limit, on one-output functions whose on-set terms are minterms, the iterations are
/// followed by pool steps (BestCover::poolStep): the implicants the pool keeps at most, the seconds a
/// step may spend growing primes and searching a cover, the largest drawn share by which a grown
/// prime's gains are lowered, and the most iterations between two steps.
constexpr int kPoolCapacity = 50000;
constexpr double kPoolSeconds = 0.3, kSeedSeconds = 0.15, kSeedSlack = 0.3;
constexpr int kMostPoolGap = 16;
/// Before its covering search a pool step prices the on-set minterms by the relaxation of its
/// covering problem and grows primes worth more than their cost (priced_primes.h; on functions of
/// few inputs the best such prime around each minterm, enumerated_primes.h), once the steps
/// pay (from the first step where enumerated_primes.h applies) or the step before proved the pool
/// holds no cheaper cover: at most this many rounds, each
/// taking at most kPriceSeconds.  Where the search finds no cheaper cover, the local search
/// (cover_search.h) walks for kWalkSeconds: a walk makes most of its gains in the first few
/// hundred thousand moves, and shorter walks leave time for more steps, each on a grown pool
/// (over three seeds s_maj21, s_mult16 and s_thresh40 came out 0.3% cheaper than with 0.5 s,
/// and 0.4% than with 0.12 s).
constexpr int kPriceRounds = 3;
constexpr double kPriceSeconds = 0.1;
constexpr double kWalkSeconds = 0.25;
/// The slices of a pool step other than its walk.
constexpr double kStepSlices = kSeedSeconds + kPoolSeconds + kPriceRounds * kPriceSeconds;
/// A step's walk is short and starts from the best cover with fresh weights anyway: within it the
/// weights keep what it learnt, without restarts (a restart after 3,000 moves without a cheaper
/// cover left s_mult16 1-2% costlier; after 100,000, a third of a walk, 0.5% costlier over the
/// sampled functions).
constexpr long long kWalkRestart = 0;
/// The pool steps take at most kPoolShare of the time since the first refinement, and
/// kPaidPoolShare while they lower the best cover's cost per second at least as fast as the
/// refinements from drawn starts: where the pool pays little its steps (with their pricing and
/// walks) would only take time from the refinements that do pay.  Where they pay, a step's walk and
/// the refinement of its cover leave one local minimum for another more often than a drawn start.
constexpr double kPoolShare = 0.2, kPaidPoolShare = 0.6;
/// A pool step begins only while this many times its slices are left before the limit.
constexpr double kPoolFit = 1.5;
/// Walks gain with the moves they make and the primes the pool holds, and the pool is largest at
/// the end: once at most kLastShare of the limit is left, one last pool step walks for kLastWalk of
/// what is left (less its other slices), whatever the turns and shares; the rest is for the
/// refinement of its cover.  Over three seeds s_maj21, s_mult16 and s_thresh40 came out 0.5%
/// cheaper than without it with a share of 0.25 or 0.4, 0.1% with 0.15.
constexpr double kLastShare = 0.3, kLastWalk = 0.8;

bool hasOnSet(const TBoolFnct& f) {
  for (int n : f.onCounts)
    if (n > 0) return true;
  return false;
}

bool stalled(const Settings& s, int iterationCount, int lastBetter) {
  const bool onlyQuality = s.stopOnQuality && !s.stopOnTime && !s.stopOnIterations && !s.stopOnInterval;
  return onlyQuality && iterationCount - lastBetter >= std::max(kStallIterations, lastBetter);
}

/// The stopping tests in their fixed order; true while the run goes on.
bool goOn(const Settings& s, const RunFigures& fig, int lastImprovement, int improvementGap, const TBoolFnct* best,
          int lastBetter) {
  const int iterationCount = fig.iterations;
  bool on = !stalled(s, iterationCount, lastBetter);
  if (on && s.stopOnTime) on = fig.elapsedSeconds <= s.timeLimit;
  if (on && s.stopOnIterations) on = iterationCount < s.iterationLimit;
  // Before any cover exists there is no cost to judge: go on.
  if (on && s.stopOnQuality && best) on = s.qualityLimit < best->cost;
  if (on && s.stopOnInterval)
    on = static_cast<long long>(iterationCount) <
         static_cast<long long>(lastImprovement) + static_cast<long long>(s.intervalFactor) * improvementGap;
  return on;
}

/// The best cover of a run and the course it took.  With -refine it also holds the refinement's
/// schedule, which makes the run an anytime one: the first cover is refined as soon as it exists,
/// with the quick schedule (a run of one iteration gets just that); after it, whenever the search
/// finds a cover cheaper than its own earlier ones, the best cover is refined again, joined with
/// the implicant set, which has grown since.  Under a time limit the refinements after the first
/// are thorough, and the first is followed at once by a thorough one of its result.  Every
/// refinement starts from the best cover seen and only a cheaper cover replaces it, so more time
/// or more iterations never give a costlier result; the work an iteration does never depends on
/// the limit, so a longer run repeats a shorter one before it goes on.  A run under a time limit
/// also refines while the search finds nothing cheaper: after an iteration, when the refinements
/// since the first have taken less time than the search since then, the best cover is refined
/// again from a start drawn from the run's generator (the order of its terms), joined with the
/// implicant set, every other time from the source's own terms too, and, where the on-set terms
/// are minterms, from a cover built top-down whose search keeps twice as many partial cubes as the
/// time before.  A search that stalls thus leaves its time to refinements that look elsewhere.  A
/// search whose covers cost more than twice the best one is far from giving a better one even when
/// it finds a cover cheaper than its own: then the refinements from drawn starts follow every
/// iteration, as many as fit into three times the search's time.
/// On one-output functions whose on-set terms are minterms (sampled functions), the terms of every
/// cover the refinements pass through go into a pool of implicants, and after an iteration a pool
/// step grows more primes around on-set minterms and searches the pool for a cover cheaper than the
/// best by the criterion: the local minima of the starts hold good terms the best cover lacks.
/// Once the steps pay, a step prices the on-set minterms by the relaxation of the pool's covering
/// problem before its search and adds the primes worth more than their cost (column generation),
/// and so does a step after one that proved the pool holds no cover cheaper than the best; where
/// the tree search finds no cheaper cover and cannot prove there is none, a local search walks from
/// the best one.  A step that finds none waits twice as many iterations for the next (up to
/// kMostPoolGap): the pool grows meanwhile with the refinements' covers.  All pool steps together take at most
/// kPoolShare of the time since the first refinement (kPaidPoolShare before the first and while
/// they pay); their time counts neither as search nor as refinement.
/// On other functions, a timed run gives one slice of its limit, right after the first refinement,
/// to the exact minimization seeded with the best cover (exact_step.h); when that proves the best
/// cover minimal, no later step can gain and the run ends.
class BestCover {
 public:
  BestCover(TBoolFnct& f, const Settings& s, const Deadline& deadline, RunContext& ctx, RunFigures& fig,
            Clock::time_point start)
      : f_(f), s_(s), deadline_(deadline), ctx_(ctx), fig_(fig), start_(start) {}

  const FunctionPtr& best() const { return best_; }
  /// \brief True when no cover can be cheaper than the best one: the run may end.
  bool proven() const { return proven_; }
  FunctionPtr take() { return std::move(best_); }

  /// \brief Takes a cover of the search, and with -refine refines when it is the search's cheapest so
  /// far; true when the best cover changed.
  bool fromSearch(FunctionPtr cover, const TBoolFnct* implicants) {
    const bool searchGain = cover->cost < searchCost_;
    searchCost_ = std::min<long long>(searchCost_, cover->cost);
    const std::size_t before = fig_.improvements.size();
    consider(std::move(cover), false);
    if (s_.refine && searchGain) refine(implicants);
    return fig_.improvements.size() > before;
  }

  /// \brief Under a time limit, after an iteration whose cover brought no refinement: refines the
  /// best cover from a drawn start while the refinements since the first lag behind the search.
  /// While the search is far from the best cover, also after an iteration whose cover was refined,
  /// and as many times as the lag allows.
  void idle(const TBoolFnct* implicants) {
    if (!s_.refine || !s_.stopOnTime || !refined_ || !best_ || reached()) return;
    const bool refinedNow = refinedNow_;
    refinedNow_ = false;
    poolTurn(implicants);
    const bool far = searchCost_ > 2 * best_->cost;
    if (refinedNow && !far) return;  // the iteration's own cover was refined
    do {
      if (deadline_.expired() || reached()) break;
      const double now = std::chrono::duration<double>(Clock::now() - start_).count();
      const double searching = now - firstRefineEnd_ - refineSeconds_ - exactSeconds_ - poolSeconds_ - lastStepSeconds_;
      if (refineSeconds_ > (far ? kFarShare : 1) * searching) break;
      ++idleRounds_;
      ctx_.progress.begin("Refining", 0, 2);
      const Clock::time_point began = Clock::now();
      const int beam = beam_.next();
      const long long drawnFrom = best_->cost;
      long long built = -1;
      refineOnce(implicants, true, idleRounds_ % 2 == 0, &ctx_.random, beam, nullptr, &built);
      beam_.after(beam, built, drawnFrom, pool_ != nullptr);
      drawnGain_ += drawnFrom - best_->cost;
      drawnSeconds_ += std::chrono::duration<double>(Clock::now() - began).count();
      noteRefinement(began);
      ctx_.progress.end();
    } while (far);
    refinedNow_ = false;
  }

 private:
  /// \brief A pool step, when its turn has come and the pool steps so far are within their share of
  /// the time since the first refinement.  The turns come after every iteration, whether its cover
  /// was refined or not: on functions whose search keeps finding cheaper covers of its own (each
  /// refined), the drawn starts hardly ever get a round, and the pool would wait with them.
  void poolTurn(const TBoolFnct* implicants) {
    if (lastPoolTurn(implicants)) return;
    if (!pool_ || ++poolTurns_ < nextPoolTurn_ || reached() || !poolFits() ||
        poolSeconds_ > poolShare() * (seconds() - firstRefineEnd_))
      return;
    ctx_.progress.begin("Refining", 0, 2);
    const double began = seconds();
    const long long from = best_->cost;
    const bool better = poolStep(implicants);
    poolSeconds_ += seconds() - began;
    poolGain_ += from - best_->cost;
    // A pool step that gives nothing cheaper waits twice as many turns as before for the next.
    poolGap_ = better ? 1 : std::min(2 * poolGap_, kMostPoolGap);
    nextPoolTurn_ = poolTurns_ + poolGap_;
    ctx_.progress.end();
  }

  /// \brief The last pool step of a timed run, once at most kLastShare of the limit is left: its walk
  /// takes kLastWalk of what is left, less the step's other slices.  True when it ran.
  bool lastPoolTurn(const TBoolFnct* implicants) {
    if (!pool_ || lastStepTaken_ || reached() || !deadline_.at) return false;
    const double left = std::chrono::duration<double>(*deadline_.at - Clock::now()).count();
    if (left > kLastShare * s_.timeLimit) return false;
    lastStepTaken_ = true;
    const double walk = kLastWalk * left - kStepSlices;
    if (walk <= kWalkSeconds) return false;
    ctx_.progress.begin("Refining", 0, 2);
    const double began = seconds();
    poolStep(implicants, walk);
    lastStepSeconds_ = seconds() - began;
    ctx_.progress.end();
    return true;
  }

  /// \brief True when a run stopped by quality has a cover at or below its limit: no refinement
  /// is worth waiting for then.
  bool reached() const { return proven_ || (s_.stopOnQuality && best_ && best_->cost <= s_.qualityLimit); }

  /// \brief True when a whole pool step fits before the deadline: the covering search does not look
  /// at the clock while it cuts its problem down, so one begun late could end past the limit.
  bool poolFits() const {
    return !deadline_.expired() && (!deadline_.at || Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                                   std::chrono::duration<double>(kPoolFit * (kStepSlices + kWalkSeconds))) <
                                                         *deadline_.at);
  }

  /// \brief True when the pool steps so far have lowered the best cover's cost per second at least as
  /// fast as the refinements from drawn starts (false before the first step).
  bool poolPays() const {
    return poolGain_ > 0 && static_cast<double>(poolGain_) * drawnSeconds_ >=
                                static_cast<double>(drawnGain_) * poolSeconds_;
  }

  /// \brief The share of the time since the first refinement the pool steps may take: the larger
  /// one before the first step and while the steps pay.
  double poolShare() const { return poolSeconds_ <= 0 || poolPays() ? kPaidPoolShare : kPoolShare; }

  /// \brief Seconds since the start of the run.
  double seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

  /// \brief Books the time of a refinement that began at `began` and has just ended.
  void noteRefinement(Clock::time_point began) {
    refinedNow_ = true;
    const Clock::time_point end = Clock::now();
    const double seconds = std::chrono::duration<double>(end - began).count();
    if (firstRefineEnd_ < 0)
      firstRefineEnd_ = std::chrono::duration<double>(end - start_).count();
    else
      refineSeconds_ += seconds;
  }

  /// \brief Keeps the cover when it is the first or cheaper than the best; records it in the figures.
  bool consider(FunctionPtr cover, bool refined) {
    if (best_ && cover->cost >= best_->cost) return false;
    best_ = std::move(cover);
    if (ctx_.bestCover) ctx_.bestCover(*best_);
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    fig_.improvements.push_back({fig_.iterations, seconds, best_->cost, refined});
    return true;
  }

  /// \brief One refinement of the best cover (or of `start` when given); true when it gave a cheaper one.
  /// The cost of the cover its top-down start built goes into `topDownCost` when given.
  bool refineOnce(const TBoolFnct* implicants, bool thorough, bool fromSourceTerms, Random* random = nullptr,
                  int topDownBeam = 0, TBoolFnct* start = nullptr, long long* topDownCost = nullptr) {
    RefineParams p;
    p.pool = pool_.get();
    p.criterion = s_.criterion;
    p.singleOutput = s_.singleOutput == 1;
    p.deadline = deadline_;
    p.thorough = thorough;
    // A run stopped by quality stops as soon as a cover within its limit exists, so a refinement
    // that reaches the limit ends there too.
    if (s_.stopOnQuality && toGoal_) p.goal = s_.qualityLimit;
    p.fromSourceTerms = fromSourceTerms;
    p.random = random;
    p.topDownBeam = topDownBeam;
    p.onStep = [this] { ctx_.progress.step(0, 2); };
    p.unconnected = s_.substituteOutputDc == 1 || f_.outputCount == 1 ? '0' : '~';
    RefineStats stats;
    FunctionPtr better = Refine(f_, start ? *start : *best_, implicants, p, stats);
    if (topDownCost) *topDownCost = stats.topDownCost;
    if (!better) return false;
    computeStatistics(*better);
    computeCost(*better, s_.criterion);
    return consider(std::move(better), true);
  }

  /// \brief The run's deadline, brought forward to `seconds` from now.
  Deadline slice(double seconds) const {
    return deadline_.until(Deadline::after(Clock::now(), seconds));
  }

  /// \brief A pool step: the best cover's terms and primes grown around on-set minterms join the pool,
  /// a short covering search (its walk `walkSeconds` long) looks for a cover of the pool cheaper than
  /// the best (by literals plus terms), and that cover and its refinement are kept when cheaper than
  /// the best.  True when the best cover changed.
  bool poolStep(const TBoolFnct* implicants, double walkSeconds = kWalkSeconds) {
    const RefineSource& source = *poolSource_;
    const Cover held = CoverOf(*best_, source.inputs, 1);
    pool_->add(held);
    Cover seeded;
    seeded.in = CubeList(source.inputs);
    // The first growth takes the best literal every time; later ones draw.
    SeededPrimes(source, &ctx_.random, poolSteps_++ == 0 ? 0.0 : kSeedSlack, slice(kSeedSeconds), seeded);
    pool_->add(seeded);
    PrimePool::Problem pp;
    if (!pool_->problem(source, pp)) return false;
    long long upper = 0;
    for (int k = 0; k < held.size(); ++k) upper += pool_->rowCost(held.literals(k));
    // Pricing starts its relaxation from nothing at the first step and costs more than the rest of a
    // step: it runs only once the pool steps have paid, or where nothing else can gain.  Where the
    // best prime around a minterm is found outright (enumerated_primes.h), its rounds pay from the
    // first step on (s_adder24, s_maj21 and s_mult16 0.3-0.5% cheaper over four seeds).
    if (poolPays() || poolSettled_ || EnumeratedPrimesApply(source)) priceRounds(source, upper, pp);
    // The problem moves to the solver and back: the walk below reads it again.
    CoveringProblem cp;
    cp.cost = std::move(pp.cost);
    cp.columns = std::move(pp.columns);
    CoveringParams params;
    params.deadline = slice(kPoolSeconds);
    params.upperBound = upper;
    const CoveringResult r = SolveCovering(cp, params);
    pp.cost = std::move(cp.cost);
    pp.columns = std::move(cp.columns);
    // Where the tree search finds nothing in its time, a local search walks from the best cover.
    std::vector<int> walked;
    // A problem the tree search settled holds no cheaper cover for the walk to find; only new
    // primes can lower its optimum, so the next step prices minterms whether the steps pay or not.
    poolSettled_ = r.proven && !r.improved;
    if (!r.improved && !r.proven && !deadline_.expired()) {
      const std::vector<int> from = pool_->rowsOf(pp, held);
      CoverSearchParams sp;
      sp.deadline = slice(walkSeconds);
      sp.restart = kWalkRestart;
      CoverSearchStats ss;
      const long long found = SearchCover(pp, from, ctx_.random, sp, walked, ss);
      if (found < 0 || found >= upper) walked.clear();
    }
    // The walk's cover stands for the search's, and the pool steps go on.
    if (!walked.empty()) return !deadline_.expired() && fromPool(implicants, pool_->coverOf(pp, walked));
    if (!r.improved || deadline_.expired()) return false;
    return fromPool(implicants, pool_->coverOf(pp, r.rows));
  }

  /// \brief Keeps the cover `c` of the pool, or its refinement, when cheaper than the best; true when
  /// the best cover changed.
  bool fromPool(const TBoolFnct* implicants, const Cover& c) {
    FunctionPtr start = derive(f_);
    start->type = kTypeFd;
    for (int k = 0; k < c.size(); ++k) appendTerm(*start, unpackCube(c.in.cube(k), c.in.inputs()), "1", 0);
    computeStatistics(*start);
    computeCost(*start, s_.criterion);
    if (refineOnce(implicants, true, false, &ctx_.random, 0, start.get())) return true;
    return consider(std::move(start), true);
  }

  /// \brief The pool's covering problem as the Lagrangian relaxation reads it.
  static LagrangianProblem relaxationOf(const PrimePool::Problem& pp) {
    LagrangianProblem lp;
    lp.columns = static_cast<int>(pp.columns.size());
    lp.cost = pp.cost;
    lp.cells.resize(pp.cost.size());
    for (std::size_t c = 0; c < pp.columns.size(); ++c)
      for (int r : pp.columns[c]) lp.cells[static_cast<std::size_t>(r)].push_back(static_cast<int>(c));
    return lp;
  }

  /// \brief Column generation before a pool step's covering search: the multipliers of the relaxation
  /// of `pp` (whose known cover costs `upper`) price the on-set minterms, the primes worth more than
  /// their cost join the pool, and `pp` is made again; until a round adds nothing.
  void priceRounds(const RefineSource& source, long long upper, PrimePool::Problem& pp) {
    for (int round = 0; round < kPriceRounds && !deadline_.expired(); ++round) {
      const LagrangianProblem lp = relaxationOf(pp);
      LagrangianParams lparams;
      lparams.upperBound = upper;
      lparams.deadline = slice(kPriceSeconds);
      lparams.start = prices_;
      const LagrangianResult l = LagrangianBound(lp, lparams);
      prices_ = l.multipliers;
      Cover priced;
      priced.in = CubeList(source.inputs);
      PricedPrimesParams q;
      q.criterion = s_.criterion;
      q.deadline = slice(kPriceSeconds);
      PricedPrimesStats stats;
      // Where the inputs are few, the best prime around each dear minterm is found outright.
      if (EnumeratedPrimesApply(source))
        EnumeratedPrimes(source, prices_, &ctx_.random, q, priced, stats);
      else
        PricedPrimes(source, prices_, &ctx_.random, q, priced, stats);
      const int before = pool_->size();
      pool_->add(priced);
      if (pool_->size() == before || !pool_->problem(source, pp)) break;
    }
  }

  /// \brief Starts the pool for a timed run of a one-output function whose on-set terms are minterms.
  void openPool() {
    if (!s_.stopOnTime || f_.outputCount != 1) return;
    poolSource_ = MakeSource(f_);
    if (PrimePool::applies(*poolSource_))
      pool_ = std::make_unique<PrimePool>(f_.inputCount, kPoolCapacity, s_.criterion);
    else
      poolSource_.reset();
  }

  void refine(const TBoolFnct* implicants) {
    if (deadline_.expired()) return;
    if (!refined_) openPool();
    ctx_.progress.begin("Refining", 0, 2);
    const Clock::time_point began = Clock::now();
    const bool timed = s_.stopOnTime != 0;
    if (refined_) {
      refineOnce(implicants, timed, false);
    } else {
      refined_ = true;
      // A first cover already within the limit still gets the refinement -Si1 -refine gives it.
      toGoal_ = !reached();
      const bool gained = refineOnce(implicants, false, true);
      toGoal_ = true;
      if (gained && timed && !reached()) refineOnce(implicants, true, false);
    }
    noteRefinement(began);
    if (timed && !pool_ && !reached()) exactStep();
    ctx_.progress.end();
  }

  /// \brief Once, after the first refinement of a timed run: a slice of the limit for the exact
  /// minimization seeded with the best cover (exact_step.h).  Its time counts neither as search nor as
  /// refinement, so the share the later refinements get is as before.
  void exactStep() {
    if (exactTried_) return;
    exactTried_ = true;
    const Clock::time_point began = Clock::now();
    const ExactStepParams params;
    const std::optional<Deadline> slice = ExactSlice(deadline_, s_.timeLimit, began, params);
    if (!slice) return;
    ExactStepResult r = ExactStep(f_, *best_, s_, *slice, params);
    if (r.cover) consider(std::move(r.cover), true);
    proven_ = r.proven;
    exactSeconds_ = std::chrono::duration<double>(Clock::now() - began).count();
  }

  TBoolFnct& f_;
  const Settings& s_;
  const Deadline& deadline_;
  RunContext& ctx_;
  RunFigures& fig_;
  Clock::time_point start_;
  FunctionPtr best_;
  long long searchCost_ = std::numeric_limits<long long>::max();
  bool refined_ = false;  ///< the first refinement ran
  bool toGoal_ = false;    ///< the refinement about to run ends at the -Sq limit
  /// Seconds since the start at which the first refinement ended (-1: none yet), the
  /// seconds the later ones took, and the number of refinements from drawn starts.
  double firstRefineEnd_ = -1, refineSeconds_ = 0;
  int idleRounds_ = 0;
  TopDownBeam beam_;
  bool refinedNow_ = false;  ///< a refinement ran since the last look of idle()
  /// Under a time limit, where it suits: the implicants of every refined cover.
  std::unique_ptr<PrimePool> pool_;
  std::optional<RefineSource> poolSource_;  ///< the source as the pool steps read it, made once
  int poolSteps_ = 0;
  double poolSeconds_ = 0;  ///< the time the pool steps took
  long long poolGain_ = 0;  ///< how much the pool steps lowered the best cover's cost
  double drawnSeconds_ = 0;  ///< the time the refinements from drawn starts took
  long long drawnGain_ = 0;  ///< how much they lowered the best cover's cost
  std::vector<double> prices_;  ///< the on-set minterms' prices of the last pool step
  bool lastStepTaken_ = false;  ///< the last pool step (lastPoolTurn) has had its turn
  double lastStepSeconds_ = 0;  ///< its seconds
  bool poolSettled_ = false;  ///< the last pool step proved the pool holds no cover cheaper than the best
  int poolTurns_ = 0;                   ///< iterations that looked for a pool step
  int poolGap_ = 1, nextPoolTurn_ = 1;  ///< turns between pool steps; the turn of the next
  bool exactTried_ = false;  ///< the exact step had its one chance
  bool proven_ = false;      ///< the exact step proved the best cover minimal: nothing can gain
  double exactSeconds_ = 0;  ///< the time the exact step took

 public:
  /// \brief Takes the cover made after the loop (with -endcov, or when the loop made none).
  void fromEnd(FunctionPtr cover, const TBoolFnct* implicants) {
    consider(std::move(cover), false);
    if (s_.refine && !refined_) refine(implicants);
  }
};

}  // namespace

FunctionPtr minimize(TBoolFnct& f, const Settings& settings, std::optional<std::uint32_t> seed) {
  RunFigures figures;
  RunParams params;
  params.seed = seed;
  params.settings = settings;
  return minimize(f, params, figures);
}

FunctionPtr minimize(TBoolFnct& f, const RunParams& params, RunFigures& fig) {
  if (params.settings.exact) return minimizeExact(f, params, fig);
  RunContext ctx;
  ctx.settings = params.settings;
  ctx.progress = params.progress;
  ctx.stepLine = params.stepLine;
  ctx.bestCover = params.bestCover;
  const Settings& s = ctx.settings;
  fig = RunFigures{};
  std::unique_ptr<TBuffers> run = createRunState(f, s);
  ctx.state = run.get();
  fig.seed = params.seed ? *params.seed : static_cast<std::uint32_t>(std::time(nullptr));
  ctx.random.seedRandom(fig.seed);
  buildLists(f);
  const Clock::time_point start = Clock::now();
  // The whole run ends with the time limit, the search and the refinement alike.
  Deadline deadline;
  deadline.interrupt = params.interrupt;
  if (s.stopOnTime) deadline.at = Deadline::after(start, s.timeLimit);
  ctx.deadline = deadline;
  int lastImprovement = 1, improvementGap = 1, lastBetter = 0;
  // Without on-set terms no iteration ever grows the set: the empty cover is
  // the first cover, made in the first iteration, so the quality test can judge it.
  const bool emptyOnSet = !hasOnSet(f);
  BestCover best(f, s, deadline, ctx, fig, start);
  bool failed = false;
  beginProgress(ctx);
  bool on = true;
  do {
    const int iterationCount = ++fig.iterations;
    const int before = run->implicants ? run->implicants->termCount : 0;
    const int d = ctx.random.nextRandom() % 100 + 1;
    run->implicants = d > s.fcMinRatio ? CdMinStep(f, std::move(run->implicants), ctx)
                                        : FcMinStep(f, std::move(run->implicants), ctx);
    const int gain = run->implicants->termCount - before;
    // Past the deadline the covering solver only completes a cover quickly, and on functions large
    // enough for the time to matter such a cover costs far more than the one the run already has:
    // once the run has a cover, its set is not covered again, and the run ends.
    const bool late = best.best() && deadline.expired();
    if (s.coverAtEnd == 0 && !late && (gain > 0 || (emptyOnSet && !best.best()))) {
      FunctionPtr cover = makeCover(f, *run->implicants, ctx);
      if (!cover) {
        failed = true;
        break;
      }
      const bool first = !best.best();
      if (best.fromSearch(std::move(cover), run->implicants.get())) {
        if (!first) {
          improvementGap = iterationCount - lastImprovement;
          lastImprovement = iterationCount;
        }
        lastBetter = iterationCount;
      }
    }
    if (s.coverAtEnd == 0 && best.best()) best.idle(run->implicants.get());
    fig.elapsedSeconds = std::chrono::duration<float>(Clock::now() - start).count();
    on = !best.proven() && goOn(s, fig, lastImprovement, improvementGap, best.best().get(), lastBetter);
    const int index = s.stopOnTime ? static_cast<int>(fig.elapsedSeconds) : s.stopOnIterations ? iterationCount : 0;
    if (ctx.progress.step(index, 1) != 0) on = false;
    if (on && deadline.interrupted()) {
      fig.interrupted = true;
      on = false;
    }
  } while (on);
  // With -endcov no cover was made in the loop.
  if (!failed && (s.coverAtEnd == 1 || !best.best())) {
    FunctionPtr cover = makeCover(f, *run->implicants, ctx);
    failed = !cover;
    if (cover) best.fromEnd(std::move(cover), run->implicants.get());
  }
  fig.elapsedSeconds = std::chrono::duration<float>(Clock::now() - start).count();
  // A signal that cut the last iteration, the cover at the end or the refinement short counts too.
  fig.interrupted = fig.interrupted || deadline.interrupted();
  ctx.state = nullptr;
  releaseRunState(std::move(run));
  ctx.progress.end();
  if (failed) return nullptr;
  return best.take();
}

}  // namespace vorn
