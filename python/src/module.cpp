// The extension module vorn._vorn: the library's values and runs as Python
// objects.  The package vorn (python/vorn) adds what is written in Python
// and gives the keyword interface of minimize.
#include "bindings.h"

namespace py = pybind11;

PYBIND11_MODULE(_vorn, m) {
  m.doc() = "Two-level minimization of multi-output Boolean functions (the library's bindings)";
  // Every library failure becomes vorn.Error with the message the program prints.
  py::register_exception<vorn::Error>(m, "Error");
  vorn::python::bindFunction(m);
  vorn::python::bindMinimize(m);
}
