#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <optional>

#include "platform/app_folders.h"
#include "platform/system.h"
#include "settings/config_file.h"
#include "settings/defaults.h"
#include "tests/support/temp_dir.h"

namespace tq::settings {
namespace {

// Sets or removes environment variables for one test and puts them back.
class Environment {
 public:
  void Set(const char* name, std::optional<std::string> value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

TEST(AppDataFolder, FollowsTheBaseDirectoryVariables) {
  struct Case {
    std::optional<std::string> xdg, home;
    std::string expected;
  };
  const std::optional<std::string> unset;
  for (const Case& c : {Case{"/x/conf", "/home/u", "/x/conf"}, Case{"  /x/conf  ", "/home/u", "/x/conf"},
                        Case{unset, "/home/u", "/home/u/.config"}, Case{"", "/home/u", "/home/u/.config"},
                        Case{"relative/conf", "/home/u", "/home/u/.config"},
                        Case{unset, " /home/u/ ", "/home/u/.config"}, Case{unset, "/", "/.config"},
                        Case{unset, unset, ""}, Case{" ", "", ""}}) {
    Environment env;
    env.Set("XDG_CONFIG_HOME", c.xdg);
    env.Set("HOME", c.home);
    EXPECT_EQ(platform::AppDataFolder(), c.expected) << c.xdg.value_or("(unset)") << " " << c.home.value_or("(unset)");
  }
}

TEST(ConfigFolder, CreatesTheMissingFolders) {
  test::TempDir dir;
  for (std::string base : {dir / "conf", dir / "deep/er/conf/"}) {
    Environment env;
    env.Set("XDG_CONFIG_HOME", base);
    std::string folder = platform::ConfigFolder("Vellumark", "tornquil");
    if (base.back() != '/') base += '/';
    EXPECT_EQ(folder, base + "Vellumark/tornquil/");
    EXPECT_TRUE(platform::IsFolder(folder));
    struct stat st {};
    ASSERT_EQ(stat(base.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "a base folder made here is private";
    // Asking again finds what is there.
    EXPECT_EQ(platform::ConfigFolder("Vellumark", "tornquil"), folder);
  }
}

TEST(ConfigFolder, DefaultConfigPathIsUsableForLoadAndSave) {
  test::TempDir dir;
  Environment env;
  env.Set("XDG_CONFIG_HOME", std::nullopt);
  env.Set("HOME", dir / "home");  // a fresh account without ~/.config
  AppSettings s;
  s.ConfigPath = DefaultConfigPath();
  EXPECT_EQ(s.ConfigPath, dir / "home/.config/Vellumark/tornquil/config.ini");
  LoadSettings(s);
  s.Language = "fr";
  SaveSettings(s);
  AppSettings loaded;
  loaded.ConfigPath = s.ConfigPath;
  LoadSettings(loaded);
  EXPECT_EQ(loaded.Language, "fr");
}

TEST(ConfigFolder, AnUnusableBaseIsNotReported) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "file", "not a folder");
  Environment env;
  env.Set("XDG_CONFIG_HOME", dir / "file");
  AppSettings s;
  s.ConfigPath = DefaultConfigPath();
  EXPECT_EQ(s.ConfigPath, dir / "file/Vellumark/tornquil/config.ini");
  LoadSettings(s);  // defaults
  EXPECT_EQ(s.CFG, 17);
  SaveSettings(s);  // silently not written
  EXPECT_EQ(test::ReadFileBytes(dir / "file"), "not a folder");
}

}  // namespace
}  // namespace tq::settings
