// minimize and verify for Python.  A run holds no interpreter lock: it goes
// on a thread of its own while the calling thread waits with the lock
// released and, every few milliseconds, takes it back just long enough to
// let the interpreter handle its signals (only the main thread can) and to
// ask the caller's stop request.  Either raises a flag that the library's
// stop callback reads, so the run ends with its best cover.  The first
// KeyboardInterrupt is taken as that request and the run returns normally
// (marked interrupted); any other exception of a signal handler or of the
// stop request, or a second KeyboardInterrupt, is raised once the run has
// ended.
#include <pybind11/stl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "bindings.h"

namespace py = pybind11;

namespace vorn::python {

namespace {

/// How often a waiting caller looks at signals and its stop request: a stop feels immediate, and the
/// lock is taken too seldom to slow anything down.
constexpr std::chrono::milliseconds kWatchInterval{20};

struct CriterionName {
  const char* name;
  char letter;
  Criterion criterion;
};

constexpr CriterionName kCriteria[] = {
    {"terms", 't', Criterion::terms},
    {"literals", 'l', Criterion::literals},
    {"output_cost", 'o', Criterion::outputCost},
    {"literals_and_output_cost", 'b', Criterion::literalsAndOutputCost},
    {"gates", 'g', Criterion::gates},
    {"gate_equivalents", 'G', Criterion::gateEquivalents},
};

/// One run on its own thread, and what the waiting caller and the library's stop callback share.
struct Run {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::atomic<bool> stop{false};
  std::optional<Function> cover;
  MinimizeStats stats;
  std::exception_ptr error;
};

/// The exception the caller raises once the run has ended: held as the interpreter's error triple.
class PendingError {
 public:
  bool held() const { return static_cast<bool>(type_); }
  /// \brief Takes the interpreter's current error unless one is held already (then drops it).
  void take() {
    PyObject *type, *value, *trace;
    PyErr_Fetch(&type, &value, &trace);
    if (held()) {
      Py_XDECREF(type), Py_XDECREF(value), Py_XDECREF(trace);
      return;
    }
    type_ = py::reinterpret_steal<py::object>(type);
    value_ = py::reinterpret_steal<py::object>(value);
    trace_ = py::reinterpret_steal<py::object>(trace);
  }
  [[noreturn]] void raise() {
    PyErr_Restore(type_.release().ptr(), value_.release().ptr(), trace_.release().ptr());
    throw py::error_already_set();
  }

 private:
  py::object type_, value_, trace_;
};

/// What the waiting caller does at each look, with the lock held.
class Watcher {
 public:
  Watcher(Run& run, py::object stop) : run_(run), stop_(std::move(stop)) {}

  void look() {
    if (PyErr_CheckSignals() != 0) {
      if (PyErr_ExceptionMatches(PyExc_KeyboardInterrupt) && !interruptTaken_ && !pending_.held()) {
        interruptTaken_ = true;
        PyErr_Clear();
      } else {
        pending_.take();
      }
      run_.stop = true;
    }
    if (stop_.is_none() || run_.stop) return;
    try {
      const py::object answer = py::hasattr(stop_, "is_set") ? stop_.attr("is_set")() : stop_();
      if (PyObject_IsTrue(answer.ptr()) != 0) run_.stop = true;
    } catch (py::error_already_set& e) {
      e.restore();
      pending_.take();
      run_.stop = true;
    }
  }

  PendingError& pending() { return pending_; }

