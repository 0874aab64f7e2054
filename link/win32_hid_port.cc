#include "link/win32_hid_port.h"

#include <setupapi.h>
#include <windows.h>

// MinGW's hidsdi.h declares C functions without saying so, and needs windows.h first.
extern "C" {
#include <hidsdi.h>
}

#include <cstdlib>
#include <cstring>
#include <memory>

#include "link/device_enum.h"
#include "link/platform.h"

namespace rq700 {
namespace {

constexpr DWORD kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// The errors after which the device will never answer again: unplugged, or (for a device
// served through a pipe) the far end closed.
bool DeviceGone(DWORD error) {
  return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_BROKEN_PIPE;
}

HANDLE NewManualResetEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

// Waits for the transfer already started with `overlapped`. On time-out (or a failed
// wait) the transfer is cancelled and its end awaited, because the driver may still write
// into the buffer until then. A transfer that completed just before the cancel took
// effect counts as done. False with `*error` set when it did not complete.
bool AwaitTransfer(HANDLE handle, OVERLAPPED* overlapped, int timeout_ms, DWORD* transferred,
                   DWORD* error) {
  const DWORD wait = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  if (WaitForSingleObject(overlapped->hEvent, wait) != WAIT_OBJECT_0) {
    CancelIoEx(handle, overlapped);
  }
  if (GetOverlappedResult(handle, overlapped, transferred, TRUE)) return true;
  *error = GetLastError();
  return false;
}

// One overlapped ReadFile or WriteFile of a whole report with a time-out. `*transferred`
// is the byte count of a completed transfer.
bool Transfer(HANDLE handle, OVERLAPPED* overlapped, uint8_t* read_into, const uint8_t* write_from,
              int timeout_ms, DWORD* transferred, DWORD* error) {
  *transferred = 0;
  *error = ERROR_SUCCESS;
  ResetEvent(overlapped->hEvent);
  overlapped->Offset = 0;
  overlapped->OffsetHigh = 0;
  const BOOL done = read_into != nullptr
                        ? ReadFile(handle, read_into, kReportSize, nullptr, overlapped)
                        : WriteFile(handle, write_from, kReportSize, nullptr, overlapped);
  if (!done) {
    *error = GetLastError();
    if (*error != ERROR_IO_PENDING) return false;
  }
  // Finished at once or pending: either way the OVERLAPPED record carries the outcome.
  return AwaitTransfer(handle, overlapped, timeout_ms, transferred, error);
}

}  // namespace

Win32HidPort::Win32HidPort() {
  read_overlapped_.hEvent = NewManualResetEvent();
  write_overlapped_.hEvent = NewManualResetEvent();
}

Win32HidPort::~Win32HidPort() {
  Close();
  if (read_overlapped_.hEvent != nullptr) CloseHandle(read_overlapped_.hEvent);
  if (write_overlapped_.hEvent != nullptr) CloseHandle(write_overlapped_.hEvent);
}

bool Win32HidPort::Open(const std::string& path) {
  Close();
  if (path.empty() || read_overlapped_.hEvent == nullptr || write_overlapped_.hEvent == nullptr) {
    return false;
  }
  handle_ = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, kSharing, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle_ != INVALID_HANDLE_VALUE;
}

void Win32HidPort::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
}

ReadResult Win32HidPort::ReadReport(uint8_t* report, int timeout_ms) {
  if (handle_ == INVALID_HANDLE_VALUE) return ReadResult::kDisconnected;
  std::memset(report, 0, kReportSize);
  DWORD transferred = 0;
  DWORD error = ERROR_SUCCESS;
  if (!Transfer(handle_, &read_overlapped_, report, nullptr, timeout_ms, &transferred, &error)) {
    return DeviceGone(error) ? ReadResult::kDisconnected : ReadResult::kNothing;
  }
  // The report was cleared first, so one that brought no bytes has a count of 0.
  return ReadResult::kData;
}

bool Win32HidPort::WriteReport(const uint8_t* report, int timeout_ms) {
  if (handle_ == INVALID_HANDLE_VALUE) return false;
  DWORD transferred = 0;
  DWORD error = ERROR_SUCCESS;
  return Transfer(handle_, &write_overlapped_, nullptr, report, timeout_ms, &transferred, &error) &&
         transferred == kReportSize;
}

std::vector<DeviceEntry> EnumerateHidDevices() {
  std::vector<DeviceEntry> entries;
  GUID hid_guid;
  HidD_GetHidGuid(&hid_guid);
  HDEVINFO set =
      SetupDiGetClassDevsW(&hid_guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return entries;
  SP_DEVICE_INTERFACE_DATA interface_data = {};
  interface_data.cbSize = sizeof(interface_data);
  for (DWORD index = 0;
       SetupDiEnumDeviceInterfaces(set, nullptr, &hid_guid, index, &interface_data); ++index) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &interface_data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    // malloc gives the alignment the detail record needs.
    std::unique_ptr<SP_DEVICE_INTERFACE_DETAIL_DATA_W, decltype(&std::free)> detail(
        static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(std::malloc(size)), &std::free);
    if (detail == nullptr) break;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &interface_data, detail.get(), size, nullptr,
                                          nullptr)) {
      continue;
    }
    const std::wstring path = detail->DevicePath;
    // Access 0 reads the attributes even of devices that others hold open exclusively.
    HANDLE device = CreateFileW(path.c_str(), 0, kSharing, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) continue;
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof(attributes);
    const bool known = HidD_GetAttributes(device, &attributes);
    CloseHandle(device);
    if (!known) continue;
    DeviceEntry entry;
    entry.path = Utf8FromWide(path);
    entry.vendor_id = attributes.VendorID;
    entry.product_id = attributes.ProductID;
    entry.release_number = attributes.VersionNumber;
    entries.push_back(std::move(entry));
  }
  SetupDiDestroyDeviceInfoList(set);
  return entries;
}

std::unique_ptr<HidPort> MakeHidPort(const std::string& /*path*/) {
  return std::make_unique<Win32HidPort>();
}

}  // namespace rq700
