#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include <vorn/vorn.hpp>

#include "model/pla.h"
#include "support/cover_check.h"
#include "support/process.h"

namespace {

const std::string kAdder = std::string(VORN_SOURCE_DIR) + "/examples/adder.pla";
const std::string kGolden = std::string(VORN_SOURCE_DIR) + "/tests/golden/pla/";

const char kLabelled[] =
    "# comment\n.i 3\n.o 2\n.ilb a b c\n.ob f g\n.type fr\n"
    "11- 10\n0-1 01\n000 00\n.e\n";

vorn::test::PlainFunction plain(const vorn::Function& f) {
  vorn::test::PlainFunction p;
  p.inputs = f.inputs;
  p.outputs = f.outputs;
  const char* names[] = {"f", "fd", "fr", "fdr", "r"};
  p.type = names[static_cast<int>(f.type)];
  for (const vorn::Term& t : f.terms) {
    p.in.push_back(t.input);
    p.out.push_back(t.output);
  }
  return p;
}

std::string independentFault(const vorn::Function& source, const vorn::Function& cover) {
  return vorn::test::checkCover(plain(source), plain(cover));
}

std::string errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const vorn::Error& e) {
    return e.what();
  }
  return "<no error>";
}

vorn::Function function(int inputs, int outputs, vorn::Type type, std::vector<vorn::Term> terms) {
  vorn::Function f;
  f.inputs = inputs;
  f.outputs = outputs;
  f.type = type;
  f.terms = std::move(terms);
  return f;
}

}  // namespace

