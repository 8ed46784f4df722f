#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <regex>
#include <set>

#include "frontend/cli.h"
#include "frontend/console.h"
#include "support/oracle.h"
#include "support/json_value.h"
#include "support/process.h"

using namespace vorn;

namespace {
const char kFr[] = ".i 4\n.o 2\n.type fr\n0000 10\n0011 11\n1-1- 01\n1100 00\n01-1 1~\n0-10 01\n";

struct PtyRun {
  int exitCode = -1;
  std::string terminal;  ///< what the program wrote to its standard error, a terminal
};

// Runs the program with standard error on a pseudo-terminal and standard
// output in `outPath`.
PtyRun runOnTerminal(const std::vector<std::string>& args, const std::string& outPath) {
  PtyRun r;
  int master = -1, slave = -1;
  winsize size{};
  size.ws_col = 200;
  size.ws_row = 24;
  if (::openpty(&master, &slave, nullptr, nullptr, &size) != 0) return r;
  std::vector<std::string> argv = {VORN_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargs;
  for (std::string& a : argv) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(slave, 2);
    ::close(master);
    ::execv(cargs[0], cargs.data());
    ::_exit(127);
  }
  ::close(slave);
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the program has closed the terminal
    r.terminal.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(master);
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

const std::regex kReport(
    "Elapsed time: [0-9]+\\.[0-9]{3} s\r?\nIterations: 3\r?\nTerms: [0-9]+\r?\nLiterals: [0-9]+\r?\n"
    "Output cost: [0-9]+\r?\nGates: [0-9]+\r?\nGEs: [0-9]+\r?\n\r?\n");
}  // namespace

TEST(StatusLine, ShowsProgressAgainstTheLimitsAndTheBestCover) {
  StatusFigures fig;
  fig.iteration = 3;
  fig.iterationLimit = 10;
  fig.seconds = 1.25;
  EXPECT_EQ(statusText(fig, 200), "Minimizing: iteration 3/10, 1.2 s, best cost -");
  fig.timeLimit = 5;
  fig.bestCost = 42;
  fig.bestTerms = 1;
  EXPECT_EQ(statusText(fig, 200), "Minimizing: iteration 3/10, 1.2/5.0 s, best cost 42 (1 term)");
  fig.iterationLimit = 0;
  fig.bestTerms = 7;
  EXPECT_EQ(statusText(fig, 200), "Minimizing: iteration 3, 1.2/5.0 s, best cost 42 (7 terms)");
  EXPECT_EQ(statusText(fig, 21), "Minimizing: iteration");  // never wider than the terminal
  EXPECT_EQ(statusText(fig, 0), "");
}

TEST(StatusLine, NamesThePhaseWhenTheRunRefines) {
  StatusFigures fig;
  fig.iteration = 2;
  fig.seconds = 0.5;
  fig.timeLimit = 10;
  fig.bestCost = 7;
  fig.bestTerms = 3;
  fig.phase = "search";
  EXPECT_EQ(statusText(fig, 200), "Minimizing (search): iteration 2, 0.5/10.0 s, best cost 7 (3 terms)");
  fig.phase = "refinement";
  EXPECT_EQ(statusText(fig, 200), "Minimizing (refinement): iteration 2, 0.5/10.0 s, best cost 7 (3 terms)");
}

/// A sampled function of 7 inputs (x0 x1 + x2 x3' + x4 x5 x6' on 60 random minterms) whose first
/// cover the refinement makes cheaper.
std::string sampledSource() {
  std::mt19937 rng(7);
  std::string text = ".i 7\n.o 1\n.type fr\n";
  std::set<std::string> seen;
  for (int k = 0; k < 60; ++k) {
    std::string m;
    for (int i = 0; i < 7; ++i) m += "01"[rng() % 2];
    if (!seen.insert(m).second) continue;
    const bool on = (m[0] == '1' && m[1] == '1') || (m[2] == '1' && m[3] == '0') ||
                    (m[4] == '1' && m[5] == '1' && m[6] == '0');
    text += m + (on ? " 1\n" : " 0\n");
  }
  return text + ".e\n";
}

TEST(StatusLine, ShowsTheRefinementAndItsCheaperCovers) {
  const std::string src = test::writeFile(test::tempPath("tty_refine.pla"), sampledSource());
  const std::string out = test::tempPath("tty_refine_out.txt"), json = test::tempPath("tty_refine.json");
  const PtyRun r = runOnTerminal({"-Si2", "-refine", "-seed1", "-stats" + json, src}, out);
  ASSERT_EQ(r.exitCode, 0) << r.terminal;
  const std::string& t = r.terminal;
  EXPECT_NE(t.find("\rMinimizing (search): iteration 1/2, "), std::string::npos) << t;
  const std::size_t refining = t.find("Minimizing (refinement): iteration 1/2, ");
  ASSERT_NE(refining, std::string::npos) << t;
  test::JsonValue v;
  std::string error;
  ASSERT_TRUE(test::parseJson(test::readFile(json), v, error)) << error;
  const auto& improvements = v["improvements"].items;
  ASSERT_GE(improvements.size(), 2u);
  EXPECT_FALSE(improvements.front()["refined"].boolean);
  // Every cheaper cover the refinement made is in the statistics and was shown on the line.
  int refined = 0;
  for (const auto& i : improvements) {
    if (!i["refined"].boolean) continue;
    ++refined;
    EXPECT_NE(t.find("best cost " + std::to_string(i["cost"].integer()) + " ", refining), std::string::npos)
        << i["cost"].integer() << "\n" << t;
  }
  EXPECT_GE(refined, 1);
  EXPECT_EQ(improvements.back()["cost"].integer(), v["result"]["cost"].integer());
  std::remove(out.c_str());
  std::remove(json.c_str());
}

TEST(StatusLine, DrawnOnATerminalAndClearedBeforeTheReport) {
  const std::string src = test::writeFile(test::tempPath("tty.pla"), kFr);
  const std::string out = test::tempPath("tty_out.txt");
  const PtyRun r = runOnTerminal({"-Si3", "-FR0", src}, out);
  ASSERT_EQ(r.exitCode, 0) << r.terminal;
  const std::string& t = r.terminal;
  EXPECT_NE(t.find("\rMinimizing: iteration 1/3, "), std::string::npos) << t;
  EXPECT_NE(t.find("Minimizing: iteration 3/3, "), std::string::npos) << t;
  // Every step line comes after the status line has been erased.
  EXPECT_NE(t.find("\r\x1b[KCDmin step started .. "), std::string::npos) << t;
  const std::size_t report = t.find("\r\x1b[KElapsed time: ");
  ASSERT_NE(report, std::string::npos) << t;
  EXPECT_EQ(t.find("Minimizing: ", report), std::string::npos);
  EXPECT_TRUE(std::regex_match(t.substr(report + 4), kReport)) << t.substr(report);
  // The result on standard output is untouched by the terminal.
  const auto source = test::pla(kFr);
  const auto result = test::pla(test::readFile(out));
  EXPECT_EQ(test::checkCover(*source, *result), "");
  std::remove(out.c_str());
}

TEST(StatusLine, ParallelRunsShowTheFirstRun) {
  const std::string src = test::writeFile(test::tempPath("tty_j.pla"), kFr);
  const std::string out = test::tempPath("tty_j_out.txt");
  const PtyRun r = runOnTerminal({"-j2", "-Si3", "-FR0", src}, out);
  ASSERT_EQ(r.exitCode, 0) << r.terminal;
  EXPECT_NE(r.terminal.find("Minimizing: iteration 3/3, "), std::string::npos) << r.terminal;
  const std::size_t report = r.terminal.find("\r\x1b[KElapsed time: ");
  ASSERT_NE(report, std::string::npos) << r.terminal;
  EXPECT_EQ(r.terminal.find("Minimizing: ", report), std::string::npos);
  std::remove(out.c_str());
}

TEST(StatusLine, AbsentWhenStandardErrorIsAFile) {
  const std::string src = test::writeFile(test::tempPath("notty.pla"), kFr);
  const auto r = test::runVorn({"-Si3", "-FR0", src});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err.find('\r'), std::string::npos);
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
  EXPECT_EQ(r.err.find("Minimizing: "), std::string::npos);
  std::string steps;
  for (int i = 0; i < 3; ++i) steps += "CDmin step started .. \n\n";
  EXPECT_EQ(r.err.rfind(test::banner() + "Input function: " + src + "\nFunction type: fr\nInput variables: 4\n"
                            "Output variables: 2\nDefined terms: 6\n\nMinimizing...\n\n" + steps + "Elapsed time: ",
                        0),
            0u)
      << r.err;
}

