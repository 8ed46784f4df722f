#include "exact/exact_minimize.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "exact/covering_table.h"
#include "exact/essential_primes.h"
#include "exact/incompatible_points.h"
#include "exact/prime_generation.h"
#include "exact/unate_covering.h"
#include "model/cost.h"
#include "model/packed_cube.h"
#include "refine/coverage.h"
#include "refine/refine_problem.h"
#include "unate/meet_index.h"

namespace vorn {

namespace {

/// Pieces of the on-set left by the essential primes beyond which the primes of the whole on-set are taken.
constexpr int kMaxLeftCubes = 100000;

/// A term of a cover under construction: an input cube and the outputs it feeds.
struct Term {
  Cube input;
  std::vector<int> outputs;
};

/// What one covering problem gave.
struct PieceResult {
  bool improved = false;    ///< `terms` are cheaper than the seed's part
  std::vector<Term> terms;  ///< outputs numbered as in the piece
  bool proven = false;
  long long lowerBound = 0;
};

/// \brief The cost a row of a prime with `literals` literals carries for the criterion (output cost: per
/// prime and output).  For the criteria that share a term among outputs it bounds the term's share from below.
long long rowCost(int criterion, int literals) { return termShare(criterion, literals, 1); }

/// \brief True when the criterion's cost is the sum of the rows' costs, so that the seed bounds the search.
bool exactRows(int criterion) { return criterion <= 2; }

/// \brief The lower bound of the real cost from a bound of the rows' costs.
long long realBound(int criterion, long long rowsBound, int outputs) {
  if (criterion == 4 || criterion == 5) return std::max(rowsBound - outputs, 0LL);
  return rowsBound;
}

/// \brief The outputs each prime may carry and where it meets the on-set.
std::vector<std::vector<int>> usefulOutputs(const RefineSource& src, const PrimeSet& primes) {
  std::vector<std::vector<int>> useful(static_cast<std::size_t>(primes.size()));
  std::vector<int> meeting;
  for (int p = 0; p < primes.size(); ++p) {
    OutputSet met(src.outputs);
    outputsMet(src.on, primes.cubes.cube(p), met);
    primes.outputs[static_cast<std::size_t>(p)].forEach([&](int j) {
      if (j < src.outputs && met.test(j)) useful[static_cast<std::size_t>(p)].push_back(j);
    });
  }
  return useful;
}

/// The covering problem of a table: rows are primes, or (prime, output) pairs for the output cost.
struct RowModel {
  std::vector<int> prime, output;  ///< per row; output -1: the row feeds every output it is needed at
};

CoveringProblem makeProblem(const CoveringTable& table, const PrimeSet& primes, int criterion, RowModel& model) {
  CoveringProblem p;
  if (criterion != 2) {
    for (int k = 0; k < primes.size(); ++k) {
      model.prime.push_back(k);
      model.output.push_back(-1);
      p.cost.push_back(rowCost(criterion, primes.cubes.get(k).countLiterals()));
    }
    p.columns = table.columns;
    return p;
  }
  // Output cost: a column of several outputs is one column per output, over the pairs of that output.
  std::vector<std::vector<std::pair<int, int>>> pairRow(static_cast<std::size_t>(primes.size()));
  auto rowOf = [&](int prime, int j) {
    auto& list = pairRow[static_cast<std::size_t>(prime)];
    for (const auto& e : list)
      if (e.first == j) return e.second;
    const int r = static_cast<int>(model.prime.size());
    model.prime.push_back(prime);
    model.output.push_back(j);
    p.cost.push_back(1);
    list.emplace_back(j, r);
    return r;
  };
  for (std::size_t c = 0; c < table.columns.size(); ++c)
    for (int j : table.columnOutputs[c]) {
      std::vector<int> col;
      for (int prime : table.columns[c]) col.push_back(rowOf(prime, j));
      std::sort(col.begin(), col.end());
      p.columns.push_back(std::move(col));
    }
  return p;
}

/// \brief The terms of the chosen rows, each feeding only the outputs where the on-set needs it: a
/// connection whose on-set minterms the other terms cover is dropped, the costliest term's first.
std::vector<Term> termsOf(const RefineSource& src, const PrimeSet& primes, const RowModel& model,
                          const std::vector<int>& rows, const std::vector<std::vector<int>>& useful) {
  std::vector<int> chosen;  // primes, in the order first chosen
  Cover cover;
  cover.in = CubeList(src.inputs);
  for (int r : rows) {
    const int prime = model.prime[static_cast<std::size_t>(r)];
    auto it = std::find(chosen.begin(), chosen.end(), prime);
    const std::size_t k = static_cast<std::size_t>(it - chosen.begin());
    if (it == chosen.end()) {
      chosen.push_back(prime);
      cover.add(primes.cubes.cube(prime), OutputSet(src.outputs));
    }
    if (model.output[static_cast<std::size_t>(r)] >= 0)
      cover.out[k].set(model.output[static_cast<std::size_t>(r)]);
    else
      for (int j : useful[static_cast<std::size_t>(prime)]) cover.out[k].set(j);
  }
  std::vector<std::size_t> order(chosen.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return primes.cubes.get(chosen[a]).countLiterals() > primes.cubes.get(chosen[b]).countLiterals();
  });
  Coverage coverage(src, cover);
  for (std::size_t k : order) {
    std::vector<int> feeds;
    cover.out[k].forEach([&](int j) { feeds.push_back(j); });
    for (int j : feeds)
      if (coverage.coveredByOthers(cover.in.cube(static_cast<int>(k)), j, static_cast<int>(k))) cover.out[k].reset(j);
  }
  std::vector<Term> terms;
  for (std::size_t k = 0; k < chosen.size(); ++k) {
    if (!cover.out[k].any()) continue;
    Term t{primes.cubes.get(chosen[k]), {}};
    cover.out[k].forEach([&](int j) { t.outputs.push_back(j); });
    terms.push_back(std::move(t));
  }
  return terms;
}

/// \brief Minimizes one covering problem: the whole function, or one output of it.  `seed` is a valid
/// cover of the piece (possibly empty) whose terms give the first points of the bound.
PieceResult solvePiece(const RefineSource& src, const Cover& seed, long long seedCost, const ExactParams& params,
                       ExactStats& stats) {
  PieceResult out;
  // Everything before the covering search (bounds, essential primes, the primes, the table) ends by
  // primesBy when given.
  const Deadline listing = params.deadline.until(params.primesBy);
  std::vector<OnPoint> witnesses;
  // Terms, literals and output connections have a bound that needs no primes: when it meets the seed, the
  // seed is a minimum already.
  if (params.criterion <= 3) {
    WitnessParams wp;
    wp.deadline = listing;
    IncompatibleParams ip;
    ip.deadline = listing;
    ip.criterion = params.criterion;
    witnesses = CoverWitnesses(src, seed, wp);
    ip.first = witnesses;
    out.lowerBound = IncompatibleBound(src, ip);
    if (out.lowerBound >= seedCost) {
      out.proven = true;
      return out;
    }
  }
  // Counting terms or literals, the primes the witnesses show essential are in the minimum, and the
  // on-set they leave bounds what the other terms cost; it alone may need primes and columns.
  std::vector<EssentialPrime> essentials;
  CubeSet left;
  if (params.criterion <= 1) {
    essentials = WitnessedEssentials(src, witnesses);
    if (!essentials.empty() && !OnSetOutside(src, essentials, kMaxLeftCubes, left)) essentials.clear();
  }
  const bool restricted = !essentials.empty();
  long long essentialCost = 0;
  for (const EssentialPrime& e : essentials) essentialCost += rowCost(params.criterion, cubeLiterals(e.cube.data(), src.on.cubes.words()));
  if (restricted) {
    // Every cover of primes holds the essential ones, and other terms for the points of the on-set they
    // leave: incompatible points there need a term each besides them.
    RefineSource rest{src.inputs, src.outputs, left, src.off};
    IncompatibleParams ip;
    ip.deadline = listing;
    ip.criterion = params.criterion;
    for (const OnPoint& p : witnesses)
      if (std::none_of(essentials.begin(), essentials.end(), [&](const EssentialPrime& e) {
            return e.outputs.test(p.output) && cubeContains(e.cube.data(), p.minterm.data(), src.on.cubes.words());
          }))
        ip.first.push_back(p);
    out.lowerBound = std::max(out.lowerBound, essentialCost + IncompatibleBound(rest, ip));
    if (out.lowerBound >= seedCost) {
      out.proven = true;
      return out;
    }
  }
  // Every prime first: where the list is short that is quicker than asking, for each part of the search,
  // whether it meets what the essential primes leave.  Only when the list is too long, the primes that
  // meet that rest, with the essential primes taken aside.
  PrimeParams pp;
  pp.deadline = listing;
  pp.maxPrimes = params.maxPrimes;
  PrimeSet primes;
  PrimeStats ps;
  bool generated = GeneratePrimes(src.off, src.inputs, src.outputs, pp, primes, ps);
  if (!generated && restricted) {
    pp.within = &left;
    generated = GeneratePrimes(src.off, src.inputs, src.outputs, pp, primes, ps);
  }
  if (!generated) {
    stats.primesComplete = false;
    return out;
  }
  if (!pp.within) {  // the search finds the essential primes among all of them again
    essentials.clear();
    essentialCost = 0;
  }
  TableParams tp;
  tp.deadline = listing;
  tp.perOutput = params.criterion == 2;
  CoveringTable table;
  if (!BuildCoveringTable(pp.within ? left : src.on, primes, src.outputs, tp, table)) {
    stats.primesComplete = false;
    return out;
  }
  RowModel model;
  const CoveringProblem problem = makeProblem(table, primes, params.criterion, model);
  stats.columns += static_cast<long long>(problem.columns.size());
  // The essential primes join the rows of the cover after the search, which never sees them.
  std::vector<int> essentialRows;
  for (const EssentialPrime& e : essentials) {
    essentialRows.push_back(static_cast<int>(model.prime.size()));
    model.prime.push_back(primes.size());
    model.output.push_back(-1);
    primes.cubes.push(e.cube.data());
    primes.outputs.push_back(e.outputs);
  }
  stats.primes += primes.size();
  CoveringParams cp;
  cp.deadline = params.deadline;
  // The search here has a whole slice or run: two more dives, choosing fewer and more rows per level.
  cp.diveShares = {0.1, 0.05, 0.2};
  if (exactRows(params.criterion)) cp.upperBound = seedCost == LLONG_MAX ? LLONG_MAX : seedCost - essentialCost;
  const CoveringResult r = SolveCovering(problem, cp);
  stats.coreRows += r.coreRows;
  stats.coreColumns += r.coreColumns;
  stats.nodes += r.nodes;
  out.lowerBound =
      std::max(out.lowerBound, realBound(params.criterion, r.lowerBound + essentialCost, src.outputs));
  out.proven = exactRows(params.criterion) && r.proven;
  if (r.improved) {
    out.improved = true;
    std::vector<int> rows = r.rows;
    rows.insert(rows.end(), essentialRows.begin(), essentialRows.end());
    out.terms = termsOf(src, primes, model, rows, usefulOutputs(src, primes));
  }
  return out;
}

/// \brief The cost of the seed's terms that feed output j, by the criterion (-1: the whole seed).
long long seedCost(const TBoolFnct* seed, int criterion, int j) {
  if (!seed) return LLONG_MAX;
  if (j < 0) return seed->cost;
  long long cost = 0;
  forEachTerm(*seed, [&](const TPfnct& t) {
    if (outputAt(t, j) == '1') cost += rowCost(criterion, t.input.countLiterals());
  });
  return cost;
}

void appendTerms(TBoolFnct& cover, const std::vector<Term>& terms, int outputs, char unconnected,
                 const std::vector<int>& outputOf) {
  for (const Term& t : terms) {
    std::string out(static_cast<std::size_t>(outputs), unconnected);
    for (int j : t.outputs) out[static_cast<std::size_t>(outputOf[static_cast<std::size_t>(j)])] = '1';
    appendTerm(cover, t.input, out, 0);
  }
}

/// \brief The seed's terms that feed output j, each feeding j alone.
void appendSeedTerms(TBoolFnct& cover, const TBoolFnct& seed, int j, int outputs, char unconnected) {
  forEachTerm(seed, [&](const TPfnct& t) {
    if (outputAt(t, j) != '1') return;
    std::string out(static_cast<std::size_t>(outputs), unconnected);
    out[static_cast<std::size_t>(j)] = '1';
    appendTerm(cover, t.input, out, 0);
  });
}

}  // namespace

