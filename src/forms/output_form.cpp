// The off-set of an fdr result is the source's own where the source gives
// one (fr, fdr, r): a valid cover lies inside on-set and don't-care set and
// holds the on-set, so the complement of cover and don't-care set is exactly
// the source's off-set, and nothing needs computing.  For f and fd sources it
// is that complement, computed.  An fr source names no don't-care set: its
// don't-cares are the minterms neither set holds, so they are computed as the
// complement of cover and off-set, and the fdr result is a partition that a
// reader which fills in nothing reads as the same function.
#include "forms/output_form.h"

#include <string>

namespace vorn {

namespace {

FunctionPtr emptyLike(const TBoolFnct& f, int type) {
  FunctionPtr g = create(f.inputCount, f.outputCount, 0, type);
  g->inputLabels = f.inputLabels;
  g->outputLabels = f.outputLabels;
  return g;
}

/// Appends f's terms with `c` at some output, carrying `as` there and `other` elsewhere.
void appendWith(const TBoolFnct& f, char c, char other, TBoolFnct& g, char as) {
  std::string out;
  forEachTerm(f, [&](const TPfnct& t) {
    out.assign(static_cast<std::size_t>(f.outputCount), other);
    bool any = false;
    for (int j = 0; j < f.outputCount; ++j)
      if (outputAt(t, j) == c) out[static_cast<std::size_t>(j)] = as, any = true;
    if (any) appendTerm(g, t.input, out, t.input.countDashes());
  });
}

void appendWith(const TBoolFnct& f, char c, char other, TBoolFnct& g) { appendWith(f, c, other, g, c); }

/// \brief Appends, as '-' terms, the minterms that neither `cover` nor the off-set of `source` holds;
/// false when that complement passes the bounds of `params`.
bool appendUnnamedAsDontCares(const TBoolFnct& cover, const TBoolFnct& source, const FrFormParams& params,
                              TBoolFnct& g) {
  FunctionPtr named = emptyLike(cover, kTypeFd);
  appendWith(cover, '1', '~', *named);
  appendWith(source, '0', '~', *named, '-');
  FrFormStats stats;
  FunctionPtr fr = MakeFrForm(*named, params, stats);
  if (!fr) return false;
  appendWith(*fr, '0', '~', g, '-');
  return true;
}

}  // namespace

FunctionPtr MakeOutputForm(const TBoolFnct& cover, const TBoolFnct& source, int type, const FrFormParams& params) {
  FunctionPtr g = emptyLike(cover, type);
  if (type == kTypeF || type == kTypeFd) {
    appendWith(cover, '1', '0', *g);
    return g;
  }
  // fr and fdr: the cover with '~' where a term feeds no output, since '0' would put it in the off-set.
  appendWith(cover, '1', '~', *g);
  const bool withDc = type == kTypeFdr && typeHasDc(source.type);
  if (withDc) appendWith(source, '-', '~', *g);
  if (type == kTypeFdr && typeHasOff(source.type)) {
    appendWith(source, '0', '~', *g);
    if (source.type == kTypeFr && !appendUnnamedAsDontCares(cover, source, params, *g)) return nullptr;
    return g;
  }
  // The off-set is what the cover (and, for fdr, the don't-care set) leaves.
  FunctionPtr given = emptyLike(cover, kTypeFd);
  appendWith(cover, '1', '~', *given);
  if (withDc) appendWith(source, '-', '~', *given);
  FrFormStats stats;
  FunctionPtr fr = MakeFrForm(*given, params, stats);
  if (!fr) return nullptr;
  appendWith(*fr, '0', '~', *g);
  return g;
}

}  // namespace vorn
