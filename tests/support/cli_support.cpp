#include "tests/support/cli_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <variant>

#include "tests/support/pcx_writer.h"
#include <filesystem>

extern char** environ;

namespace tq::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRunLimit = std::chrono::seconds(60);

struct ChildSetup {
  std::vector<std::string> argv;
  std::vector<std::string> envp;
  std::vector<char*> argPointers;
  std::vector<char*> envPointers;
};

ChildSetup Prepare(const std::vector<std::string>& args, const RunSetup& setup) {
  ChildSetup c;
  c.argv.push_back(setup.executable);
  c.argv.insert(c.argv.end(), args.begin(), args.end());
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    size_t eq = entry.find('=');
    if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const std::string& name : setup.unset) env.erase(name);
  for (const auto& [name, value] : setup.env) env[name] = value;
  for (const auto& [name, value] : env) c.envp.push_back(name + "=" + value);
  for (std::string& a : c.argv) c.argPointers.push_back(a.data());
  c.argPointers.push_back(nullptr);
  for (std::string& e : c.envp) c.envPointers.push_back(e.data());
  c.envPointers.push_back(nullptr);
  return c;
}

[[noreturn]] void Exec(ChildSetup& c, const RunSetup& setup) {
  if (!setup.workFolder.empty() && chdir(setup.workFolder.c_str()) != 0) _exit(126);
  execve(c.argPointers[0], c.argPointers.data(), c.envPointers.data());
  _exit(127);
}

int RemainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

// Waits for the child until the deadline, then kills it.
int Reap(pid_t pid, Clock::time_point deadline) {
  int status = 0;
  while (true) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) return -1;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    usleep(2000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Reads from the descriptors until all have ended; false when the deadline
// passed first.
bool Drain(std::vector<std::pair<int, std::string*>> sources, Clock::time_point deadline) {
  char buffer[4096];
  while (!sources.empty()) {
    std::vector<pollfd> polls;
    for (const auto& source : sources) polls.push_back(pollfd{source.first, POLLIN, 0});
    int ready = poll(polls.data(), polls.size(), RemainingMs(deadline));
    if (ready == 0) return false;
    if (ready < 0) {
      if (errno == EINTR) continue;
      return true;
    }
    for (size_t i = polls.size(); i-- > 0;) {
      if (polls[i].revents == 0) continue;
      ssize_t n = read(polls[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sources[i].second->append(buffer, static_cast<size_t>(n));
      } else if (!(n < 0 && errno == EINTR)) {
        sources.erase(sources.begin() + static_cast<long>(i));  // ended, or EIO once a terminal closed
      }
    }
  }
  return true;
}

}  // namespace

ProgramRun RunExecutable(const std::vector<std::string>& args, const RunSetup& setup) {
  ChildSetup c = Prepare(args, setup);
  int out[2], err[2], in[2] = {-1, -1};
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return {};
  int input = -1;
  if (setup.input == Input::OpenPipe) {
    if (pipe2(in, O_CLOEXEC) != 0) return {};
    input = in[0];
  } else {
    input = open("/dev/null", O_RDONLY | O_CLOEXEC);
  }
  pid_t pid = fork();
  if (pid == 0) {
    dup2(input, STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    Exec(c, setup);
  }
  close(out[1]);
  close(err[1]);
  close(input);
  ProgramRun run;
  auto deadline = Clock::now() + kRunLimit;
  bool ended = Drain({{out[0], &run.out}, {err[0], &run.err}}, deadline);
  close(out[0]);
  close(err[0]);
  run.status = Reap(pid, ended ? deadline : Clock::now());
  if (in[1] >= 0) close(in[1]);
  return run;
}

TerminalRun RunOnTerminal(const std::vector<std::string>& args, const RunSetup& setup, const std::string& prompt,
                          const std::string& key) {
  TerminalRun run;
  ChildSetup c = Prepare(args, setup);
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return run;
  std::string slaveName = ptsname(master);
  pid_t pid = fork();
  if (pid == 0) {
    setsid();
    int slave = open(slaveName.c_str(), O_RDWR);  // becomes the controlling terminal
    if (slave < 0) _exit(125);
    termios t{};
    tcgetattr(slave, &t);
    t.c_oflag &= static_cast<tcflag_t>(~OPOST);  // output bytes exactly as written
    tcsetattr(slave, TCSANOW, &t);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    dup2(slave, STDERR_FILENO);
    close(slave);
    Exec(c, setup);
  }
  auto deadline = Clock::now() + kRunLimit;
  char buffer[4096];
  while (run.output.find(prompt) == std::string::npos && Clock::now() < deadline) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, RemainingMs(deadline)) <= 0) continue;
    ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    run.output.append(buffer, static_cast<size_t>(n));
  }
  int status = 0;
  run.runningAtPrompt = waitpid(pid, &status, WNOHANG) == 0;
  if (run.runningAtPrompt) {
    if (write(master, key.data(), key.size()) < 0) {
      // the status below tells
    }
    Drain({{master, &run.output}}, deadline);
    run.status = Reap(pid, deadline);
  } else {
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  close(master);
  return run;
}

ConsoleSandbox::ConsoleSandbox() {
  for (const std::string& folder : {home(), config(), runtime(), work()}) std::filesystem::create_directories(folder);
  std::filesystem::permissions(runtime(), std::filesystem::perms::owner_all);
}

RunSetup ConsoleSandbox::Setup() const {
  RunSetup setup;
  setup.workFolder = work();
  setup.env = {{"HOME", home()}, {"XDG_CONFIG_HOME", config()}, {"XDG_RUNTIME_DIR", runtime()}};
  return setup;
}

ProgramRun ConsoleSandbox::Run(const std::vector<std::string>& args) const { return RunExecutable(args, Setup()); }

std::vector<std::string> ConsoleSandbox::UserFiles() const {
  std::vector<std::string> found;
  for (const std::string& folder : {home(), config()})
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
      found.push_back(std::filesystem::relative(entry.path(), root_.path()).string());
  return found;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string FieldAsText(const settings::FieldRef& field, const settings::AppSettings& s) {
  return std::visit(
      [&](auto member) -> std::string {
        using T = std::remove_cv_t<std::remove_reference_t<decltype(s.*member)>>;
        if constexpr (std::is_same_v<T, std::string>) {
          return s.*member;
        } else if constexpr (std::is_same_v<T, settings::Real>) {
          char buffer[64];
          std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(s.*member));
          return buffer;
        } else {
          return std::to_string(static_cast<int>(s.*member));
        }
      },
      field);
}

std::string MakeIndexedPcx(int width, int height) {
  PcxPixels pixels;
  pixels.width = width;
  pixels.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.values.push_back(static_cast<std::uint32_t>((x + 3 * y) % 256));
  PcxOptions options;
  for (int i = 0; i < 256; ++i) {
    options.trailingPalette.push_back(static_cast<std::uint8_t>(i));
    options.trailingPalette.push_back(static_cast<std::uint8_t>(255 - i));
    options.trailingPalette.push_back(static_cast<std::uint8_t>(i / 2));
  }
  std::vector<std::uint8_t> bytes = WritePcx(pixels, options);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace tq::test
