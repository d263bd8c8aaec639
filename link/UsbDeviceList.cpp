#include "link/UsbDeviceList.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

constexpr size_t TEXT_SIZE = 64;  // the library's description and serial-number buffers

// One text of device nIndex, or an empty one when the library refuses. The library fills a
// zeroed buffer; the text ends at the first NUL or at the buffer's end, whichever comes first.
std::string DeviceText(const D2xxCalls& ft, D2XX_DWORD dwIndex, D2XX_DWORD dwWhich) {
  char szText[TEXT_SIZE] = {};
  void* pIndex = reinterpret_cast<void*>(static_cast<uintptr_t>(dwIndex));
  if (ft.FT_ListDevices(pIndex, szText, FT_LIST_BY_INDEX | dwWhich) != FT_OK) return {};
  return std::string(szText, strnlen(szText, sizeof szText));
}

}  // namespace

std::vector<std::string> BuildUsbDeviceList(const CD2xxLibrary& library) {
  std::vector<std::string> serials;
  if (!library.IsLoaded()) return serials;
  const D2xxCalls& ft = library.Calls();
  D2XX_DWORD dwCount = 0;
  if (ft.FT_ListDevices(&dwCount, nullptr, FT_LIST_NUMBER_ONLY) != FT_OK) return serials;
  if (dwCount > MAX_USB_DEVICES) dwCount = MAX_USB_DEVICES;
  for (D2XX_DWORD i = 0; i < dwCount; ++i) {
    if (DeviceText(ft, i, FT_OPEN_BY_DESCRIPTION) != std::string_view(MODULE_USB_DESCRIPTION)) continue;
    std::string serial = DeviceText(ft, i, FT_OPEN_BY_SERIAL_NUMBER);
    if (!serial.empty()) serials.push_back(std::move(serial));
  }
  return serials;
}
