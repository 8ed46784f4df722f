// The status line.  Minimization reports through the progress hooks: the
// driver opens one operation for the whole run ("Minimizing...") and steps it
// once per iteration with kind 1; everything inside it opens and closes its
// own operations.  On a terminal the hooks turn that into one line, redrawn
// in place with a carriage return at most ten times a second, that shows
// where the run stands against its limits and what the best cover costs.
// Step lines clear it, print, and draw it again below them, so it always
// stays the last line; the end of the run clears it before the report.
// Off a terminal nothing is drawn and the hooks are the do-nothing ones.
// The driver tells the line of every best cover it keeps.
#include "frontend/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>


namespace vorn {

namespace {

using Clock = std::chrono::steady_clock;

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

int terminalWidth() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

class StatusLine {
 public:
  void setLimits(const Settings& s) {
    std::lock_guard<std::mutex> lock(mutex_);
    iterationLimit_ = s.stopOnIterations ? s.iterationLimit : 0;
    timeLimit_ = s.stopOnTime ? s.timeLimit : -1.0;
    showPhase_ = s.refine != 0;
    refiningAt_ = 0;
    bestCost_ = -1;
    bestTerms_ = 0;
  }

  void setBest(const TBoolFnct& best) {
    std::lock_guard<std::mutex> lock(mutex_);
    bestCost_ = best.cost;
    bestTerms_ = best.termCount;
    if (running_) draw();
  }

  int begin(const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (depth_++ == 0 && message.rfind("Minimizing", 0) == 0) {
      running_ = true;
      start_ = Clock::now();
      iterations_ = 0;
      draw();
    } else if (running_ && refiningAt_ == 0 && message.rfind("Refining", 0) == 0) {
      refiningAt_ = depth_;
      draw();
    }
    return 0;
  }

  int step(int kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_) return 0;
    if (kind == 1) ++iterations_;
    if (Clock::now() - drawn_ >= std::chrono::milliseconds(100)) draw();
    return 0;
  }

  void end() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (refiningAt_ > 0 && depth_ == refiningAt_) {
      refiningAt_ = 0;
      if (running_) draw();
    }
    if (depth_ > 0 && --depth_ == 0 && running_) {
      running_ = false;
      erase();
    }
  }

  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    erase();
  }

  /// Prints a line above the status line.
  void print(const char* line) {
    std::lock_guard<std::mutex> lock(mutex_);
    erase();
    std::fputs(line, stderr);
    if (running_) draw();
  }

 private:
  void draw() {
    StatusFigures fig;
    fig.iteration = iterations_ + 1;
    if (iterationLimit_ > 0) {
      fig.iterationLimit = iterationLimit_;
      if (fig.iteration > fig.iterationLimit) fig.iteration = fig.iterationLimit;
    }
    drawn_ = Clock::now();
    fig.seconds = std::chrono::duration<double>(drawn_ - start_).count();
    fig.timeLimit = timeLimit_;
    fig.bestCost = bestCost_;
    fig.bestTerms = bestTerms_;
    if (showPhase_) fig.phase = refiningAt_ > 0 ? "refinement" : "search";
    const std::string text = statusText(fig, terminalWidth() - 1);
    std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
    std::fflush(stderr);
    shown_ = true;
  }

  void erase() {
    if (!shown_) return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    shown_ = false;
  }

  std::mutex mutex_;
  int depth_ = 0;
  bool running_ = false, shown_ = false;
  int iterations_ = 0;
  int iterationLimit_ = 0;
  bool showPhase_ = false;  ///< with -refine: the line says whether the search or the refinement runs
  int refiningAt_ = 0;      ///< the depth of the refinement's begin while it runs, else 0
  double timeLimit_ = -1.0;
  long long bestCost_ = -1;
  int bestTerms_ = 0;
  Clock::time_point start_, drawn_;
};

Console::Console(bool quiet) : quiet_(quiet) {}

Console::~Console() = default;

void Console::showStatusLine() {
  if (!quiet_ && !line_) line_ = std::make_unique<StatusLine>();
}

void Console::clearStatusLine() {
  if (line_) line_->clear();
}

void Console::printStepLine(const char* line) {
  if (quiet_) return;
  if (line_)
    line_->print(line);
  else
    std::fputs(line, stderr);
}

ProgressHooks Console::progressHooks(const Settings& settings) {
  if (!line_) return quietHooks();
  StatusLine* line = line_.get();
  line->setLimits(settings);
  return ProgressHooks{[line](const std::string& message, int, int) { return line->begin(message); },
                       [line](int, int kind) { return line->step(kind); }, [line] { line->end(); }};
}

std::function<void(const char*)> Console::stepPrinter() {
  if (quiet_) return nullptr;
  return [this](const char* line) { printStepLine(line); };
}

std::function<void(const TBoolFnct&)> Console::bestCoverListener() {
  if (!line_) return nullptr;
  StatusLine* line = line_.get();
  return [line](const TBoolFnct& best) { line->setBest(best); };
}

std::string statusText(const StatusFigures& fig, int width) {
  std::string text = fig.phase.empty() ? "Minimizing: " : "Minimizing (" + fig.phase + "): ";
  text += "iteration " + std::to_string(fig.iteration);
  if (fig.iterationLimit > 0) text += "/" + std::to_string(fig.iterationLimit);
  text += ", " + number(fig.seconds);
  if (fig.timeLimit >= 0) text += "/" + number(fig.timeLimit);
  text += " s, best cost ";
  text += fig.bestCost < 0 ? std::string("-") : std::to_string(fig.bestCost) + " (" + std::to_string(fig.bestTerms) +
                                                    (fig.bestTerms == 1 ? " term)" : " terms)");
  if (width >= 0 && static_cast<int>(text.size()) > width) text.resize(static_cast<std::size_t>(width));
  return text;
}

}  // namespace vorn
