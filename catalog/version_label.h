#ifndef RQ700_CATALOG_VERSION_LABEL_H_
#define RQ700_CATALOG_VERSION_LABEL_H_

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace rq700::catalog {

inline constexpr std::string_view kInitialVersionLabel = "Version 2.0.0";
inline constexpr std::string_view kVersionUpdateCaption = "Version Update";
inline constexpr size_t kVersionReportBytes = 5;

// The firmware version shown by the editor. Replaced by the reader thread while the window
// thread draws it: reads copy under the lock, writes swap in a finished string.
class VersionLabel {
 public:
  std::string Get() const;
  void Set(std::string_view utf8_label);
  // "Version " followed by the device's first five reply bytes (Latin-1, up to a NUL).
  void SetFromReport(const uint8_t* bytes, size_t size);

 private:
  mutable std::mutex mutex_;
  std::string label_{kInitialVersionLabel};
};

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_VERSION_LABEL_H_
