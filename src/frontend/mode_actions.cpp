// The special run modes that work on the loaded function alone: the
// consistency check, the splitting of intersecting terms and the splitting
// into minterms.  Each prints its outcome on standard error; the splitting
// modes write their result only after success, since fail() ends the run
// before the writer is reached.
#include <cstdio>
#include <string>

#include "frontend/actions.h"
#include "frontend/exit.h"
#include "modes/consistency.h"
#include "modes/minterms.h"
#include "modes/term_splitting.h"

namespace vorn {

void runCheck(TBoolFnct& f, const ProgressHooks& progress) {
  std::fputs(CheckConsistency(f, progress) ? "Function is consistent\n" : "Inconsistent function!\n", stderr);
}

void runSplit(TBoolFnct& f, const CommandLine& cl, const ProgressHooks& progress) {
  // Splitting reads '1' against '0' as a conflict, which holds where '0' is
  // the off-set: fr and fdr.  In fd, f and r sources one of them carries no meaning.
  if (f.type != kTypeFr && f.type != kTypeFdr) fail("Function must be fr type\n", 1);
  const int limit = splitTermLimit(f);
  const int result = SplitIntersectingTerms(f, limit, progress);
  if (result == 0) fail("Inconsistent function", 1);
  if (result == kSplitTooLarge)
    fail("Splitting stopped: the result would hold more than " + std::to_string(limit) + " terms\n", 1);
  std::fputs("OK\n", stderr);
  writeResult(f, cl.destination, cl.writer);
}

FunctionPtr runMinterm(TBoolFnct& f, const CommandLine& cl, const ProgressHooks& progress) {
  // 2^31 minterms and more exceed what a term count can hold; refuse before building anything.
  if (f.inputCount >= kMaxMintermInputs)
    fail("Too many inputs for splitting into minterms (" + std::to_string(f.inputCount) + ", at most " +
             std::to_string(kMaxMintermInputs - 1) + ")\n",
         1);
  FunctionPtr r = SplitIntoMinterms(f, progress);
  if (!r) fail("Inconsistent function", 1);
  std::fputs("OK\n", stderr);
  writeResult(*r, cl.destination, cl.writer);
  return r;
}

}  // namespace vorn
