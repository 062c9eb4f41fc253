#include "settings/defaults.h"

#include <type_traits>

#include "app/build_info.h"
#include "platform/ini.h"
#include "platform/system.h"

namespace tq::settings {

AppSettings g_settings;

Int CentredX(int desktopWidth) { return desktopWidth > 510 ? (desktopWidth - 510) / 2 : 100; }
Int CentredY(int desktopHeight) { return desktopHeight > 260 ? (desktopHeight - 260) / 2 : 100; }

std::string DefaultText(const SettingRow& row, Byte consoleFlag) {
  switch (row.rule) {
    case DefaultRule::Fixed: return std::string(row.defaultText);
    case DefaultRule::Now: return std::to_string(platform::LocalNow());
    case DefaultRule::DesktopX: return std::to_string(CentredX(platform::PrimaryDesktopSize().width));
    case DefaultRule::DesktopY: return std::to_string(CentredY(platform::PrimaryDesktopSize().height));
    case DefaultRule::FirstInputExtension: return std::string(app::InputExtensions.front());
    case DefaultRule::FirstOutputExtension: return std::string(app::OutputExtensions.front());
    case DefaultRule::KeepAspectRatio: return consoleFlag ? "0" : "1";
    case DefaultRule::CompanyNotice: return app::CompanyNotice();
  }
  return {};
}

void StoreText(const SettingRow& row, std::string_view text, AppSettings& s) {
  std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<T, std::string>) {
          s.*member = std::string(text);
        } else if constexpr (std::is_same_v<T, Real>) {
          s.*member = platform::IniReal(text);
        } else {
          // Keep the low bits of the field's width, as a fixed-width store does.
          s.*member = static_cast<T>(static_cast<std::make_unsigned_t<T>>(platform::IniInteger(text)));
        }
      },
      row.field);
}

std::string FieldText(const SettingRow& row, const AppSettings& s) {
  return std::visit(
      [&](auto member) -> std::string {
        using T = std::remove_cv_t<std::remove_reference_t<decltype(s.*member)>>;
        if constexpr (std::is_same_v<T, std::string>) {
          return s.*member;
        } else if constexpr (std::is_same_v<T, Real>) {
          return platform::IniRealText(s.*member);
        } else {
          return std::to_string(static_cast<int>(s.*member));
        }
      },
      row.field);
}

void SetDefaultSettings(Byte consoleFlag, AppSettings& s) {
  for (const SettingRow& row : SettingsTable()) StoreText(row, DefaultText(row, consoleFlag), s);
}

}  // namespace tq::settings
