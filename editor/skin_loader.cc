#include "editor/skin_loader.h"

#include <QDir>

namespace rq700 {

QtImageSet LoadEditorSkin(const QString& folder) {
  // Only the base picture has a fixed name yet; the numbered images follow with the
  // view's image table.
  QtImageSet images(1);
  images[0].Load(QDir(folder).filePath("0.jpg"));
  for (QtImage& image : images) image.Premultiply();
  return images;
}

}  // namespace rq700
