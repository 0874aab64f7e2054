#include "editor/skin_loader.h"

#include <QDir>

#include "skin/image_paths.h"

namespace rq700 {

QtImageSet LoadEditorSkin(const QString& folder) {
  const QDir dir(folder);
  QtImageSet images(kEditorImageCount);
  for (int n = 0; n < kEditorImageCount; ++n) {
    images[n].Load(dir.filePath(QString::fromStdString(EditorImagePath(n))));
    // The base picture is a JPEG; every other one is a PNG drawn with its alpha.
    images[n].Premultiply();
  }
  return images;
}

}  // namespace rq700
