// The outputs a term is connected to (or a source cube belongs to), one bit
// per output: the kernel's bit set under the name the refinement reads.
#pragma once

#include "model/bits.h"

namespace vorn {

using OutputSet = BitSet;

}  // namespace vorn
