// vorn.Function: the library's function value, immutable from Python (a
// run reads it without the interpreter's lock, so nothing may change it
// meanwhile), with its PLA text, figures and evaluation on samples.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bindings.h"

namespace py = pybind11;

namespace vorn::python {

namespace {

constexpr const char* kTypeNames[] = {"f", "fd", "fr", "fdr", "r"};
constexpr Type kTypes[] = {Type::f, Type::fd, Type::fr, Type::fdr, Type::r};

Type typeNamed(const std::string& name) {
  for (std::size_t k = 0; k < std::size(kTypes); ++k)
    if (name == kTypeNames[k]) return kTypes[k];
  throw py::value_error("Unknown function type '" + name + "' (f, fd, fr, fdr or r)");
}

/// The labels a function shows: its own, or x0.., y0.. where it gives none (as its PLA text does).
std::vector<std::string> labelsShown(const std::vector<std::string>& given, int count, char prefix) {
  if (!given.empty()) return given;
  std::vector<std::string> labels;
  labels.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) labels.push_back(prefix + std::to_string(i));
  return labels;
}

Function makeFunction(int inputs, int outputs, const py::iterable& terms, const std::string& type,
                      std::optional<std::vector<std::string>> inputLabels,
                      std::optional<std::vector<std::string>> outputLabels) {
  Function f;
  f.inputs = inputs;
  f.outputs = outputs;
  f.type = typeNamed(type);
  if (inputLabels) f.inputLabels = std::move(*inputLabels);
  if (outputLabels) f.outputLabels = std::move(*outputLabels);
  for (const py::handle term : terms) {
    auto [input, output] = term.cast<std::pair<std::string, std::string>>();
    f.terms.push_back(Term{std::move(input), std::move(output)});
  }
  figures(f);  // refuses a malformed function here, with the library's message
  return f;
}

py::list termList(const Function& f) {
  py::list terms(f.terms.size());
  for (std::size_t k = 0; k < f.terms.size(); ++k) terms[k] = py::make_tuple(f.terms[k].input, f.terms[k].output);
  return terms;
}

bool sameFunction(const Function& a, const Function& b) {
  if (a.inputs != b.inputs || a.outputs != b.outputs || a.type != b.type || a.terms.size() != b.terms.size())
    return false;
  if (labelsShown(a.inputLabels, a.inputs, 'x') != labelsShown(b.inputLabels, b.inputs, 'x') ||
      labelsShown(a.outputLabels, a.outputs, 'y') != labelsShown(b.outputLabels, b.outputs, 'y'))
    return false;
  for (std::size_t k = 0; k < a.terms.size(); ++k)
    if (a.terms[k].input != b.terms[k].input || a.terms[k].output != b.terms[k].output) return false;
  return true;
}

/// Samples as a C-ordered boolean array; 0/1 integers are taken too, any other value is refused.
py::array_t<bool, py::array::c_style> booleanSamples(const py::array& given) {
  const char kind = given.dtype().kind();
  if (kind != 'b') {
    if (kind != 'i' && kind != 'u') throw py::type_error("samples must be booleans (or the integers 0 and 1)");
    const py::module_ numpy = py::module_::import("numpy");
    if (!numpy.attr("isin")(given, py::make_tuple(0, 1)).attr("all")().cast<bool>())
      throw py::value_error("samples must be booleans (or the integers 0 and 1)");
  }
  return py::array_t<bool, py::array::c_style | py::array::forcecast>::ensure(given);
}

py::array_t<bool> evaluateSamples(const Function& f, const py::object& X) {
  // Nested lists and other array-likes as numpy.asarray takes them, as from_samples does.
  const auto samples = booleanSamples(py::module_::import("numpy").attr("asarray")(X));
  const bool single = samples.ndim() == 1;
  if (samples.ndim() != 1 && samples.ndim() != 2)
    throw py::value_error("samples must be a 2-D array (samples x inputs) or one sample");
  const py::ssize_t count = single ? 1 : samples.shape(0);
  const py::ssize_t width = samples.shape(single ? 0 : 1);
  if (width != f.inputs)
    throw py::value_error("samples have " + std::to_string(width) + " inputs, the function " +
                          std::to_string(f.inputs));
  std::vector<std::uint8_t> values;
  {
    py::gil_scoped_release release;
    values = evaluate(f, reinterpret_cast<const std::uint8_t*>(samples.data()), static_cast<std::size_t>(count));
  }
  py::array_t<bool> result = single ? py::array_t<bool>(f.outputs) : py::array_t<bool>({count, py::ssize_t(f.outputs)});
  if (!values.empty()) std::memcpy(result.mutable_data(), values.data(), values.size());
  return result;
}

py::tuple stateOf(const Function& f) {
  return py::make_tuple(f.inputs, f.outputs, typeName(f.type), f.inputLabels, f.outputLabels, termList(f));
}

Function fromState(const py::tuple& state) {
  if (state.size() != 6) throw std::runtime_error("Invalid state of a vorn.Function");
  return makeFunction(state[0].cast<int>(), state[1].cast<int>(), state[5], state[2].cast<std::string>(),
                      state[3].cast<std::vector<std::string>>(), state[4].cast<std::vector<std::string>>());
}

}  // namespace

