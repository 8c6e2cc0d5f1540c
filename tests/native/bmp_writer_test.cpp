// The forms layer's BMP writer produces what the renderer's reader accepts.
#include "scr/pictures/bmp_writer.h"

#include <gtest/gtest.h>

#include "renderer/bmp_reader.h"

namespace gelmo {
namespace {

TEST(BmpWriter, RoundTripsThroughTheRenderersReader) {
  for (int width : {1, 2, 3, 4, 73, 101}) {
    const int height = 77;
    std::vector<std::uint8_t> rows(std::size_t(Bmp24RowBytes(width)) * height);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = std::uint8_t(i * 31 + 7);
    const std::vector<std::uint8_t> file = EncodeBmp24(width, height, rows);
    ASSERT_EQ(file.size(), 54 + rows.size());
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(file[2] | file[3] << 8 | file[4] << 16, int(file.size()));

    MemorySource source(file.data(), file.size());
    BmpImage image;
    ASSERT_EQ(ReadHandOffBitmap(source, image), BmpResult::kOk) << width;
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    EXPECT_EQ(image.pixels, rows);
  }
}

TEST(BmpWriter, RefusesSizesItCannotWrite) {
  std::vector<std::uint8_t> rows(100);
  EXPECT_TRUE(EncodeBmp24(0, 1, rows).empty());
  EXPECT_TRUE(EncodeBmp24(1, -1, rows).empty());
  EXPECT_TRUE(EncodeBmp24(10, 10, rows).empty());  // rows too few
  EXPECT_TRUE(EncodeBmp24(0x7FFFFFFF, 0x7FFFFFFF, rows).empty());
}

}  // namespace
}  // namespace gelmo
