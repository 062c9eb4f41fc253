#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/text_util.h"
#include "text/text_table.h"

namespace tq::text {
namespace {

constexpr std::string_view kMissing = "%NO_STRING_ERROR%";

class TextTableTest : public ::testing::Test {
 protected:
  void SetUp() override { LoadTextTable(); }
  // Other tests of this program expect the plain English table.
  void TearDown() override { LoadTextTable(); }
};

TEST_F(TextTableTest, LookupIgnoresCase) {
  struct Case {
    std::string_view group, key;
  };
  const Case cases[] = {
      {"Menu", "Exit"}, {"menu", "exit"}, {"MENU", "EXIT"}, {"mEnU", "eXiT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.group) + "/" + std::string(c.key));
    EXPECT_EQ(LangText(c.group, c.key), "Exit");
  }
  EXPECT_EQ(LangText("custom-converter", "title"), "Find a File Converter");
  EXPECT_EQ(LangText("preferences", "rgb48hs"), "RGB 48-bit (HS)");
}

TEST_F(TextTableTest, MissingGroupOrKeyGivesMarker) {
  struct Case {
    std::string_view group, key;
  };
  const Case cases[] = {
      {"Menu", ""},                     // empty key
      {"Menu", "Quit"},                 // no key starts with Q
      {"Menu", "Zoom"},                 // after every key of the group
      {"Menu", "Select Input"},         // prefix of real keys, not a key itself
      {"Menu", "Select Input Filesx"},  // longer than any key
      {"Menu", "Exit "},                // trailing blank counts
      {"Menu", "\xC3\x89xit"},          // code above 127 in the first place
      {"Menus", "Exit"},                // no such group
      {"", "Exit"},
      {"Dialog", "Preparing"},  // key of another group
      {"General", "Exit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.group) + "/" + std::string(c.key));
    EXPECT_EQ(LangText(c.group, c.key), kMissing);
  }
}

TEST_F(TextTableTest, PrefixKeysKeepTheirOwnTexts) {
  struct Case {
    std::string_view group, key, text;
  };
  const Case cases[] = {
      {"Menu", "Select Input File", "Add Input File..."},
      {"Menu", "Select Input Files", "Add Input Files..."},
      {"Menu", "Select Input Folder", "Add Input Folder..."},
      {"Menu", "Select All", "Select All"},
      {"Menu", "Convert", "Convert"},
      {"Menu", "Converter", "Converter"},
      {"General", "Input File", "Input File:"},
      {"General", "Input Files", "Input Files:"},
      {"Preferences", "Color", "Color"},
      {"Preferences", "Color Model", "Color Model:"},
      {"Preferences", "Color Table", "Color Table:"},
      {"Preferences", "Csv", "CSV"},
      {"Preferences", "Csv Delimiter", "CSV Delimiter:"},
      {"Preferences", "Csv Export", "CSV Export:"},
      {"Preferences", "RGB", "RGB"},
      {"Preferences", "RGB48", "RGB 48-bit"},
      {"Preferences", "RGB48HS", "RGB 48-bit (HS)"},
      {"Preferences", "Left", "Left:"},
      {"Preferences", "Left Color", "Left Color:"},
      {"Preferences", "Image", "Image:"},
      {"Preferences", "Image Width", "Image Width:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.group) + "/" + std::string(c.key));
    EXPECT_EQ(LangText(c.group, c.key), c.text);
  }
}

TEST_F(TextTableTest, RememberedGroupSwitchesCorrectly) {
  // Same keys in several groups, looked up alternately, and a failed group
  // search between them: the one-entry cache must never answer for the wrong group.
  struct Case {
    std::string_view group, key, text;
  };
  const Case sequence[] = {
      {"About", "Title", "About..."},
      {"Uninstall", "Title", "Uninstall"},
      {"Uninstall", "Title", "Uninstall"},
      {"Preferences", "Title", "Preferences..."},
      {"Custom-Converter", "Title", "Find a File Converter"},
      {"Nowhere", "Title", kMissing},
      {"About", "Title", "About..."},
      {"Menu", "Select Input Files", "Add Input Files..."},
      {"Dialog", "Select Input Files", "Select Input Files"},
      {"Menu", "Convert", "Convert"},
      {"General", "Convert", "Convert"},
      {"Msg", "Check for Updates", "Check for Updates"},
      {"Preferences", "Check for Updates", "Check for Updates:"},
      {"", "Title", kMissing},
      {"Msg", "Check for Updates", "Check for Updates"},
  };
  for (const Case& c : sequence) {
    SCOPED_TRACE(std::string(c.group) + "/" + std::string(c.key));
    EXPECT_EQ(LangText(c.group, c.key), c.text);
  }
}

TEST_F(TextTableTest, ConsoleTextsAreExact) {
  struct Case {
    std::string_view group, key, text;
  };
  const Case cases[] = {
      {"General", "Preparing", "Preparing..."},
      {"General", "Importing", "Importing..."},
      {"General", "Converting", "Converting..."},
      {"Msg", "Import complete", "Import complete, new files added: %s1%"},
      {"Msg", "Conversion complete", "Conversion complete"},
      {"Msg", "Conversion is not complete", "Conversion stopped"},
      {"Msg", "Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
      {"Msg", "Files converted", "Files converted: %s1% of %s2%"},
      {"Msg", "Invalid watermark font", "Unable to load selected font for a watermark: %s1%"},
      {"Msg", "Invalid output folder",
       "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\n"
       "Please, correct the output path and try again!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.group) + "/" + std::string(c.key));
    EXPECT_EQ(LangText(c.group, c.key), c.text);
  }
}

TEST_F(TextTableTest, BuiltinDataHasEveryGroupWithItsKeyCount) {
  const std::vector<std::pair<std::string, int>> expected = {
      {"Menu", 27},        {"General", 10}, {"Msg", 41},
      {"Dialog", 16},      {"Preferences", 214}, {"About", 4},
      {"Custom-Converter", 4}, {"Uninstall", 3},
  };
  std::vector<std::pair<std::string, int>> found;
  bool ended = false;
  for (const TextPair& p : BuiltinTextData()) {
    ASSERT_FALSE(ended) << "pair after the end marker: " << p.first;
    if (p.first == "_END_") {
      EXPECT_EQ(p.second, "");
      ended = true;
    } else if (p.first == "_GROUP_") {
      found.emplace_back(std::string(p.second), 0);
    } else {
      ASSERT_FALSE(found.empty()) << "entry before the first group: " << p.first;
      ++found.back().second;
    }
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(found, expected);
}

TEST_F(TextTableTest, EveryBuiltinEntryIsFoundWithItsText) {
  // Walks the data: each key, in its own spelling and in lower case, gives
  // its text. The only repeated key ("Medium") has the same text twice.
  std::string group;
  std::map<std::pair<std::string, std::string>, int> seen;
  for (const TextPair& p : BuiltinTextData()) {
    if (p.first == "_END_") break;
    if (p.first == "_GROUP_") {
      group = p.second;
      continue;
    }
    SCOPED_TRACE(group + "/" + std::string(p.first));
    EXPECT_FALSE(p.first.empty());
    EXPECT_FALSE(p.second.empty());
    EXPECT_EQ(LangText(group, p.first), p.second);
    EXPECT_EQ(LangText(platform::LowerAscii(group), platform::LowerAscii(p.first)), p.second);
    ++seen[{platform::UpperAscii(group), platform::UpperAscii(p.first)}];
  }
  for (const auto& [name, count] : seen) {
    if (name == std::pair<std::string, std::string>{"PREFERENCES", "MEDIUM"})
      EXPECT_EQ(count, 2);
    else
      EXPECT_EQ(count, 1) << name.first << "/" << name.second;
  }
}

TEST(ExpandParams, ReplacesPlaceholdersInOrder) {
  struct Case {
    std::string_view text, p1, p2, p3, p4, expected;
  };
  const Case cases[] = {
      {"Files converted: %s1% of %s2%", "3", "5", "", "", "Files converted: 3 of 5"},
      {"Files converted: %s1% of %s2%", "3", "", "", "", "Files converted: 3 of %s2%"},
      {"Files converted: %S1% of %S2%", "3", "5", "", "", "Files converted: 3 of 5"},
      {"Files converted: %s1% of %s2%", "", "", "", "", "Files converted: %s1% of %s2%"},
      {"%s1%%s2%%s3%%s4%", "a", "b", "c", "d", "abcd"},
      {"%s4%-%s3%-%s2%-%s1%", "a", "b", "c", "d", "d-c-b-a"},
      {"%s1% and %s1% again", "x", "", "", "", "x and x again"},
      {"%s1% then %s2%", "%s2%", "y", "", "", "y then y"},    // later placeholder expanded again
      {"%s1% then %s2%", "%S3%", "y", "z", "", "z then y"},   // in any case
      {"%s2%", "a", "%s1%", "", "", "%s1%"},                  // earlier one is not
      {"%s1%", "%s1%", "", "", "", "%s1%"},                   // its own one is not either
      {"%s5% %s0% %s1", "a", "", "", "", "%s5% %s0% %s1"},
      {"", "a", "b", "c", "d", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(ExpandParams(c.text, c.p1, c.p2, c.p3, c.p4), c.expected);
  }
}

TEST_F(TextTableTest, ExpandsLookedUpTexts) {
  EXPECT_EQ(ExpandParams(LangText("Msg", "Files converted"), "1", "2"), "Files converted: 1 of 2");
  EXPECT_EQ(ExpandParams(LangText("Msg", "Import complete"), "0"),
            "Import complete, new files added: 0");
  EXPECT_EQ(ExpandParams(LangText("Msg", "Progress"), "4", "9"), "(4/9)");
}

class LanguageFileTest : public TextTableTest {
 protected:
  void SetUp() override {
    TextTableTest::SetUp();
    path_ = std::filesystem::temp_directory_path() /
            ("tq_text_" + std::to_string(std::random_device{}()) + ".ini");
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    TextTableTest::TearDown();
  }
  void Write(std::string_view bytes) {
    std::ofstream out(path_, std::ios::binary);
    out << bytes;
  }
  std::filesystem::path path_;
};

TEST_F(LanguageFileTest, OverlaysKnownKeysOnly) {
  Write(
      "\xEF\xBB\xBF"
      "[menu]\r\n"
      "EXIT = Beenden\r\n"
      "Select Input File = Datei hinzuf\xC3\xBCgen...\r\n"
      "Brand New Key = ignored\r\n"
      "; \r\n"
      "[Msg]\r\n"
      "Files converted = %s1% von %s2% umgewandelt\r\n"
      "; \r\n"
      "[Nonexistent]\r\n"
      "Exit = ignored\r\n");
  LoadTextTable(path_.string());

  struct Case {
    std::string_view group, key, text;
  };
  const Case cases[] = {
      {"Menu", "Exit", "Beenden"},
      {"Menu", "Select Input File", "Datei hinzuf\xC3\xBCgen..."},
      {"Menu", "Select Input Files", "Add Input Files..."},  // not in the file
      {"Menu", "Brand New Key", kMissing},
      {"Nonexistent", "Exit", kMissing},
      {"Msg", "Files converted", "%s1% von %s2% umgewandelt"},
      {"General", "Preparing", "Preparing..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.group) + "/" + std::string(c.key));
    EXPECT_EQ(LangText(c.group, c.key), c.text);
  }

  LoadTextTable();
  EXPECT_EQ(LangText("Menu", "Exit"), "Exit");
}

TEST_F(LanguageFileTest, UnreadableFileKeepsEnglish) {
  LoadTextTable(path_.string());  // never written
  EXPECT_EQ(LangText("Menu", "Exit"), "Exit");
  EXPECT_EQ(LangText("Msg", "Conversion is not complete"), "Conversion stopped");
}

}  // namespace
}  // namespace tq::text
