// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures in resources/: the formats the window loads, the black the stones are cut out
// of, the icons, the tool-bar images, the resource list, and the generator that writes them.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "Painting.h"
#include "Pictures.h"

namespace {

const QString Resources = LINDORA_RESOURCES_DIR;

QImage Load(const QString& relative) {
  QImage image(Resources + "/" + relative);
  EXPECT_FALSE(image.isNull()) << relative.toStdString();
  return image;
}

// Width, height and bits per pixel from a BMP's own header, whatever a loader makes of it.
struct TBmpHeader {
  int Width = 0, Height = 0, Bits = 0, Compression = -1;
};
TBmpHeader ReadBmpHeader(const QString& relative) {
  QFile file(Resources + "/" + relative);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray head = file.read(54);
  if (head.size() < 54 || !head.startsWith("BM")) return {};
  auto number = [&](int at, int size) {
    int value = 0;
    for (int i = size - 1; i >= 0; --i)
      value = value * 256 + static_cast<unsigned char>(head[at + i]);
    return value;
  };
  return {number(18, 4), number(22, 4), number(28, 2), number(30, 4)};
}

double Luminance(QRgb c) {
  return 0.3 * qRed(c) + 0.59 * qGreen(c) + 0.11 * qBlue(c);
}

TEST(ShippedPictures, BitmapsHaveTheSizesAndPixelFormatsTheWindowExpects) {
  const TBmpHeader board = ReadBmpHeader("bitmaps/QIPAN.bmp");
  EXPECT_EQ(board.Width, 200);
  EXPECT_EQ(board.Height, 199);
  EXPECT_EQ(board.Bits, 8);
  EXPECT_EQ(board.Compression, 0);
  EXPECT_EQ(Load("bitmaps/QIPAN.bmp").format(), QImage::Format_Indexed8);
  for (const char* stone : {"bitmaps/BLACKCHESS.bmp", "bitmaps/WHITECHESS.bmp"}) {
    const TBmpHeader header = ReadBmpHeader(stone);
    EXPECT_EQ(header.Width, 41) << stone;
    EXPECT_EQ(header.Height, 41) << stone;
    EXPECT_EQ(header.Bits, 24) << stone;
    EXPECT_EQ(header.Compression, 0) << stone;
  }
}

// The window draws a stone with its bottom-left colour as the transparent one: the stone must
// be a whole disc of non-black pixels on a background of exact black.
TEST(ShippedPictures, StonesAreSolidDiscsOnPureBlack) {
  for (const char* name : {"bitmaps/BLACKCHESS.bmp", "bitmaps/WHITECHESS.bmp"}) {
    const QImage stone = Load(name);
    ASSERT_EQ(stone.size(), QSize(41, 41));
    for (QPoint corner : {QPoint(0, 0), QPoint(40, 0), QPoint(0, 40), QPoint(40, 40)})
      EXPECT_EQ(stone.pixel(corner) & 0xffffff, 0u) << name;
    for (int y = 0; y < 41; ++y) {
      for (int x = 0; x < 41; ++x) {
        const double r = std::hypot(x + 0.5 - 20.5, y + 0.5 - 20.5);
        const bool black = (stone.pixel(x, y) & 0xffffff) == 0;
        if (r < 19) {
          EXPECT_FALSE(black) << name << " inside at " << x << "," << y;
        } else if (r > 20.5) {
          EXPECT_TRUE(black) << name << " outside at " << x << "," << y;
        }
      }
    }
  }
  EXPECT_LT(Luminance(Load("bitmaps/BLACKCHESS.bmp").pixel(24, 26)), 80);
  EXPECT_GT(Luminance(Load("bitmaps/WHITECHESS.bmp").pixel(24, 26)), 170);
}

// A stone's edge pixels, those next to the black background, are mixed from the stone's own
// colours and the board's wood tone, never darkened toward the background: cut out and laid on
// the wood, the stone shows no dark rim.
TEST(ShippedPictures, StoneEdgesBlendTowardTheWood) {
  const QColor wood = MeanColour(Load("bitmaps/QIPAN.bmp"));
  for (const char* name : {"bitmaps/BLACKCHESS.bmp", "bitmaps/WHITECHESS.bmp"}) {
    const QImage stone = Load(name);
    const auto background = [&stone](int x, int y) {
      return !stone.valid(x, y) || (stone.pixel(x, y) & 0xffffff) == 0;
    };
    const auto nextToBackground = [&](int x, int y) {
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (background(x + dx, y + dy)) return true;
      return false;
    };
    // The channel-wise range of the stone's inner colours and the wood tone.
    int low[3] = {wood.red(), wood.green(), wood.blue()};
    int high[3] = {low[0], low[1], low[2]};
    std::vector<QPoint> edge;
    for (int y = 0; y < 41; ++y) {
      for (int x = 0; x < 41; ++x) {
        if (background(x, y)) continue;
        if (nextToBackground(x, y)) {
          edge.emplace_back(x, y);
          continue;
        }
        const QRgb c = stone.pixel(x, y);
        const int channels[3] = {qRed(c), qGreen(c), qBlue(c)};
        for (int i = 0; i < 3; ++i) {
          low[i] = std::min(low[i], channels[i]);
          high[i] = std::max(high[i], channels[i]);
        }
      }
    }
    EXPECT_GT(edge.size(), 60u) << name;
    for (const QPoint& p : edge) {
      const QRgb c = stone.pixel(p);
      const int channels[3] = {qRed(c), qGreen(c), qBlue(c)};
      for (int i = 0; i < 3; ++i) {
        EXPECT_GE(channels[i], low[i] - 2) << name << " at " << p.x() << "," << p.y();
        EXPECT_LE(channels[i], high[i] + 2) << name << " at " << p.x() << "," << p.y();
      }
    }
  }
}

// Light warm wood whose columns and rows carry no line the grid could be confused with.
TEST(ShippedPictures, BoardIsLightWoodWithoutLines) {
  const QImage board = Load("bitmaps/QIPAN.bmp").convertToFormat(QImage::Format_RGB32);
  std::vector<double> columns(board.width()), rows(board.height());
  double red = 0, blue = 0;
  for (int y = 0; y < board.height(); ++y) {
    for (int x = 0; x < board.width(); ++x) {
      const QRgb c = board.pixel(x, y);
      columns[x] += Luminance(c) / board.height();
      rows[y] += Luminance(c) / board.width();
      red += qRed(c);
      blue += qBlue(c);
    }
  }
  EXPECT_GT(red, blue * 1.3);
  for (const auto* means : {&columns, &rows}) {
    const std::vector<double>& m = *means;
    for (size_t i = 3; i + 3 < m.size(); ++i) {
      const double around = (m[i - 3] + m[i - 2] + m[i - 1] + m[i + 1] + m[i + 2] + m[i + 3]) / 6;
      EXPECT_LT(around - m[i], 25) << "a dark line at " << i;
      EXPECT_GT(m[i], 150) << "too dark at " << i;
    }
  }
}

TEST(ShippedPictures, IconsAreTransparentAtTheCornersAndTheSmallOneHas16Colours) {
  const QImage icon = Load("icons/lindora.png");
  EXPECT_EQ(icon.size(), QSize(256, 256));
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(128, 128)), 255);
  const QImage small = Load("icons/lindora32.png");
  EXPECT_EQ(small.size(), QSize(32, 32));
  EXPECT_EQ(qAlpha(small.pixel(0, 0)), 0);
  QSet<QRgb> colours;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      colours.insert(small.pixel(x, y));
  EXPECT_LE(colours.size(), 16);
  EXPECT_GE(colours.size(), 8);
}

