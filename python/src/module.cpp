// The extension module vorn._vorn: the library's functions and runs as
// Python objects.  The package vorn (python/vorn) re-exports them beside
// what is written in Python.
#include <pybind11/pybind11.h>

namespace py = pybind11;

PYBIND11_MODULE(_vorn, m) {
  m.doc() = "Two-level minimization of multi-output Boolean functions";
}
