#ifndef RQ700_SKIN_IMAGE_PATHS_H_
#define RQ700_SKIN_IMAGE_PATHS_H_

// Where each numbered image of the editor's skin lives below the editor's img/ folder,
// and the updater's four images below the launcher's img/ folder. Paths use '/'.

#include <string>

namespace rq700 {

inline constexpr int kEditorImageCount = 259;
inline constexpr int kUpdaterImageCount = 4;

// Relative path of editor image n (0..258), e.g. "CTRL TAB/54.png"; empty when out of range.
inline std::string EditorImagePath(int n) {
  if (n < 0 || n >= kEditorImageCount) return {};
  const std::string num = std::to_string(n);
  if (n == 0) return "0.jpg";
  auto in = [n](int lo, int hi) { return lo <= n && n <= hi; };
  std::string folder;
  if (in(49, 53))
    folder = "SYSTEM/";
  else if (in(54, 63))
    folder = "CTRL TAB/";
  else if (in(65, 67) || in(69, 77) || in(251, 252))
    folder = "EXP/";
  else if (in(78, 97))
    folder = "EXP/FX/";
  else if (in(98, 103))
    folder = "EXP/DS/";
  else if (in(104, 115))
    folder = "EXP/AMP/";
  else if (in(116, 119))
    folder = "EXP/CAB/";
  else if (in(120, 127))
    folder = "EXP/NS/";
  else if (in(128, 155))
    folder = "EXP/EQ/";
  else if (in(156, 179))
    folder = "EXP/MOD/";
  else if (in(180, 191))
    folder = "EXP/DELAY/";
  else if (in(192, 199))
    folder = "EXP/REVERB/";
  else if (in(203, 206))
    folder = "EffChain/FX/";
  else if (n == 207)
    folder = "EffChain/DS/";
  else if (n == 208)
    folder = "EffChain/AMP/";
  else if (n == 209)
    folder = "EffChain/CAB/";
  else if (in(210, 212))
    folder = "EffChain/NS/";
  else if (in(213, 216))
    folder = "EffChain/EQ/";
  else if (in(217, 226))
    folder = "EffChain/MOD/";
  else if (in(227, 229))
    folder = "EffChain/DLY/";
  else if (n == 230)
    folder = "EffChain/REV/";
  return folder + num + ".png";
}

// The densities the skins are drawn at: 1x for a screen pixel per base-canvas pixel, 2x
// for two in each direction.
inline constexpr int kSkinDensities[] = {1, 2};

// The file of `path` drawn at `density`: "CTRL TAB/54.png" at 2x is "CTRL TAB/54@2x.png";
// at 1x the path itself.
inline std::string AtDensity(const std::string& path, int density) {
  if (density == 1) return path;
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  const size_t stem_end =
      dot == std::string::npos || (slash != std::string::npos && dot < slash) ? path.size() : dot;
  return path.substr(0, stem_end) + "@" + std::to_string(density) + "x" + path.substr(stem_end);
}

// Relative path of updater image n (0 background, 1 button, 2 button when done, 3 close
// highlight).
inline std::string UpdaterImagePath(int n) {
  if (n < 0 || n >= kUpdaterImageCount) return {};
  return n == 0 ? "0.jpg" : std::to_string(n) + ".png";
}

}  // namespace rq700

#endif  // RQ700_SKIN_IMAGE_PATHS_H_
