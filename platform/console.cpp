#include "platform/console.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <optional>
#include <cstdio>

namespace tq::platform {
namespace {

constexpr std::string_view kCountsAsKey = "\n";
constexpr int kPollMilliseconds = 20;

// Characters arrive one by one, unechoed; Ctrl+C still interrupts.
class RawTerminal {
 public:
  RawTerminal() {
    if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
  }
  ~RawTerminal() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

void WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nobody reads any more; the run goes on regardless
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

// One look at standard input, the terminal already raw.
std::string PendingKey() {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  int ready = poll(&p, 1, 0);
  if (ready < 0) return errno == EINTR ? std::string() : std::string(kCountsAsKey);
  if (ready == 0) return {};
  if (p.revents & POLLIN) {
    char buffer[16];
    ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n > 0) return std::string(buffer, static_cast<size_t>(n));
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return {};
  }
  return std::string(kCountsAsKey);  // end of input, hang-up or error
}

}  // namespace

void OpenConsole() { std::signal(SIGPIPE, SIG_IGN); }

void PrintLine(std::string_view text) {
  // stdio may hold earlier output; keep the order.
  std::fflush(stdout);
  std::string line(text);
  line += "\r\n";
  WriteAll(line);
}

void SetConsoleTitle(std::string_view title) {
  if (!isatty(STDOUT_FILENO)) return;
  std::string escape = "\x1b]0;";
  for (char c : title)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) escape += c;  // no control bytes in the escape
  escape += '\a';
  std::fflush(stdout);
  WriteAll(escape);
}

std::string ReadPendingKey() {
  if (!isatty(STDIN_FILENO)) return std::string(kCountsAsKey);
  RawTerminal raw;
  return PendingKey();
}

void WaitForKey(std::string_view prompt) {
  bool terminal = isatty(STDIN_FILENO);
  std::optional<RawTerminal> raw;  // held for the whole wait, so no key slips past between looks
  if (terminal) raw.emplace();
  if (!prompt.empty()) PrintLine(prompt);
  if (!terminal) return;
  while (PendingKey().empty()) {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    poll(&p, 1, kPollMilliseconds);
  }
}

}  // namespace tq::platform
