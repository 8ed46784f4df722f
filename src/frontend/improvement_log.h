// The course of a minimization run as the statistics give it: each cover
// that became the best, with its iteration, time and cost.
#pragma once

#include <vector>

#include "frontend/run_statistics.h"
#include "frontend/settings.h"
#include "model/function.h"

namespace vorn {

/// While it lives, records every new best cover of the running minimization.
class ImprovementLog {
 public:
  /// \brief Starts listening to the progress hooks installed now.
  ImprovementLog();
  /// \brief Puts the hooks back as they were.
  ~ImprovementLog();
  ImprovementLog(const ImprovementLog&) = delete;
  ImprovementLog& operator=(const ImprovementLog&) = delete;

  /// \brief Adds the final result when it is cheaper than the last best seen: the refinement made it.
  void finish(const TBoolFnct& result, int iterations, double seconds);
  /// \brief The best covers in the order they were found: the first cover, then each cheaper one.
  const std::vector<Improvement>& entries() const { return entries_; }

 private:
  void afterIteration();

  ProgressHooks saved_;
  const TBoolFnct* best_ = nullptr;
  std::vector<Improvement> entries_;
};

}  // namespace vorn
