// The forms a minimized cover can be written in.  A cover is a set of terms
// with '1' at the outputs they feed; the types other PLA tools expect say
// more or less around it: f and fd only the cover (with '0' where a term does
// not feed an output, since '~' is unknown to some readers), fr also the
// off-set of each output (the complement of the cover), fdr the source's
// don't-care set and the off-set too.
#pragma once

#include "forms/fr_form.h"
#include "model/function.h"

namespace vorn {

/// \brief The cover of `source` as a function of `type` (kTypeF, kTypeFd, kTypeFr or kTypeFdr); none
/// when a complement the type needs passes the bounds of `params`.  Shares the cover's labels.
FunctionPtr MakeOutputForm(const TBoolFnct& cover, const TBoolFnct& source, int type,
                           const FrFormParams& params = FrFormParams{});

}  // namespace vorn
