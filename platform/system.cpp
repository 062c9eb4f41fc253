#include "platform/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <random>

namespace tq::platform {
namespace {

std::int64_t LocalOffset(std::time_t at) {
  std::tm local{};
  localtime_r(&at, &local);
  return local.tm_gmtoff;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<size_t>(n));
}

DesktopSize g_desktop;

}  // namespace

std::int32_t LocalNow() { return static_cast<std::int32_t>(UtcToLocal(std::time(nullptr))); }

std::int64_t UtcToLocal(std::int64_t utc) { return utc + LocalOffset(static_cast<std::time_t>(utc)); }

std::int64_t LocalToUtc(std::int64_t local) {
  // The offset at the local moment; a second pass settles changes of summer time.
  std::int64_t guess = local - LocalOffset(static_cast<std::time_t>(local));
  return local - LocalOffset(static_cast<std::time_t>(guess));
}

LocalTime CurrentLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

std::uint64_t FileSize(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool CreateFolder(const std::string& path) { return mkdir(path.c_str(), 0777) == 0 || IsFolder(path); }

std::optional<std::int64_t> ModificationTime(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec);
}

bool SetModificationTime(const std::string& path, std::int64_t utcSeconds) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // access time stays
  times[1].tv_sec = static_cast<time_t>(utcSeconds);
  times[1].tv_nsec = 0;
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string MakeTempBeside(const std::string& path) {
  std::string pattern = FolderOf(path) + ".tornquil-XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) return {};
  // mkstemp makes the file 0600; give it the permissions a plain create would.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  return pattern;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size, bool durable) {
  std::string temp = MakeTempBeside(path);
  if (temp.empty()) return false;
  int fd = open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  bool ok = fd >= 0;
  const char* p = static_cast<const char*>(data);
  std::size_t left = size;
  while (ok && left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (fd >= 0) {
    if (ok && durable && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
  }
  if (ok) ok = RenameFile(temp, path);
  if (!ok) RemoveFile(temp);
  return ok;
}

bool ReplaceFileAtomically(const std::string& path, bool (*write)(const std::string& temp, void* context),
                           void* context) {
  std::string temp = MakeTempBeside(path);
  if (temp.empty()) return false;
  bool ok = write(temp, context) && RenameFile(temp, path);
  if (!ok) RemoveFile(temp);
  return ok;
}

std::string ExecutableFolder() {
  std::string path = ExecutablePath();
  return path.empty() ? std::string() : FolderOf(path);
}

std::string ExecutableName() {
  std::string path = ExecutablePath();
  std::string name = path.substr(path.rfind('/') + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

int RandomNumber(int low, int high) {
  static std::mutex guard;
  static std::mt19937 engine{std::random_device{}()};
  std::lock_guard<std::mutex> lock(guard);
  return std::uniform_int_distribution<int>(low, high)(engine);
}

DesktopSize PrimaryDesktopSize() { return g_desktop; }
void SetPrimaryDesktopSize(DesktopSize size) { g_desktop = size; }

}  // namespace tq::platform