// The icon theme's sizes: each square, clear at the corners, solid in the middle.
TEST(ShippedPictures, ThemeIconsHaveTheirSizes) {
  for (int size : ThemeIconSizes) {
    const QString name = QString("icons/lindora-%1.png").arg(size);
    const QImage icon = Load(name);
    EXPECT_EQ(icon.size(), QSize(size, size)) << name.toStdString();
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << name.toStdString();
    EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << name.toStdString();
  }
}

// Fifteen different images, each a shape on a transparent ground.
TEST(ShippedPictures, ToolbarImagesAreFifteenDistinctShapes) {
  QList<QImage> images;
  for (int i = 0; i < ToolbarImageCount; ++i) {
    const QString name = QString("toolbar/%1.png").arg(i, 2, 10, QChar('0'));
    const QImage image = Load(name).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32)) << name.toStdString();
    int clear = 0, solid = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        clear += qAlpha(image.pixel(x, y)) == 0;
        solid += qAlpha(image.pixel(x, y)) == 255;
      }
    }
    EXPECT_GT(clear, 40) << name.toStdString();
    EXPECT_GT(solid, 150) << name.toStdString();
    for (int j = 0; j < images.size(); ++j)
      EXPECT_NE(image, images[j]) << i << " repeats " << j;
    images.append(image);
  }
  EXPECT_FALSE(QFile::exists(Resources + "/toolbar/15.png"));
}

