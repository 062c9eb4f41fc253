#pragma once
#include <array>
#include <string>
#include <string_view>

namespace tq::app {

inline constexpr std::string_view ProgramTitle = "Vellumark PCX to BMP";
inline constexpr int ProgramVersion = 270;
// The formats this build offers, lower case, without dot.
inline constexpr std::array<std::string_view, 1> InputExtensions = {"pcx"};
inline constexpr std::array<std::string_view, 1> OutputExtensions = {"bmp"};

// "© 2011-2026 Vellumark Software": About box, banner and default watermark text.
std::string CompanyNotice();
std::string WebSite();
std::string WebServer();
std::string SupportMail();

// 270 -> "2.7", 271 -> "2.7.1", 300 -> "3.0".
std::string VersionText(int number);
// "Vellumark PCX to BMP 2.7"
std::string TitleWithVersion();

}  // namespace tq::app
