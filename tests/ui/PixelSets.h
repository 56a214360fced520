// SPDX-License-Identifier: GPL-3.0-or-later
// Sets of pixels for the drawing tests: the pixels of a rectangle, and those in which two pictures
// of the same size differ.
#pragma once

#include <QImage>
#include <set>
#include <utility>

using TPixelSet = std::set<std::pair<int, int>>;

// The pixels of a rectangle, left and top edges in, right and bottom edges out.
inline TPixelSet Block(int left, int top, int right, int bottom) {
  TPixelSet pixels;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x)
      pixels.emplace(x, y);
  }
  return pixels;
}

inline TPixelSet ChangedPixels(const QImage& a, const QImage& b) {
  TPixelSet pixels;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) pixels.emplace(x, y);
    }
  }
  return pixels;
}