TEST(ShippedPictures, ResourceListNamesEveryPictureAtItsPath) {
  QFile list(Resources + "/lindora.qrc");
  ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(list.readAll());
  EXPECT_TRUE(text.contains("<qresource prefix=\"/\">"));
  QStringList listed;
  for (const auto& match : QRegularExpression("<file>([^<]+)</file>").globalMatch(text))
    listed.append(match.captured(1));
  QStringList expected = {"bitmaps/QIPAN.bmp", "bitmaps/BLACKCHESS.bmp", "bitmaps/WHITECHESS.bmp",
                          "icons/lindora.png", "icons/lindora32.png"};
  for (int i = 0; i < ToolbarImageCount; ++i)
    expected.append(QString("toolbar/%1.png").arg(i, 2, 10, QChar('0')));
  EXPECT_EQ(listed, expected);
  for (const QString& path : listed)
    EXPECT_TRUE(QFile::exists(Resources + "/" + path)) << path.toStdString();
}

// The shipped files are what the generator paints now: a change of the painting code that was
// not followed by a run of the generator shows here. A small tolerance absorbs floating-point
// differences between compilers.
TEST(PictureGenerator, WritesWhatIsShipped) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString error;
  const QStringList written = WriteAllPictures(dir.path(), &error);
  ASSERT_EQ(written.size(), 5 + std::size(ThemeIconSizes) + ToolbarImageCount)
      << error.toStdString();
  for (const QString& relative : written) {
    const QImage fresh = QImage(dir.filePath(relative)).convertToFormat(QImage::Format_ARGB32);
    const QImage shipped = Load(relative).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(fresh.size(), shipped.size()) << relative.toStdString();
    double difference = 0;
    for (int y = 0; y < fresh.height(); ++y)
      for (int x = 0; x < fresh.width(); ++x)
        for (int shift : {0, 8, 16, 24})
          difference += std::abs(int((fresh.pixel(x, y) >> shift) & 255) -
                                 int((shipped.pixel(x, y) >> shift) & 255));
    EXPECT_LT(difference / (fresh.width() * fresh.height() * 4), 1.0) << relative.toStdString();
  }
}

TEST(PictureGenerator, ReportsAFolderItCannotWrite) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile blocker(dir.filePath("toolbar"));  // a file where the tool-bar folder should go
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QString error;
  EXPECT_TRUE(WriteAllPictures(dir.path(), &error).isEmpty());
  EXPECT_TRUE(error.contains("toolbar")) << error.toStdString();
}

}  // namespace