TEST(LibraryPla, ReadsTheFieldsOfTheText) {
  const vorn::Function f = vorn::readPla(kLabelled);
  EXPECT_EQ(f.inputs, 3);
  EXPECT_EQ(f.outputs, 2);
  EXPECT_EQ(f.type, vorn::Type::fr);
  EXPECT_EQ(f.inputLabels, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(f.outputLabels, (std::vector<std::string>{"f", "g"}));
  ASSERT_EQ(f.terms.size(), 3u);
  EXPECT_EQ(f.terms[1].input, "0-1");
  EXPECT_EQ(f.terms[1].output, "01");
  // A stream gives the same function.
  std::istringstream in(kLabelled);
  EXPECT_EQ(vorn::writePla(vorn::readPla(in)), vorn::writePla(f));
}

TEST(LibraryPla, GivesTheWarningsTheProgramPrints) {
  std::vector<std::string> warnings = {"stale"};
  const vorn::Function f = vorn::readPla(".i 3\n.o 2\n.ob f\n000\n11\n.e\n", warnings);
  EXPECT_EQ(f.outputLabels, (std::vector<std::string>{"f", "y1"}));
  EXPECT_EQ(warnings, (std::vector<std::string>{"line 3: warning: .ob names 1 of 2 outputs; the others get default names",
                                                "line 4: warning: the term goes on to line 5"}));
  vorn::readPla(kLabelled, warnings);
  EXPECT_TRUE(warnings.empty());
}

TEST(LibraryPla, WritesWhatTheProgramWrites) {
  for (const char* file : {"dc1.pla", "dk27.pla", "wim.pla"}) {
    const std::string text = vorn::test::readFile(kGolden + file);
    const vorn::ReadResult r = vorn::readText(text);
    ASSERT_TRUE(r.function) << file;
    EXPECT_EQ(vorn::writePla(vorn::readPla(text)), vorn::formatPla(*r.function)) << file;
  }
  // Without labels, the reader's default names.
  const vorn::Function f = function(2, 1, vorn::Type::f, {{"1-", "1"}});
  EXPECT_EQ(vorn::writePla(f), ".i 2\n.o 1\n.p 1\n.ilb x0 x1\n.ob y0\n.type f\n1- 1\n.e\n");
  std::ostringstream out;
  vorn::writePla(f, out);
  EXPECT_EQ(out.str(), vorn::writePla(f));
}

TEST(LibraryPla, RefusesMalformedTextsAndValues) {
  EXPECT_EQ(errorOf([] { vorn::readPla(".i 2\n.o 1\n.e\n"); }), "The PLA text holds no term");
  EXPECT_EQ(errorOf([] { vorn::readPla(".i 2\n.o 1\n.mv 3\n01 1\n"); }),
            "line 3: the keyword .mv (multiple-valued variables) cannot be read");
  auto bad = [](vorn::Function f) { return errorOf([&] { vorn::writePla(f); }); };
  EXPECT_EQ(bad(function(3, 1, vorn::Type::fd, {{"1-", "1"}})), "term 1: the input part has 2 characters instead of 3");
  EXPECT_EQ(bad(function(2, 1, vorn::Type::fd, {{"1-", "1"}, {"12", "1"}})),
            "term 2: the input part holds '2', which is none of 0 1 - ~");
  EXPECT_EQ(bad(function(2, 2, vorn::Type::fd, {{"1-", "1"}})), "term 1: the output part has 1 characters instead of 2");
  EXPECT_EQ(bad(function(-1, 1, vorn::Type::fd, {})), "Number of inputs out of range: -1 (0 to 64999 allowed)");
  vorn::Function labels = function(2, 1, vorn::Type::fd, {{"1-", "1"}});
  labels.inputLabels = {"a"};
  EXPECT_EQ(bad(labels), "1 input labels for 2 inputs");
  labels.inputLabels = {"a", "b c"};
  EXPECT_EQ(bad(labels), "input label 2 is empty or holds a blank");
}

TEST(LibraryFigures, CountsTheFiveFiguresAndTheCost) {
  // 1-0 feeds both outputs, 11- only the first: 4 literals, 3 output connections.
  const vorn::Function f = function(3, 2, vorn::Type::fd, {{"1-0", "11"}, {"11-", "10"}});
  const vorn::Figures literals = vorn::figures(f);
  EXPECT_EQ(literals.terms, 2);
  EXPECT_EQ(literals.literals, 4);
  EXPECT_EQ(literals.outputCost, 3);
  EXPECT_EQ(literals.gates, 3);            // one AND each, one OR
  EXPECT_EQ(literals.gateEquivalents, 6);  // 4 + 3, less the output fed by one term
  EXPECT_EQ(literals.cost, 4);
  EXPECT_EQ(vorn::figures(f, vorn::Criterion::literalsAndOutputCost).cost, 7);
  EXPECT_EQ(vorn::figures(f, vorn::Criterion::terms).cost, 2);
}

TEST(LibraryMinimize, TheSnippetGivesAValidCoverWithItsFigures) {
  const std::string text = vorn::test::readFile(kAdder);
  auto f = vorn::readPla(text);
  vorn::MinimizeParams p;
  p.refine = true;
  p.seed = 1;
  vorn::MinimizeStats stats;
  auto cover = vorn::minimize(f, p, &stats);
  std::string out = vorn::writePla(cover);

  EXPECT_EQ(independentFault(f, cover), "");
  EXPECT_TRUE(vorn::verify(f, cover));
  EXPECT_EQ(cover.type, vorn::Type::fd);
  EXPECT_EQ(cover.inputLabels, f.inputLabels);
  EXPECT_EQ(stats.seed, 1u);
  EXPECT_EQ(stats.iterations, 1);
  EXPECT_EQ(stats.jobs, 1);
  EXPECT_FALSE(stats.interrupted);
  const vorn::Figures fig = vorn::figures(cover);
  EXPECT_EQ(stats.figures.literals, fig.literals);
  EXPECT_EQ(stats.figures.terms, fig.terms);
  EXPECT_EQ(stats.figures.cost, fig.literals);
  ASSERT_FALSE(stats.improvements.empty());
  EXPECT_EQ(stats.improvements.back().cost, stats.figures.cost);
  // The same seed gives the same cover.
  EXPECT_EQ(vorn::writePla(vorn::minimize(f, p)), out);
}

TEST(LibraryMinimize, GivesTheProgramsCover) {
  for (const char* file : {"dc1.pla", "p82.pla"}) {
    const auto run = vorn::test::runVorn({"-q", "-Si3", "-seed5", "-QG", "-refine", kGolden + file});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    vorn::MinimizeParams p;
    p.iterations = 3;
    p.seed = 5;
    p.refine = true;
    p.criterion = vorn::Criterion::gateEquivalents;
    EXPECT_EQ(vorn::writePla(vorn::minimize(vorn::readPla(vorn::test::readFile(kGolden + file)), p)), run.out) << file;
  }
}

TEST(LibraryMinimize, LeavesItsArgumentAsItWas) {
  const vorn::Function f = vorn::readPla(vorn::test::readFile(kAdder));
  const vorn::Function copy = f;
  vorn::minimize(f);
  EXPECT_EQ(vorn::writePla(f), vorn::writePla(copy));
}

TEST(LibraryMinimize, TakesEveryType) {
  const std::vector<vorn::Term> terms = {{"11-0", "10"}, {"0-11", "01"}, {"1-1-", "1-"}, {"00--", "0-"}};
  for (vorn::Type type : {vorn::Type::f, vorn::Type::fd, vorn::Type::fdr, vorn::Type::r}) {
    const vorn::Function f = function(4, 2, type, terms);
    vorn::MinimizeParams p;
    p.seed = 3;
    p.iterations = 2;
    const vorn::Function cover = vorn::minimize(f, p);
    EXPECT_EQ(independentFault(f, cover), "") << static_cast<int>(type);
    EXPECT_TRUE(vorn::verify(f, cover)) << static_cast<int>(type);
  }
}

TEST(LibraryMinimize, RefusesWithTheProgramsMessages) {
  const vorn::Function conflict = function(2, 1, vorn::Type::fr, {{"1-", "1"}, {"-1", "0"}});
  EXPECT_EQ(errorOf([&] { vorn::minimize(conflict); }),
            "Cannot minimize an inconsistent function: term 1 (1) and term 2 (0) intersect at output y0");
  const vorn::Function tilde = function(2, 1, vorn::Type::fd, {{"1-", "1"}, {"~1", "1"}});
  EXPECT_EQ(errorOf([&] { vorn::minimize(tilde); }), "Cannot minimize: the input part of term 2 holds '~'");
  const vorn::Function f = function(2, 1, vorn::Type::fd, {{"1-", "1"}});
  auto with = [&](auto set) {
    vorn::MinimizeParams p;
    set(p);
    return errorOf([&] { vorn::minimize(f, p); });
  };
  EXPECT_EQ(with([](auto& p) { p.jobs = 0; }), "Invalid job count 0 (expected a number from 1 to 256)");
  EXPECT_EQ(with([](auto& p) { p.iterations = 0; }), "Invalid iteration limit 0 (at least 1)");
  EXPECT_EQ(with([](auto& p) { p.seconds = -1; }), "Invalid time limit (a number of seconds from 0)");
  EXPECT_EQ(with([](auto& p) { p.solver = static_cast<vorn::Solver>(7); }), "Unknown CP solution method (7)");
  try {
    vorn::minimize(conflict);
  } catch (const vorn::Error& e) {
    EXPECT_EQ(e.exitCode(), 1);
  }
}

TEST(LibraryMinimize, TheStopCallbackEndsTheRunWithItsBestCover) {
  const vorn::Function f = vorn::readPla(vorn::test::readFile(kGolden + "dc1.pla"));
  vorn::MinimizeParams p;
  p.iterations = 1000000000;
  p.seed = 2;
  std::atomic<int> asked{0};
  p.stop = [&] { return ++asked >= 3; };
  vorn::MinimizeStats stats;
  const vorn::Function cover = vorn::minimize(f, p, &stats);
  EXPECT_TRUE(stats.interrupted);
  EXPECT_GE(asked.load(), 3);
  EXPECT_EQ(independentFault(f, cover), "");
  // A callback that throws ends the run, and its exception reaches the caller.
  p.stop = []() -> bool { throw std::runtime_error("from the callback"); };
  EXPECT_THROW(vorn::minimize(f, p), std::runtime_error);
}

TEST(LibraryMinimize, JobsRunSeveralSeedsAndKeepTheCheapest) {
  const vorn::Function f = vorn::readPla(vorn::test::readFile(kGolden + "p82.pla"));
  vorn::MinimizeParams p;
  p.seed = 11;
  p.iterations = 2;
  p.jobs = 3;
  vorn::MinimizeStats stats;
  const vorn::Function cover = vorn::minimize(f, p, &stats);
  EXPECT_EQ(stats.jobs, 3);
  EXPECT_EQ(stats.iterations, 6);
  EXPECT_GE(stats.seed, 11u);
  EXPECT_LE(stats.seed, 13u);
  EXPECT_EQ(independentFault(f, cover), "");
  // The winner is the single run of its seed.
  p.jobs = 1;
  p.seed = stats.seed;
  EXPECT_EQ(vorn::writePla(vorn::minimize(f, p)), vorn::writePla(cover));
}

TEST(LibraryMinimize, ExactRunProvesItsMinimum) {
  // Minterms 0, 1, 2, 5, 6, 7 of three inputs: six primes in a ring, three of them a minimum cover.
  const vorn::Function f = function(3, 1, vorn::Type::fr,
                                    {{"000", "1"}, {"001", "1"}, {"010", "1"}, {"101", "1"}, {"110", "1"},
                                     {"111", "1"}, {"011", "0"}, {"100", "0"}});
  vorn::MinimizeParams p;
  p.exact = true;
  p.criterion = vorn::Criterion::terms;
  vorn::MinimizeStats stats;
  const vorn::Function result = vorn::minimize(f, p, &stats);
  EXPECT_TRUE(vorn::verify(f, result));
  ASSERT_TRUE(stats.exact);
  EXPECT_TRUE(stats.exact->proven);
  EXPECT_EQ(stats.exact->lowerBound, 3);
  EXPECT_EQ(stats.figures.terms, 3);
  std::ostringstream report;
  stats.report(report);
  EXPECT_EQ(report.str().rfind("Minimum proven\nElapsed time: ", 0), 0u);
}

TEST(LibraryMinimize, CallsOnSeveralThreadsGiveTheirSerialCovers) {
  const std::vector<std::string> files = {"dc1.pla", "p82.pla", "wim.pla", "dk27.pla"};
  std::vector<vorn::Function> sources;
  for (const std::string& file : files) sources.push_back(vorn::readPla(vorn::test::readFile(kGolden + file)));
  vorn::MinimizeParams p;
  p.seed = 9;
  p.iterations = 2;
  p.refine = true;
  std::vector<std::string> serial, parallel(files.size());
  for (const vorn::Function& f : sources) serial.push_back(vorn::writePla(vorn::minimize(f, p)));
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < files.size(); ++k)
    threads.emplace_back([&, k] { parallel[k] = vorn::writePla(vorn::minimize(sources[k], p)); });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(parallel, serial);
}

