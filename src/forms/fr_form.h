// The forms a source of any type is minimized in.
//
// The minimizer works on fr functions: an on-set to cover and an off-set to
// stay out of.  A source of another type is turned into its fr form first;
// what the type leaves out is computed by complementing, per output, what it
// gives (the off-set of f and fd as the complement of on-set and don't-care
// set, the on-set of r as the complement of the off-set).  When such a
// complement passes its bounds, the fd form (on-set and don't-care set
// alone) is the way out: the implicant test then asks whether a cube lies
// inside on-set and don't-care set instead of whether it meets the off-set.
#pragma once

#include "model/function.h"
#include "unate/complement.h"

namespace vorn {

struct FrFormParams {
  ComplementParams complement;  ///< bounds of each output's complement
  int maxCubes = 100000;        ///< bound of all computed cubes together
};

struct FrFormStats {
  int computedCubes = 0;  ///< cubes of the computed sets, before folding equal cubes across outputs
  int terms = 0;          ///< terms of the fr form
  bool complete = false;  ///< false when a bound was passed
  double seconds = 0;
  ComplementStats complement;
};

/// \brief The fr function with the same on-set and off-set as f (any type); none when a complement passed
/// its bounds.  It shares f's labels and has no source.
FunctionPtr MakeFrForm(const TBoolFnct& f, const FrFormParams& params, FrFormStats& stats);
/// \brief The fd function with f's on-set and don't-care set (f of type fd or f); shares f's labels.
FunctionPtr MakeFdForm(const TBoolFnct& f);

}  // namespace vorn
