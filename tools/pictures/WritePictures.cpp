// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QSaveFile>

#include "Pictures.h"

namespace {

// Writes through a temporary file, so a failed run leaves the previous picture in place.
bool Save(const QImage& image, const QString& dir, const QString& relative, const char* format,
          QString* error) {
  const QString path = QDir(dir).filePath(relative);
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    *error = "cannot create the folder of " + path;
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, format) || !file.commit()) {
    *error = "cannot write " + path + ": " + file.errorString();
    return false;
  }
  return true;
}

}  // namespace

QStringList WriteAllPictures(const QString& resourceDir, QString* error) {
  QList<QPair<QString, QImage>> pictures = {
      {"bitmaps/QIPAN.bmp", BoardBackground()},       {"bitmaps/BLACKCHESS.bmp", StoneBitmap(true)},
      {"bitmaps/WHITECHESS.bmp", StoneBitmap(false)}, {"icons/lindora.png", ProgramIcon()},
      {"icons/lindora32.png", SmallProgramIcon()},
  };
  for (int size : ThemeIconSizes)
    pictures.append({QString("icons/lindora-%1.png").arg(size), ProgramIconSized(size)});
  for (int i = 0; i < ToolbarImageCount; ++i)
    pictures.append({QString("toolbar/%1.png").arg(i, 2, 10, QChar('0')), ToolbarImage(i)});
  QStringList written;
  for (const auto& [relative, image] : pictures) {
    const char* format = relative.endsWith(".bmp") ? "BMP" : "PNG";
    if (!Save(image, resourceDir, relative, format, error)) return {};
    written.append(relative);
  }
  return written;
}
