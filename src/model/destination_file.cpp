// How a destination is written depends on what it is when the text is ready:
// - missing, or a regular file with one link: a temporary file is created
//   exclusively (O_CREAT|O_EXCL, which never follows a link) under a random
//   name in the destination's directory, written, synced, given the old
//   file's owner and mode (a new file gets 0666 less the umask, which the
//   kernel applies), and renamed into place.  Until the rename the old file
//   is untouched; after it the new text is complete.
// - a symbolic link: its target, followed link by link (a dangling link
//   too), is written as above, so the link stays a link.
// - a regular file with more than one hard link: a rename would split it
//   from its other names, so it is rewritten in place once the whole text is
//   ready.  Its space is reserved first, so a full disk leaves it untouched;
//   only an I/O error in the middle of the write can still damage it.
// - anything else (FIFO, character device, socket, and /dev/stdout and the
//   other names of open descriptors): written directly as a stream.
#include "model/destination_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <iostream>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {

namespace {

/// The temporary file of a write in progress, for a signal handler to remove.
/// Process-wide because the handler can reach nothing else (see interrupts.cpp).
char pendingTemporary[4096];
volatile std::sig_atomic_t havePendingTemporary = 0;
volatile std::sig_atomic_t wroteDestination = 0;

constexpr int kMaxLinkHops = 40;

/// Holds back SIGINT and SIGTERM in this thread for its lifetime; a signal that comes
/// meanwhile is delivered when it ends.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
  }
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

struct Descriptor {
  int fd = -1;
  explicit Descriptor(int d) : fd(d) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  /// Closes now, reporting the error a deferred write may surface at close.
  int close() {
    const int r = ::close(fd);
    fd = -1;
    return r == 0 ? 0 : errno;
  }
};

std::string directoryOf(const std::string& p) {
  const std::size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : p.substr(0, slash);
}

std::string baseOf(const std::string& p) {
  const std::size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

/// Writes the whole text at the descriptor's position; 0 or the error.
int writeAll(int fd, const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return 0;
}

/// Writes the whole text from offset 0; 0 or the error.
int writeAllAtStart(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

/// The descriptor a path names directly (/dev/stdout, /dev/fd/N, /proc/self/fd/N).
std::optional<int> descriptorNamed(const std::string& p) {
  if (p == "/dev/stdin") return 0;
  if (p == "/dev/stdout") return 1;
  if (p == "/dev/stderr") return 2;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"}) {
    const std::size_t n = std::strlen(prefix);
    if (p.compare(0, n, prefix) != 0 || p.size() == n || p.size() > n + 9) continue;
    int fd = 0;
    for (std::size_t i = n; i < p.size(); ++i) {
      if (p[i] < '0' || p[i] > '9') return std::nullopt;
      fd = fd * 10 + (p[i] - '0');
    }
    return fd;
  }
  return std::nullopt;
}

/// Writes to an open descriptor, in order with what the process's streams already hold.
int writeToDescriptor(int fd, const std::string& text) {
  if (fd == 1) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    return std::cout ? 0 : EIO;
  }
  std::cout.flush();
  std::fflush(stderr);
  return writeAll(fd, text);
}

/// Opens a device, FIFO or socket as it is and streams the text into it.
int writeStream(const std::string& path, const std::string& text) {
  int fd;
  do fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  Descriptor d(fd);
  if (const int e = writeAll(fd, text)) return e;
  return d.close();
}

std::string randomSuffix() {
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::uint64_t bits;
  try {
    std::random_device device;
    bits = (static_cast<std::uint64_t>(device()) << 32) ^ device();
  } catch (const std::exception&) {
    bits = static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(std::clock());
  }
  std::string s;
  for (int i = 0; i < 12; ++i, bits /= 36) s += digits[bits % 36];
  return s;
}

void remember(const std::string& temp) {
  havePendingTemporary = 0;
  const std::size_t n = std::min(temp.size(), sizeof pendingTemporary - 1);
  std::memcpy(pendingTemporary, temp.data(), n);
  pendingTemporary[n] = '\0';
  havePendingTemporary = temp.size() < sizeof pendingTemporary ? 1 : 0;
}

void syncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // the rename is done; a directory that cannot be synced is not an error
  ::fsync(fd);
  ::close(fd);
}

/// Fills an exclusively created temporary beside `target` and renames it onto `target`.
int replaceByRename(const std::string& target, const struct stat* existing, const std::string& text) {
  const std::string dir = directoryOf(target);
  // Keep the temporary name within the file-name limit whatever the destination's name.
  const std::string stem = dir + "/." + baseOf(target).substr(0, 160) + ".vorn-";
  std::string temp;
  int fd = -1;
  {
    // A signal between creating the temporary and remembering it would leave it behind.
    const SignalsHeld held;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      temp = stem + randomSuffix();
      fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, existing ? 0600 : 0666);
      if (fd < 0 && errno != EEXIST && errno != EINTR) return errno;
    }
    if (fd < 0) return EEXIST;
    remember(temp);
  }
  Descriptor d(fd);
  int e = writeAll(fd, text);
  if (!e && existing) {
    // Only a privileged run can give the file back to its owner; the mode comes after,
    // since a change of owner clears the set-id bits.
    if (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid())
      (void)!::fchown(fd, existing->st_uid, existing->st_gid);
    if (::fchmod(fd, existing->st_mode & 07777) != 0) e = errno;
  }
  if (!e && ::fsync(fd) != 0) e = errno;
  if (!e) e = d.close();
  {
    // Once renamed the name is the destination's: a handler must not remove it then.
    const SignalsHeld held;
    if (!e && ::rename(temp.c_str(), target.c_str()) != 0) e = errno;
    if (e) ::unlink(temp.c_str());
    havePendingTemporary = 0;
    if (!e) wroteDestination = 1;
  }
  if (e) return e;
  syncDirectory(dir);
  return 0;
}

/// Rewrites a file with several hard links through its own inode, so every name sees the new text.
int rewriteInPlace(const std::string& target, const struct stat& existing, const std::string& text) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno;
  Descriptor d(fd);
  if (!text.empty()) {
    const int r = ::posix_fallocate(fd, 0, static_cast<off_t>(text.size()));
    if (r != 0 && r != EOPNOTSUPP && r != EINVAL) {
      // Reserving may have grown the file; give it back its old length.
      (void)!::ftruncate(fd, existing.st_size);
      return r;
    }
  }
  if (const int e = writeAllAtStart(fd, text)) return e;
  if (::ftruncate(fd, static_cast<off_t>(text.size())) != 0) return errno;
  if (::fsync(fd) != 0) return errno;
  return d.close();
}

int writeTo(const std::string& path, const std::string& text) {
  std::string target = path;
  for (int hop = 0;; ++hop) {
    if (auto fd = descriptorNamed(target)) return writeToDescriptor(*fd, text);
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) {
      if (errno == ENOENT) return replaceByRename(target, nullptr, text);
      return errno;
    }
    if (S_ISLNK(st.st_mode)) {
      if (hop == kMaxLinkHops) return ELOOP;
      std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
      const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
      if (n < 0) return errno;
      if (static_cast<std::size_t>(n) >= link.size()) return ENAMETOOLONG;  // changed while read
      link.resize(static_cast<std::size_t>(n));
      target = !link.empty() && link[0] == '/' ? link : directoryOf(target) + "/" + link;
      continue;
    }
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return writeStream(path, text);
    // A file the user may not write is refused, not replaced behind its back; a privileged
    // user passes every access test, so a file without any write bit is refused for it too.
    if (::access(target.c_str(), W_OK) != 0) return errno;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    if (st.st_nlink > 1) return rewriteInPlace(target, st, text);
    return replaceByRename(target, &st, text);
  }
}

}  // namespace

bool writeDestination(const std::string& path, const std::string& text, std::string& error) {
  if (const int e = writeTo(path, text)) {
    error = "Cannot write file " + path + ": " + std::strerror(e);
    return false;
  }
  wroteDestination = 1;
  return true;
}

void discardPendingTemporary() {
  if (havePendingTemporary) ::unlink(pendingTemporary);
}

bool destinationWritten() { return wroteDestination != 0; }

}  // namespace vorn
