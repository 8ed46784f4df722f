#include "exact/lagrangian_bound.h"

#include <algorithm>
#include <cmath>

namespace vorn {

double LagrangianValue(const LagrangianProblem& p, const std::vector<double>& u, std::vector<double>& rc) {
  double value = 0;
  for (int c = 0; c < p.columns; ++c) value += u[static_cast<std::size_t>(c)];
  rc.resize(p.cost.size());
  for (std::size_t r = 0; r < p.cost.size(); ++r) {
    double left = static_cast<double>(p.cost[r]);
    for (int c : p.cells[r]) left -= u[static_cast<std::size_t>(c)];
    rc[r] = left;
    if (left < 0) value += left;
  }
  return value;
}

long long BoundOf(double value) {
  // The sums run over at most a few million terms of moderate size: their rounding error stays far
  // below this margin, so a value just under an integer is never rounded up past a cover's cost.
  const double margin = 1e-7 * (1.0 + std::fabs(value));
  return std::max(0LL, static_cast<long long>(std::ceil(value - margin)));
}

LagrangianResult LagrangianBound(const LagrangianProblem& p, const LagrangianParams& params) {
  const std::size_t columns = static_cast<std::size_t>(p.columns);
  std::vector<double> u(columns, 0.0);
  for (std::size_t c = 0; c < columns && c < params.start.size(); ++c) u[c] = std::max(0.0, params.start[c]);
  LagrangianResult best;
  best.value = -1;
  std::vector<double> rc, step(columns);
  DeadlineProbe probe(params.deadline, 4);
  // The step length shrinks by half once the bound has not risen for `patience` steps.
  const int patience = std::min(20, std::max(3, params.iterations / 10));
  double lambda = 2.0;
  int stale = 0;
  for (int it = 0; it < params.iterations; ++it) {
    const double value = LagrangianValue(p, u, rc);
    if (value > best.value + 1e-9) {
      best.value = value;
      best.multipliers = u;
      best.reducedCost = rc;
      stale = 0;
    } else if (++stale >= patience) {
      lambda /= 2;
      stale = 0;
      if (lambda < 1e-3) break;
    }
    if (BoundOf(best.value) >= params.upperBound || probe.expired()) break;
    // Each column once, less once per row the relaxation takes; a column at zero that would go below
    // stays there.
    std::fill(step.begin(), step.end(), 1.0);
    for (std::size_t r = 0; r < p.cost.size(); ++r)
      if (rc[r] < 0)
        for (int c : p.cells[r]) step[static_cast<std::size_t>(c)] -= 1.0;
    double norm = 0;
    for (std::size_t c = 0; c < columns; ++c) {
      if (u[c] <= 0 && step[c] < 0) step[c] = 0;
      norm += step[c] * step[c];
    }
    if (norm == 0) break;  // the relaxation's choice covers every column once: u is optimal
    const double target = params.upperBound == LLONG_MAX ? 1.05 * value + 1.0
                                                         : static_cast<double>(params.upperBound);
    const double t = lambda * std::max(target - value, 0.01 * (1.0 + std::fabs(value))) / norm;
    for (std::size_t c = 0; c < columns; ++c) u[c] = std::max(0.0, u[c] + t * step[c]);
  }
  if (best.value < 0) {  // no step was taken: the start stands
    best.value = LagrangianValue(p, u, rc);
    best.multipliers = u;
    best.reducedCost = rc;
  }
  best.bound = BoundOf(best.value);
  return best;
}

}  // namespace vorn
