// The least any converter must do: read the whole input and write a file as
// large as the BMP it makes. Nothing is decoded or encoded.
//
//   io_floor INPUT OUTPUT BYTES
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool ReadAll(const char* path, std::vector<char>& bytes) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) == 0) bytes.reserve(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return false;
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  close(fd);
  return true;
}

bool WriteAll(const char* path, const std::vector<char>& bytes) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      close(fd);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return close(fd) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: io_floor INPUT OUTPUT BYTES\n");
    return 2;
  }
  std::vector<char> input;
  if (!ReadAll(argv[1], input) || input.empty()) return 1;
  // The output holds the input's bytes over and over, so every page is
  // really touched, as a converter's pixel buffer is.
  std::vector<char> output(std::strtoull(argv[3], nullptr, 10));
  for (size_t at = 0; at < output.size(); at += input.size())
    std::memcpy(output.data() + at, input.data(), std::min(input.size(), output.size() - at));
  return WriteAll(argv[2], output) ? 0 : 1;
}
