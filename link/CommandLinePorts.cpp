#include "link/CommandLinePorts.h"

#include <algorithm>

namespace {

constexpr std::string_view PORT_OPTION = "--port";
constexpr std::string_view MODULE_KIND = "module";

std::string DevicePathOf(const std::string& path) {
  return path.find('/') == std::string::npos ? "/dev/" + path : path;
}

}  // namespace

bool ParsePortValue(std::string_view value, CCommandLinePort& port, std::string& strError) {
  std::string_view path = value;
  bool bModule = false;
  const auto nEquals = value.rfind('=');
  if (nEquals != std::string_view::npos && value.find('/', nEquals) == std::string_view::npos) {
    const std::string_view kind = value.substr(nEquals + 1);
    if (kind != MODULE_KIND) {
      strError = "--port " + std::string(value) + ": unknown port kind \"" + std::string(kind) +
                 "\" (only \"module\" is known)";
      return false;
    }
    path = value.substr(0, nEquals);
    bModule = true;
  }
  if (path.empty()) {
    strError = "--port " + std::string(value) + ": the path is empty";
    return false;
  }
  port = {std::string(path), bModule};
  return true;
}

CPortArguments ExtractPortArguments(const std::vector<std::string>& args) {
  CPortArguments result;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string_view value;
    if (arg == PORT_OPTION) {
      if (i + 1 >= args.size()) {
        if (result.m_strError.empty()) result.m_strError = "--port needs a path";
        continue;
      }
      value = args[++i];
    } else if (arg.starts_with(PORT_OPTION) && arg.size() > PORT_OPTION.size() &&
               arg[PORT_OPTION.size()] == '=') {
      value = std::string_view(arg).substr(PORT_OPTION.size() + 1);
    } else {
      result.m_rest.push_back(arg);
      continue;
    }
    CCommandLinePort port;
    std::string strError;
    if (ParsePortValue(value, port, strError))
      result.m_ports.push_back(std::move(port));
    else if (result.m_strError.empty())
      result.m_strError = std::move(strError);
  }
  return result;
}

void AddCommandLinePorts(CPortLists& lists, const std::vector<CCommandLinePort>& ports) {
  for (const CCommandLinePort& port : ports) {
    const std::string devicePath = DevicePathOf(port.m_strPath);
    const uint8_t byModule = port.m_bModule ? 1 : 0;
    auto it = std::find_if(lists.m_serialPorts.begin(), lists.m_serialPorts.end(),
                           [&](const CSerialPortItem& item) { return item.m_strDevicePath == devicePath; });
    // Discovery read the module's own descriptors: a plain --port does not overrule them.
    if (it != lists.m_serialPorts.end())
      it->m_byModulePort |= byModule;
    else
      lists.m_serialPorts.push_back({port.m_strPath, devicePath, port.m_strPath, byModule});
  }
}
