// Building the per-term output bit sets (see output_masks.h).
#include "fcmin/output_masks.h"

namespace vorn {

OutputMasks indexOutputs(const TBoolFnct& f) {
  OutputMasks m;
  const int o = f.outputCount;
  for (TPfnct* t = f.head.get(); t; t = t->next.get()) m.terms.push_back(t);
  const int n = static_cast<int>(m.terms.size());
  m.ones = WordRows(n, bits::wordsFor(o));
  m.zeros = WordRows(n, bits::wordsFor(o));
  m.tildes = WordRows(n, bits::wordsFor(o));
  for (int k = 0; k < n; ++k) {
    bool zero = false;
    for (int j = 0; j < o; ++j) {
      const char c = outputAt(*m.terms[k], j);
      if (c == '1') bits::setBit(m.ones.row(k), j);
      else if (c == '0') bits::setBit(m.zeros.row(k), j), zero = true;
      else if (c == '~') bits::setBit(m.tildes.row(k), j);
    }
    if (zero) m.withZero.push_back(k);
  }
  return m;
}

}  // namespace vorn
