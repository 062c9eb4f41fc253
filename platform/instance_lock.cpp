#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tq::platform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// A folder of the shared temp folder is only trusted when it is ours, a real
// folder and closed to others: anyone could have made it first.
bool OwnPrivateFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0077) == 0;
}

std::string LockFolder() {
  std::string runtime = Environment("XDG_RUNTIME_DIR");
  struct stat st {};
  if (!runtime.empty() && runtime.front() == '/' && stat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return WithSlash(runtime);
  std::string temp = Environment("TMPDIR");
  if (temp.empty() || temp.front() != '/') temp = "/tmp";
  std::string folder = WithSlash(temp) + "tornquil-" + std::to_string(geteuid()) + "/";
  return OwnPrivateFolder(folder) ? folder : std::string();
}

}  // namespace

std::string InstanceLockPath(const std::string& name) {
  std::string folder = LockFolder();
  return folder.empty() ? folder : folder + name;
}

InstanceLock AcquireInstanceLock(const std::string& name) {
  std::string path = InstanceLockPath(name);
  if (path.empty()) return {};
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return {};
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    bool held = errno == EWOULDBLOCK;
    close(fd);
    return {held ? LockResult::Refused : LockResult::Unavailable, 0};
  }
  return {LockResult::Taken, fd};
}

void ReleaseInstanceLock(int handle) {
  if (handle > 0) close(handle);
}

}  // namespace tq::platform
