// The texts a user asks for with -h, --help and --version: the usage text
// followed by the arguments added after it, and the version with the
// compiler and the date of the build.
#pragma once

#include <string>

namespace vorn {

/// \brief The arguments listed after the usage text, under their own heading.
std::string furtherOptionsText();
/// \brief The usage text followed by the further arguments.
std::string helpText();
/// \brief "vorn 2.2 beta" and the compiler and date of this build, one line each.
std::string versionText();
/// \brief The compiler that built this program, with its version.
std::string compilerName();
/// \brief A compiler date ("Mmm dd yyyy") written as yyyy-mm-dd; the text itself when it is not one.
std::string isoDate(const std::string& compilerDate);

}  // namespace vorn