TEST(LibraryStats, ReportsAsTheProgramDoes) {
  vorn::MinimizeStats st;
  st.seconds = 1.25;
  st.iterations = 4;
  st.figures = {5, 12, 7, 14, 17, 12};
  std::ostringstream out;
  st.report(out);
  EXPECT_EQ(out.str(), "Elapsed time: 1.250 s\nIterations: 4\nTerms: 5\nLiterals: 12\nOutput cost: 7\nGates: 14\nGEs: 17\n\n");
}

TEST(LibraryVerify, JudgesCoversAndRefusesMismatches) {
  const vorn::Function f = function(3, 1, vorn::Type::fr, {{"11-", "1"}, {"0--", "0"}});
  EXPECT_TRUE(vorn::verify(f, function(3, 1, vorn::Type::fd, {{"1--", "1"}})));
  const vorn::Verdict v = vorn::verify(f, function(3, 1, vorn::Type::fd, {{"111", "1"}}));
  EXPECT_FALSE(v);
  EXPECT_EQ(v.fault, "output y0: the on-set cube 11- is not covered");
  EXPECT_EQ(errorOf([&] { vorn::verify(f, function(3, 2, vorn::Type::fd, {})); }),
            "Cannot verify: the source has 3 inputs and 1 outputs, the result 3 inputs and 2 outputs");
  EXPECT_EQ(errorOf([&] { vorn::verify(f, function(3, 1, vorn::Type::fd, {{"1~-", "1"}})); }),
            "Cannot verify: the input part of term 1 of the result holds '~'");
}
