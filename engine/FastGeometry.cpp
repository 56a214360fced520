// SPDX-License-Identifier: GPL-3.0-or-later
// The fast search's fixed tables, made once and shared by every search.
#include "FastGeometry.h"

const TFastSearch::TGeometry& TheGeometry() {
  static const TFastSearch::TGeometry geometry;
  return geometry;
}