const char* typeName(Type type) {
  for (std::size_t k = 0; k < std::size(kTypes); ++k)
    if (type == kTypes[k]) return kTypeNames[k];
  return "fd";
}

py::dict figuresDict(const Figures& fig) {
  py::dict d;
  d["terms"] = fig.terms;
  d["literals"] = fig.literals;
  d["outputCost"] = fig.outputCost;
  d["gates"] = fig.gates;
  d["gateEquivalents"] = fig.gateEquivalents;
  d["cost"] = fig.cost;
  return d;
}

void bindFunction(py::module_& m) {
  py::class_<Function>(m, "Function", R"(A multi-output function in sum-of-products form.

Function(inputs, outputs, terms, type="fr", *, input_labels=None, output_labels=None)

terms is a sequence of (input text, output text) pairs: the input part over
'0', '1', '-' and the output part over '0', '1', '-', '~', read by the type
(f, fd, fr, fdr or r) as a PLA file reads them.  A malformed function raises
vorn.Error.  Functions are immutable values.)")
      .def(py::init(&makeFunction), py::arg("inputs"), py::arg("outputs"), py::arg("terms"), py::arg("type") = "fr",
           py::kw_only(), py::arg("input_labels") = py::none(), py::arg("output_labels") = py::none())
      .def_property_readonly("inputs", [](const Function& f) { return f.inputs; })
      .def_property_readonly("outputs", [](const Function& f) { return f.outputs; })
      .def_property_readonly("type", [](const Function& f) { return typeName(f.type); })
      .def_property_readonly("terms", &termList, "The terms as (input text, output text) pairs, in order")
      .def_property_readonly("input_labels", [](const Function& f) { return labelsShown(f.inputLabels, f.inputs, 'x'); })
      .def_property_readonly("output_labels",
                             [](const Function& f) { return labelsShown(f.outputLabels, f.outputs, 'y'); })
      .def("__len__", [](const Function& f) { return f.terms.size(); })
      .def("__eq__", [](const Function& a, const Function& b) { return sameFunction(a, b); }, py::is_operator())
      .def("__repr__",
           [](const Function& f) {
             return "<vorn.Function: " + std::to_string(f.inputs) + " inputs, " + std::to_string(f.outputs) +
                    " outputs, type " + typeName(f.type) + ", " + std::to_string(f.terms.size()) + " terms>";
           })
      .def("to_pla", [](const Function& f) { return writePla(f); }, "The PLA text of the function")
      .def(
          "figures",
          [](const Function& f, const std::string& criterion) {
            return figuresDict(figures(f, criterionNamed(criterion)));
          },
          py::arg("criterion") = "literals",
          "The function's figures (terms, literals, outputCost, gates, gateEquivalents) and its cost by the criterion")
      .def("evaluate", &evaluateSamples, py::arg("X"), R"(The outputs of the function at samples of its inputs.

X is a boolean array of samples x inputs (or one sample); the result is a
boolean array of samples x outputs (or one row): True where the sample lies
in the output's on-set as the function gives it, that is where a term with
'1' at the output contains it (for type r: where no term with '0' does).)")
      .def(py::pickle(&stateOf, &fromState));
  m.def(
      "read_pla",
      [](const std::string& text) {
        std::vector<std::string> warnings;
        Function f = readPla(text, warnings);
        // What the program prints as a warning line is a Python warning here
        // (an exception where the warnings filter says "error").
        for (const std::string& w : warnings)
          if (PyErr_WarnEx(PyExc_UserWarning, w.c_str(), 1) != 0) throw py::error_already_set();
        return f;
      },
      py::arg("text"),
      "The function of a PLA text (not a file name), read as the program reads its files;\n"
      "the program's warnings (a short name line, terms going on over lines) are UserWarnings");
}

}  // namespace vorn::python
