#include "model/pla.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <utility>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>

#include "model/destination_file.h"
#include "model/numbers.h"

namespace vorn {

ReadResult read(const std::string& path, const ProgressHooks& progress) {
  ReadResult r;
  // A folder opens like a file and reads as empty; say what it is instead of "holds no term".
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    r.reason = "cannot open " + path + ": " + std::strerror(EISDIR);
    return r;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    r.reason = "cannot open " + path + ": " + (errno ? std::strerror(errno) : "unknown error");
    return r;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    r.reason = "cannot read " + path + ": " + (errno ? std::strerror(errno) : "read error");
    return r;
  }
  r = readText(buffer.str(), progress);
  if (!r.function && r.error.empty()) r.reason = path + " " + r.reason;
  if (!r.error.empty()) r.error = path + ": " + r.error;
  for (std::string& w : r.warnings) w = path + ": " + w;
  return r;
}

std::string formatPla(const TBoolFnct& f, const WriterOptions& options, const ProgressHooks& progress) {
  std::string s;
  s.reserve(static_cast<std::size_t>(f.termCount) * (f.inputCount + f.outputCount + 2) + 256);
  s += ".i " + std::to_string(f.inputCount) + "\n";
  s += ".o " + std::to_string(f.outputCount) + "\n";
  s += ".p " + std::to_string(f.termCount) + "\n";
  if (options.writeLabels) {
    if (f.inputLabels) {
      s += ".ilb";
      for (int i = 0; i < f.inputCount; ++i) s += " " + (*f.inputLabels)[i];
      s += "\n";
    }
    if (f.outputLabels) {
      s += ".ob";
      for (int i = 0; i < f.outputCount; ++i) s += " " + (*f.outputLabels)[i];
      s += "\n";
    }
  }
  s += std::string(".type ") + typeName(f.type) + "\n";
  progress.begin("Saving PLA", f.termCount, 1);
  int index = 0;
  for (const TPfnct* t = f.head.get(); t; t = t->next.get()) {
    for (int i = 0; i < f.inputCount; ++i) s += t->input.get(i);
    s += ' ';
    s.append(t->output, 0, static_cast<std::size_t>(f.outputCount));
    s += '\n';
    if (progress.step(index++, 0) != 0) break;
  }
  s += ".e\n";
  progress.end();
  return s;
}

bool write(const TBoolFnct& f, const std::string& path, std::string& error, const WriterOptions& options,
           const ProgressHooks& progress) {
  const std::string text = formatPla(f, options, progress);
  if (path.empty()) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (!std::cout) {
      error = "Cannot write the result to standard output";
      return false;
    }
    return true;
  }
  return writeDestination(path, text, error);
}

}  // namespace vorn
