#include "proxywriter.h"

#include <windows.h>

#include <exception>
#include <optional>

#include "data_directory.h"
#include "proxy_settings.h"
#include "userconf_file.h"

namespace proxywriter {

namespace {

std::string Run() {
  const std::string settings_file = SettingsFilePath();
  if (settings_file.empty()) return "no Windows directory";
  ProxySettings settings = ReadProxySettings(settings_file);
  if (settings.valid != "TRUE") return "no valid proxy settings in " + settings_file;
  std::optional<std::string> data_directory = FindDataDirectory();
  if (!data_directory) return "the client's App Paths entry has no usable \"Path\"";
  const std::string output = *data_directory + "\\userconf.reg";
  unsigned long error = 0;
  if (!WriteNewTextFile(output, UserconfText(settings.proxy, settings.port), &error))
    return "cannot create " + output + ": error " + std::to_string(error);
  return "wrote " + output;
}

}  // namespace

std::string RunProxyWriter() {
  try {
    return Run();
  } catch (const std::exception& failure) {
    return std::string("failed: ") + failure.what();
  } catch (...) {
    return "failed";
  }
}

}  // namespace proxywriter