 private:
  Run& run_;
  py::object stop_;
  bool interruptTaken_ = false;
  PendingError pending_;
};

/// Waits for the run with the interpreter's lock released, looking at signals and the stop request.
void await(Run& run, Watcher& watcher) {
  py::gil_scoped_release release;
  std::unique_lock<std::mutex> lock(run.mutex);
  while (!run.ended.wait_for(lock, kWatchInterval, [&] { return run.done; })) {
    lock.unlock();
    {
      py::gil_scoped_acquire acquire;
      watcher.look();
    }
    lock.lock();
  }
}

MinimizeParams paramsOf(const std::string& criterion, std::optional<double> seconds, std::optional<int> iterations,
                        std::optional<long long> seed, bool refine, int jobs, bool exact) {
  MinimizeParams p;
  p.criterion = criterionNamed(criterion);
  p.seconds = seconds;
  p.iterations = iterations;
  if (seed) {
    if (*seed < 0 || *seed > 0xFFFFFFFFLL) throw py::value_error("seed must be from 0 to 4294967295");
    p.seed = static_cast<std::uint32_t>(*seed);
  }
  p.refine = refine;
  p.jobs = jobs;
  p.exact = exact;
  return p;
}

py::dict statsDict(const MinimizeStats& s) {
  py::list improvements;
  for (const Improvement& i : s.improvements) {
    py::dict d;
    d["iteration"] = i.iteration;
    d["seconds"] = i.seconds;
    d["cost"] = i.cost;
    d["refined"] = i.refined;
    improvements.append(d);
  }
  py::dict d;
  d["iterations"] = s.iterations;
  d["seconds"] = s.seconds;
  d["seed"] = s.seed;
  d["jobs"] = s.jobs;
  d["interrupted"] = s.interrupted;
  d["result"] = figuresDict(s.figures);
  d["improvements"] = improvements;
  if (s.exact) {
    py::dict core;
    core["rows"] = s.exact->coreRows;
    core["columns"] = s.exact->coreColumns;
    py::dict e;
    e["proven"] = s.exact->proven;
    e["lowerBound"] = s.exact->lowerBound;
    e["primes"] = s.exact->primes;
    e["cyclicCore"] = core;
    d["exact"] = e;
  }
  return d;
}

py::tuple minimizeFunction(const Function& f, const std::string& criterion, std::optional<double> seconds,
                           std::optional<int> iterations, std::optional<long long> seed, bool refine, int jobs,
                           bool exact, py::object stop) {
  MinimizeParams params = paramsOf(criterion, seconds, iterations, seed, refine, jobs, exact);
  Run run;
  params.stop = [&run] { return run.stop.load(std::memory_order_relaxed); };
  // The function is immutable from Python and the caller holds it, so the run may read it unlocked.
  std::thread runner([&run, &f, &params] {
    try {
      run.cover = minimize(f, params, &run.stats);
    } catch (...) {
      run.error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(run.mutex);
    run.done = true;
    run.ended.notify_all();
  });
  // Should anything below throw, the run is stopped and joined before its state goes away.
  struct Joiner {
    Run& run;
    std::thread& thread;
    ~Joiner() {
      run.stop = true;
      if (thread.joinable()) thread.join();
    }
  } joiner{run, runner};
  Watcher watcher(run, std::move(stop));
  await(run, watcher);
  runner.join();
  if (watcher.pending().held()) watcher.pending().raise();
  if (run.error) std::rethrow_exception(run.error);
  return py::make_tuple(std::move(*run.cover), statsDict(run.stats));
}

Verdict verifyCover(const Function& source, const Function& result) {
  py::gil_scoped_release release;
  return verify(source, result);
}

}  // namespace

Criterion criterionNamed(const std::string& name) {
  for (const CriterionName& c : kCriteria)
    if (name == c.name || name == std::string(1, c.letter)) return c.criterion;
  throw py::value_error("Unknown criterion '" + name +
                        "' (terms, literals, output_cost, literals_and_output_cost, gates, gate_equivalents)");
}

char criterionLetter(Criterion criterion) {
  for (const CriterionName& c : kCriteria)
    if (c.criterion == criterion) return c.letter;
  return '?';
}

void bindMinimize(py::module_& m) {
  m.def("minimize", &minimizeFunction, py::arg("function"), py::kw_only(), py::arg("criterion") = "literals",
        py::arg("seconds") = py::none(), py::arg("iterations") = py::none(), py::arg("seed") = py::none(),
        py::arg("refine") = true, py::arg("jobs") = 1, py::arg("exact") = false, py::arg("stop") = py::none(),
        "The run behind vorn.minimize: (cover, figures of the run)");
  py::class_<Verdict>(m, "Verdict", "Whether a cover is valid; false with the fault found first")
      .def_readonly("valid", &Verdict::valid)
      .def_readonly("fault", &Verdict::fault)
      .def("__bool__", [](const Verdict& v) { return v.valid; })
      .def("__repr__", [](const Verdict& v) {
        return v.valid ? std::string("<vorn.Verdict: valid>") : "<vorn.Verdict: invalid: " + v.fault + ">";
      });
  m.def("verify", &verifyCover, py::arg("source"), py::arg("result"),
        "Whether result covers every on-set minterm of source and stays inside its on-set and don't-care set");
}

}  // namespace vorn::python
