// The status line.  Minimization reports through the progress hooks: the
// driver opens one operation for the whole run ("Minimizing...") and steps it
// once per iteration with kind 1; everything inside it opens and closes its
// own operations.  On a terminal the hooks turn that into one line, redrawn
// in place with a carriage return at most ten times a second, that shows
// where the run stands against its limits and what the best cover costs.
// Step lines clear it, print, and draw it again below them, so it always
// stays the last line; the end of the run clears it before the report.
// Off a terminal nothing is drawn and the hooks stay the do-nothing ones.
#include "frontend/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>

#include "model/run_state.h"
#include "model/settings.h"

namespace vorn {

namespace {

using Clock = std::chrono::steady_clock;

thread_local bool quietRun = false;

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

class StatusLine {
 public:
  int begin(const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (depth_++ == 0 && message.rfind("Minimizing", 0) == 0) {
      running_ = true;
      start_ = Clock::now();
      iterations_ = 0;
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
    const Settings& s = settings();
    StatusFigures fig;
    fig.iteration = iterations_ + 1;
    if (s.stopOnIterations) {
      fig.iterationLimit = s.iterationLimit;
      if (fig.iteration > fig.iterationLimit) fig.iteration = fig.iterationLimit;
    }
    drawn_ = Clock::now();
    fig.seconds = std::chrono::duration<double>(drawn_ - start_).count();
    if (s.stopOnTime) fig.timeLimit = s.timeLimit;
    if (const TBuffers* run = runState(); run && run->best) {
      fig.bestCost = run->best->cost;
      fig.bestTerms = run->best->termCount;
    }
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
  Clock::time_point start_, drawn_;
};

StatusLine& statusLine() {
  static StatusLine line;
  return line;
}

bool installed = false;

}  // namespace

void setQuiet(bool q) { quietRun = q; }

bool quiet() { return quietRun; }

void printStepLine(const char* line) {
  if (quietRun) return;
  if (installed)
    statusLine().print(line);
  else
    std::fputs(line, stderr);
}

void installStatusLine() {
  installed = true;
  progress() = ProgressHooks{[](const std::string& message, int, int) { return statusLine().begin(message); },
                             [](int, int kind) { return statusLine().step(kind); }, [] { statusLine().end(); }};
}

bool statusLineInstalled() { return installed; }

void clearStatusLine() {
  if (installed) statusLine().clear();
}

std::string statusText(const StatusFigures& fig, int width) {
  std::string text = "Minimizing: iteration " + std::to_string(fig.iteration);
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