FunctionPtr MinimizeExact(TBoolFnct& f, const ExactParams& params, ExactStats& stats) {
  stats = ExactStats{};
  buildLists(f);
  FunctionPtr cover = derive(f);
  cover->type = kTypeFd;
  const char unconnected = f.outputCount == 1 ? '0' : params.unconnected;
  bool proven = true, complete = true;
  long long bound = 0;
  if (!params.singleOutput) {
    const RefineSource src = MakeSource(f);
    const Cover seed = params.seed ? CoverOf(*params.seed, src.inputs, src.outputs) : Cover{CubeList(src.inputs), {}, {}};
    const PieceResult r = solvePiece(src, seed, seedCost(params.seed, params.criterion, -1), params, stats);
    proven = r.proven;
    bound = r.lowerBound;
    complete = r.improved;
    std::vector<int> identity(static_cast<std::size_t>(f.outputCount));
    for (int j = 0; j < f.outputCount; ++j) identity[static_cast<std::size_t>(j)] = j;
    if (r.improved) appendTerms(*cover, r.terms, f.outputCount, unconnected, identity);
  } else {
    for (int j = 0; j < f.outputCount; ++j) {
      const RefineSource src = MakeSource(f, j);
      const Cover seed =
          params.seed ? CoverOf(*params.seed, src.inputs, src.outputs, j) : Cover{CubeList(src.inputs), {}, {}};
      const PieceResult r = solvePiece(src, seed, seedCost(params.seed, params.criterion, j), params, stats);
      proven = proven && r.proven;
      bound += r.lowerBound;
      if (r.improved)
        appendTerms(*cover, r.terms, f.outputCount, unconnected, std::vector<int>{j});
      else if (params.seed)
        appendSeedTerms(*cover, *params.seed, j, f.outputCount, unconnected);
      else
        complete = false;
    }
  }
  computeStatistics(*cover);
  computeCost(*cover, params.criterion);
  const bool usable = complete && (!params.seed || cover->cost < params.seed->cost);
  const long long best = usable ? cover->cost : params.seed ? params.seed->cost : LLONG_MAX;
  stats.lowerBound = std::min(bound, best);
  stats.proven = proven || stats.lowerBound >= best;
  if (!usable) return nullptr;
  return cover;
}

}  // namespace vorn
