// Draws the skin: every numbered image of the editor and the updater's four images, each at
// 1x and at 2x ("name@2x.png"), the two program icons, and the launcher's icon in the desktop's
// icon theme sizes. Usage: skin_gen <editor img dir> <updater img dir> [<icon dir> [<icon theme
// dir>]]

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "skin/image_paths.h"
#include "tools/skin_gen/paint_kit.h"

namespace {

bool Save(const QImage& img, const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  const bool jpeg = path.endsWith(".jpg");
  QImage out =
      jpeg ? img.convertToFormat(QImage::Format_RGB32) : img.convertToFormat(QImage::Format_ARGB32);
  if (!out.save(path, jpeg ? "JPG" : "PNG", jpeg ? 94 : -1)) {
    std::fprintf(stderr, "skin_gen: cannot write %s\n", path.toLocal8Bit().constData());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: skin_gen <editor img dir> <updater img dir> [<icon dir> [<icon theme "
                 "dir>]]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString editor_dir = QString::fromLocal8Bit(argv[1]);
  const QString updater_dir = QString::fromLocal8Bit(argv[2]);

  bool ok = true;
  for (int density : rq700::kSkinDensities) {
    skin_gen::SetDensity(density);
    skin_gen::Sink sink;
    skin_gen::DrawMainView(sink);
    skin_gen::DrawPages(sink);
    skin_gen::DrawModules(sink);
    skin_gen::DrawExpChoices(sink);
    for (int n = 0; n < rq700::kEditorImageCount; ++n) {
      auto it = sink.images().find(n);
      if (it == sink.images().end()) {
        std::fprintf(stderr, "skin_gen: image %d was not drawn\n", n);
        ok = false;
        continue;
      }
      const std::string rel = rq700::AtDensity(rq700::EditorImagePath(n), density);
      ok = Save(it->second, editor_dir + "/" + QString::fromStdString(rel)) && ok;
    }
    for (int n = 0; n < rq700::kUpdaterImageCount; ++n) {
      const std::string rel = rq700::AtDensity(rq700::UpdaterImagePath(n), density);
      ok = Save(skin_gen::UpdaterImage(n), updater_dir + "/" + QString::fromStdString(rel)) && ok;
    }
  }
  // The icons have their own sizes.
  skin_gen::SetDensity(1);
  if (argc > 3) {
    const QString icon_dir = QString::fromLocal8Bit(argv[3]);
    ok = Save(skin_gen::ProgramIcon(true), icon_dir + "/zorva-rq700.png") && ok;
    ok = Save(skin_gen::ProgramIcon(false), icon_dir + "/zorva-studio.png") && ok;
  }
  if (argc > 4) {
    // <dir>/<N>x<N>/apps/zorva-studio.png, as the desktop's hicolor theme lays them out.
    const QString theme_dir = QString::fromLocal8Bit(argv[4]);
    const QImage icon = skin_gen::ProgramIcon(false);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
      const QString dir = QStringLiteral("%1/%2x%2/apps").arg(theme_dir).arg(size);
      const QImage scaled =
          icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      ok = Save(scaled, dir + "/zorva-studio.png") && ok;
    }
  }
  return ok ? 0 : 1;
}
