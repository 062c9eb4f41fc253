#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tq::platform {

// Dates are seconds since 1970-01-01 00:00:00 counted in local time.
std::int32_t LocalNow();
std::int64_t UtcToLocal(std::int64_t utcSeconds);
std::int64_t LocalToUtc(std::int64_t localSeconds);
struct LocalTime {
  int year, month, day, hour, minute, second;
};
LocalTime CurrentLocalTime();

// Size of a file; 0 for a missing path, a folder or an empty file.
std::uint64_t FileSize(const std::string& path);
bool IsFolder(const std::string& path);
bool FileExists(const std::string& path);
bool CreateFolder(const std::string& path);
// Last modification time in UTC seconds, fraction dropped.
std::optional<std::int64_t> ModificationTime(const std::string& path);
bool SetModificationTime(const std::string& path, std::int64_t utcSeconds);
// True when both paths name the same existing file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);
// Writes bytes to a temporary file beside `path` and renames it into place,
// so a failed write never leaves a partial file or destroys the old one.
// `durable` also flushes the data to the disk before the rename.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size, bool durable = true);
// Runs `write` on a fresh temporary file beside `path` and renames it into
// place when it reports success; otherwise removes it.
bool ReplaceFileAtomically(const std::string& path, bool (*write)(const std::string& temp, void* context),
                           void* context);
// Name of a fresh temporary file in the folder of `path` ("" on failure);
// the file exists and is empty. The caller renames or removes it.
std::string MakeTempBeside(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
void RemoveFile(const std::string& path);

// Folder of the running executable, ending in "/".
std::string ExecutableFolder();
// File name of the running executable without folder and extension.
std::string ExecutableName();

// Uniform random number in [low, high].
int RandomNumber(int low, int high);

// Primary desktop size; 0 x 0 without a display (until a front end sets it).
struct DesktopSize {
  int width = 0, height = 0;
};
DesktopSize PrimaryDesktopSize();
void SetPrimaryDesktopSize(DesktopSize size);

}  // namespace tq::platform
