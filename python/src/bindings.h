// The parts of the extension module vorn._vorn, each binding one concept of
// the library; module.cpp puts them together.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include <vorn/vorn.hpp>

namespace vorn::python {

/// \brief Binds vorn::Function as the Python class Function, with read_pla and the evaluation.
void bindFunction(pybind11::module_& m);
/// \brief Binds minimize (the run with the interpreter's signals and stop requests) and verify.
void bindMinimize(pybind11::module_& m);

/// \brief The PLA name of a type ("fr", ...).
const char* typeName(Type type);
/// \brief The criterion of a name ("terms", "literals", "output_cost", "literals_and_output_cost",
/// "gates", "gate_equivalents") or of the program's -Q letter (t l o b g G); ValueError otherwise.
Criterion criterionNamed(const std::string& name);
/// \brief The program's -Q letter of a criterion.
char criterionLetter(Criterion criterion);
/// \brief The figures as the keys of the program's statistics name them.
pybind11::dict figuresDict(const Figures& figures);

}  // namespace vorn::python
