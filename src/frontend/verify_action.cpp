// The Verify mode: whether a result file is a valid cover of the source, by
// the library's verification (containment by tautology, never by minterms),
// so the program and other callers judge a cover the same way.  Exit code 0
// says valid, 2 not valid; 1 stays for errors (an unreadable result,
// mismatched dimensions), so a script can tell a bad cover from a bad call.
#include <cstdio>
#include <string>

#include "api/function_value.h"
#include "frontend/actions.h"
#include "frontend/exit.h"

namespace vorn {

void runVerify(const TBoolFnct& f, const CommandLine& cl, const Console& console) {
  const std::string path = cl.destination.empty() ? "-" : cl.destination;
  ReadResult r = loadFunction(path);
  if (!r.error.empty()) fail(r.error + "\n");
  if (!r.function) fail("Result not found\n" + r.reason + "\n");
  if (!console.quiet())
    for (const std::string& w : r.warnings) std::fprintf(stderr, "%s\n", w.c_str());
  Verdict verdict;
  try {
    verdict = verify(toFunction(f), toFunction(*r.function));
  } catch (const Error& e) {
    fail(std::string(e.what()) + "\n");
  }
  if (!verdict.valid) fail("Result is not a valid cover: " + verdict.fault + "\n", 2);
  std::fputs("Result is a valid cover\n", stderr);
}

}  // namespace vorn