TEST(Quiet, LeavesOnlyTheReportAndTheResult) {
  const std::string src = test::writeFile(test::tempPath("quiet.pla"), kFr);
  const std::string dst = test::tempPath("quiet_out.pla");
  auto r = test::runVorn({"-Si3", "-q", src, dst});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_TRUE(std::regex_match(r.err, kReport)) << r.err;
  EXPECT_EQ(r.out, "");
  const auto source = test::pla(kFr);
  EXPECT_EQ(test::checkCover(*source, *test::pla(test::readFile(dst))), "");
  r = test::runVorn({"-q", "-Si3", src});
  EXPECT_TRUE(std::regex_match(r.err, kReport)) << r.err;
  EXPECT_EQ(test::checkCover(*source, *test::pla(r.out)), "");
  // On a terminal: no banner, no summary, no step lines, no status line.
  const PtyRun t = runOnTerminal({"-q", "-Si3", src, dst}, test::tempPath("quiet_tty_out.txt"));
  EXPECT_EQ(t.exitCode, 0);
  EXPECT_TRUE(std::regex_match(t.terminal, kReport)) << t.terminal;
  std::remove(dst.c_str());
  std::remove(test::tempPath("quiet_tty_out.txt").c_str());
}

TEST(Quiet, MessagesAndModeResultsStay) {
  const std::string src = test::writeFile(test::tempPath("quiet_modes.pla"), kFr);
  auto r = test::runVorn({"-q", "-Tcheck", src});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Function is consistent\n");
  r = test::runVorn({"-q", "-info", src});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("Terms: 6\n", 0), 0u);
  r = test::runVorn({"-q", "-CP7", src});  // a validation failure
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Unknown CP solution method (7)\n");
  r = test::runVorn({"-q", "/nonexistent/q.pla"});  // the reason names the source
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "File not found\ncannot open /nonexistent/q.pla: No such file or directory\n");
  r = test::runVornOnTerminal({"-q"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, usageText());
  r = test::runVorn({"-qx", src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "Unknown parameter -qx\n");
}

TEST(ConsoleObject, HooksAndListenersFollowWhatIsShown) {
  Settings s;
  s.stopOnIterations = 1;
  s.iterationLimit = 10;
  // Quiet: no step lines, no status line, do-nothing hooks.
  Console quietConsole(true);
  quietConsole.showStatusLine();
  EXPECT_FALSE(quietConsole.statusLineShown());
  EXPECT_FALSE(quietConsole.stepPrinter());
  EXPECT_FALSE(quietConsole.bestCoverListener());
  testing::internal::CaptureStderr();
  quietConsole.progressHooks(s).begin("Minimizing...", 10, 1);
  quietConsole.printStepLine("CDmin step started .. \n\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  // Shown: the run's limits come from the settings it is given, the best cost from the listener.
  Console console(false);
  console.showStatusLine();
  ASSERT_TRUE(console.statusLineShown());
  const ProgressHooks hooks = console.progressHooks(s);
  const auto listener = console.bestCoverListener();
  ASSERT_TRUE(listener);
  auto best = test::pla(kFr);
  best->cost = 42;
  testing::internal::CaptureStderr();
  hooks.begin("Minimizing...", 10, 1);
  listener(*best);
  console.printStepLine("CDmin step started .. \n\n");
  hooks.end();
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("Minimizing: iteration 1/10, "), std::string::npos) << shown;
  EXPECT_NE(shown.find("CDmin step started .. \n\n\rMinimizing: iteration 1/10, "), std::string::npos) << shown;
  EXPECT_NE(shown.find("best cost 42 (6 terms)"), std::string::npos) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1b[K");  // the end of the run takes the line away
}
