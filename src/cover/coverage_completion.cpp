// Coverage completion.
//
// A step that stops at the deadline leaves an implicant set that may miss
// whole outputs (the CD step did not reach them) or single on-set terms
// (FC-Min did not group them).  Every on-set term of the source is an
// implicant of the outputs it has '1' at, so the set covers its source again
// once each missing (output, term) pair is served by a copy of its source
// term.  One copy per source term carries all of that term's missing
// outputs; the copies get their cover lists like any new implicant, so the
// covering problem and the dominance passes see them as usual.  A set that
// covers everything is left as it is.
#include "cover/coverage_completion.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "cover/cover_matrix.h"

namespace vorn {

int CompleteCoverage(TBoolFnct& implicants, RunContext& run) {
  TBoolFnct* source = implicants.source;
  if (!source) return 0;
  buildLists(*source);
  const int outputs = source->outputCount;
  // covered[i][j]: on-list entry j of output i is in some implicant's cover.
  std::vector<std::vector<char>> covered(static_cast<std::size_t>(outputs));
  for (int i = 0; i < outputs; ++i)
    covered[static_cast<std::size_t>(i)].assign(source->onLists[static_cast<std::size_t>(i)].size(), 0);
  for (const TPfnct* t = implicants.head.get(); t; t = t->next.get())
    for (const CoverEntry& e : t->covers) {
      if (e.output < 0 || e.output >= outputs) continue;
      std::vector<char>& row = covered[static_cast<std::size_t>(e.output)];
      if (e.onIndex >= 0 && e.onIndex < static_cast<int>(row.size())) row[static_cast<std::size_t>(e.onIndex)] = 1;
    }
  // On-list entries are copies of source terms; gather the missing outputs per cube.
  FunctionPtr extra = derive(*source);
  extra->type = kTypeFd;
  std::unordered_map<std::string, TPfnct*> byCube;
  for (int i = 0; i < outputs; ++i) {
    const TermList& on = source->onLists[static_cast<std::size_t>(i)];
    for (std::size_t j = 0; j < on.size(); ++j) {
      if (covered[static_cast<std::size_t>(i)][j]) continue;
      TPfnct*& copy = byCube[on[j].input().str()];
      if (!copy)
        copy = appendTerm(*extra, on[j].input(), std::string(static_cast<std::size_t>(outputs), '0'),
                          on[j].input().countDashes());
      copy->output[static_cast<std::size_t>(i)] = '1';
    }
  }
  const int added = extra->termCount;
  if (added == 0) return 0;
  DetermineCover(*extra, run);
  absorb(implicants, std::move(extra));
  return added;
}

}  // namespace vorn
