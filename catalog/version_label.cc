#include "catalog/version_label.h"

#include <algorithm>

#include "catalog/models.h"

namespace rq700::catalog {

std::string VersionLabel::Get() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return label_;
}

void VersionLabel::Set(std::string_view utf8_label) {
  std::string label(utf8_label);
  std::lock_guard<std::mutex> lock(mutex_);
  label_.swap(label);
}

void VersionLabel::SetFromReport(const uint8_t* bytes, size_t size) {
  Set("Version " + DeviceNameToUtf8(bytes, std::min(size, kVersionReportBytes)));
}

}  // namespace rq700::catalog
