#include "cli/arguments.h"

#include "cli/switches.h"
#include "engine/conversion_context.h"
#include "platform/text_util.h"

namespace tq::cli {
namespace {

enum class Option { Input, Output, Conversion, Profile, Debug, Quiet, Pause };

struct OptionRow {
  std::string_view name;
  Option option;
};

constexpr OptionRow kOptions[] = {
    {"-I", Option::Input},      {"--INPUT", Option::Input},           {"-O", Option::Output},
    {"--OUTPUT", Option::Output}, {"-C", Option::Conversion},          {"--CONVERSION", Option::Conversion},
    {"--PROFILE", Option::Profile}, {"-D", Option::Debug},             {"--DEBUG", Option::Debug},
    {"-Q", Option::Quiet},      {"--QUIET", Option::Quiet},           {"-P", Option::Pause},
    {"--PAUSE", Option::Pause},
};

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : kOptions)
    if (row.name == name) return &row;
  return nullptr;
}

std::string_view Trimmed(const Arguments& args, size_t index) {
  return index < args.size() ? platform::Trim(args[index]) : std::string_view();
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// -i, -o and -c: the next argument in the short form, the text after "=" in
// the long one. Nothing, or something that looks like an option, is refused.
bool PathValue(const Arguments& args, size_t& i, const std::string& name, std::string& value) {
  if (!StartsWith(name, "--")) ++i;
  value = ParameterValue(args, i);
  return !value.empty() && value.front() != '-';
}

// Switches and --profile take their value after "="; a single "-" may lead
// (negative numbers), two may not: that is the switch itself without "=".
bool SwitchValue(const Arguments& args, size_t i, std::string& value) {
  value = ParameterValue(args, i);
  return !value.empty() && !StartsWith(value, "--");
}

}  // namespace

std::string ParameterName(const Arguments& args, size_t index) {
  std::string_view arg = Trimmed(args, index);
  if (!StartsWith(arg, "-")) return {};
  if (StartsWith(arg, "--")) arg = arg.substr(0, arg.find('='));
  return platform::UpperAscii(arg);
}

std::string ParameterValue(const Arguments& args, size_t index) {
  std::string_view arg = Trimmed(args, index);
  size_t equals = arg.find('=');
  if (StartsWith(arg, "--") && equals != std::string_view::npos) return std::string(arg.substr(equals + 1));
  return std::string(arg);
}

std::string ContinueQuoted(const Arguments& args, size_t& index, std::string value) {
  if (value.empty() || value.front() != '"' || value.back() == '"') return value;
  while (index + 1 < args.size()) {
    ++index;
    value += ' ';
    value += ParameterValue(args, index);
    if (!value.empty() && value.back() == '"') break;
  }
  return value;
}

std::string RemoveQuotes(std::string_view value) { return std::string(platform::Trim(value, "\"")); }

ParseOutcome ParseOptions(const Arguments& args) {
  engine::ConversionContext& c = engine::g_context;
  ParseOutcome out;
  auto fail = [&](std::string_view error) {
    out.error = error;
    return out;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = ParameterName(args, i);
    if (name.empty()) continue;
    std::string value;
    if (const OptionRow* row = FindOption(name)) {
      switch (row->option) {
        case Option::Input:
        case Option::Output:
          if (!PathValue(args, i, name, value)) return fail(kIncorrectParameters);
          value = RemoveQuotes(ContinueQuoted(args, i, value));
          if (row->option == Option::Input) {
            c.ConsoleMode = 1;
            c.SourceRoot = value;
          } else {
            c.OutputFolder = value;
          }
          break;
        case Option::Conversion:
          if (!PathValue(args, i, name, value)) return fail(kIncorrectParameters);
          c.OutputExtension = RemoveQuotes(value);
          break;
        case Option::Profile:
          if (!SwitchValue(args, i, value)) return fail(kIncorrectParameters);
          if (!LoadProfile(RemoveQuotes(ContinueQuoted(args, i, value)))) return fail(kInvalidProfile);
          break;
        case Option::Debug: c.RunMode = "DEBUG"; break;
        case Option::Quiet: out.quiet = true; break;
        case Option::Pause: out.pause = true; break;
      }
      continue;
    }
    const SwitchRow* row = FindSwitch(name);
    if (!row) continue;  // unknown options and stray words are skipped
    if (row->kind != SwitchKind::Flag) {
      if (!SwitchValue(args, i, value)) return fail(kIncorrectParameters);
      if (TakesQuotedText(*row)) value = RemoveQuotes(ContinueQuoted(args, i, value));
    }
    ApplySwitch(*row, value);
  }
  return out;
}

}  // namespace tq::cli
