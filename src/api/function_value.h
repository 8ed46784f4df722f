// The library's function values and the minimizer's term lists: a Function
// is checked once on its way in, so that everything behind it may trust its
// parts, and a term list goes out as a plain copy.
#pragma once

#include <vorn/vorn.hpp>

#include "model/function.h"

namespace vorn {

/// \brief The term list of f, with the default labels (x0.., y0..) where f gives none; throws Error
/// when f is malformed.
FunctionPtr toTermList(const Function& f);
/// \brief The value of a term list: its texts, labels and type.
Function toFunction(const TBoolFnct& f);
/// \brief The minimizer's number of a type, and back.
int typeNumber(Type type);
Type typeOf(int number);

}  // namespace vorn
