#include "app/build_info.h"

#include "app/maker.h"

namespace tq::app {

std::string CompanyNotice() { return TQ_COMPANY_NOTICE; }
std::string WebSite() { return TQ_WEB_SITE; }
std::string WebServer() { return TQ_WEB_SERVER; }
std::string SupportMail() { return TQ_SUPPORT_MAIL; }

std::string VersionText(int number) {
  std::string text = std::to_string(number);
  if (text.size() >= 1) text.insert(1, ".");
  if (text.size() >= 3) text.insert(3, ".");
  if (!text.empty() && text.back() == '0') text = text.substr(0, 3);
  return text;
}

std::string TitleWithVersion() {
  return std::string(ProgramTitle) + " " + VersionText(ProgramVersion);
}

}  // namespace tq::app
