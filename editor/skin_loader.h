#ifndef RQ700_EDITOR_SKIN_LOADER_H_
#define RQ700_EDITOR_SKIN_LOADER_H_

#include <QString>

#include "skin/qt_image.h"

namespace rq700 {

// The editor's numbered skin images from `folder`, each premultiplied when it carries
// alpha. Missing files stay empty.
QtImageSet LoadEditorSkin(const QString& folder);

}  // namespace rq700

#endif  // RQ700_EDITOR_SKIN_LOADER_H_
