// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the game, painted from code so that they can be regenerated and reviewed:
// the board background, the two stones, the program icons and the fifteen tool-bar images.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// The board background: 200 x 199, 8 bits per pixel with a 256-colour table, light warm wood.
QImage BoardBackground();

// A stone of 41 x 41 pixels on pure black. Every corner pixel is (0, 0, 0) and no pixel of the
// stone itself is, because the window draws the stone with black as its transparent colour.
QImage StoneBitmap(bool black);

// The program icon at 256 x 256 with transparency: the corner of a board with a few stones.
QImage ProgramIcon();

// The same icon drawn for 32 x 32 pixels and reduced to a 16-colour table.
QImage SmallProgramIcon();

// The icon for a desktop's icon theme at size x size pixels (16 to 256), full colour.
QImage ProgramIconSized(int size);
// The sizes shipped for the icon theme besides the 256 and 32 of lindora.png and lindora32.png.
constexpr int ThemeIconSizes[] = {16, 48, 64, 128};

// Tool-bar image number `index` (0..14), 32 x 32 with transparency.
QImage ToolbarImage(int index);
constexpr int ToolbarImageCount = 15;

// Writes every picture below `resourceDir` (bitmaps/, icons/, toolbar/). Answers the relative
// paths written, or an empty list with `error` set when a file could not be written.
QStringList WriteAllPictures(const QString& resourceDir, QString* error);
