// Progress callbacks through which long operations report their work: begin
// once with a message, a total and a kind, step once per unit of work, end
// once.  Where an operation says so, a step answer of 2 stops its walk.  The
// caller owns the hooks and hands them to the operation.
#pragma once

#include <functional>
#include <string>

namespace vorn {

struct ProgressHooks {
  std::function<int(const std::string& message, int total, int kind)> begin;
  std::function<int(int index, int kind)> step;
  std::function<void()> end;
};

/// \brief Hooks that do nothing and answer 0.
ProgressHooks quietHooks();
/// \brief One shared, unchangeable set of the do-nothing hooks, for operations called without hooks.
const ProgressHooks& quietProgress();

}  // namespace vorn
