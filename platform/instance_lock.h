#pragma once
#include <string>

namespace tq::platform {

// The single-instance lock: an exclusive flock on a file called `name` in
// $XDG_RUNTIME_DIR, else in a per-user folder of the temp folder
// ($TMPDIR or /tmp, then "tornquil-<uid>/"). The file descriptor is closed on
// exec, so programs started from here never keep the lock alive.
enum class LockResult {
  Taken,      // this process holds the lock until it ends
  Refused,    // another process holds it
  Unavailable // no lock folder or file could be used; the program runs unlocked
};
struct InstanceLock {
  LockResult result = LockResult::Unavailable;
  int handle = 0;  // file descriptor when taken, else 0
};
InstanceLock AcquireInstanceLock(const std::string& name);
void ReleaseInstanceLock(int handle);

// The file AcquireInstanceLock(name) would lock; "" when no folder is usable.
std::string InstanceLockPath(const std::string& name);

}  // namespace tq::platform
