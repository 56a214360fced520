// SPDX-License-Identifier: GPL-3.0-or-later
// lindora-pictures: paints every picture of the game into a resource folder.
//
//   lindora-pictures RESOURCE_DIR
//
// writes RESOURCE_DIR/bitmaps/*.bmp, icons/*.png and toolbar/00.png .. 14.png, and lists them.
#include <QTextStream>
#include <cstdio>

#include "Pictures.h"

int main(int argc, char** argv) {
  QTextStream out(stdout), err(stderr);
  if (argc != 2) {
    err << "usage: lindora-pictures RESOURCE_DIR\n";
    return 2;
  }
  QString error;
  const QStringList written = WriteAllPictures(QString::fromLocal8Bit(argv[1]), &error);
  if (written.isEmpty()) {
    err << "lindora-pictures: " << error << '\n';
    return 1;
  }
  for (const QString& path : written)
    out << path << '\n';
  return 0;
}
