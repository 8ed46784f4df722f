// Number parsing with the leniency of atoi/atof (leading blanks, a sign,
// stop at the first misfit, nothing readable means 0), but saturating at the
// 32-bit range instead of overflowing.
#pragma once

#include <string_view>

namespace vorn {

/// \brief The integer at the start of `text`, clamped to the int range.
int parseInt(std::string_view text);
/// \brief The real number at the start of `text`, 0 when there is none.
double parseReal(std::string_view text);

}  // namespace vorn
