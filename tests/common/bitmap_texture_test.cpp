// BitmapTexture against a real GL: what reaches the texture, what a refused
// file leaves behind, and that reloading deletes the texture held before.
#include "renderer/bitmap_texture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "renderer/bitmap_file.h"
#include "renderer/gl.h"
#include "renderer/staged_texture.h"
#include "tests/common/bmp_builder.h"
#include "tests/common/files.h"
#include "tests/common/gl_test_context.h"

namespace gelmo {
namespace {

using testing::BmpLayout;

class BitmapTextureTest : public ::testing::Test {
 protected:
  void SetUp() override { context_ = testing::MakeTestGlContext(64, 64); }
  void TearDown() override {
    texture_.Release();
    testing::RemoveFile(path_);
  }

  GLint Level0Width() {
    GLint w = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    return w;
  }

  std::unique_ptr<testing::TestGlContext> context_;
  BitmapTexture texture_;
  std::string path_ = "gelmo-texture-test.bmp";
};

TEST_F(BitmapTextureTest, UploadsBottomRowFirstAsTextureRowZero) {
  BmpLayout s;
  s.width = 8;
  s.height = 4;  // powers of two: the mipmap builder keeps level 0 as it is
  // column x in red, row y (from the bottom) in green
  ASSERT_TRUE(testing::WriteBytes(
      path_, testing::Bmp24(s, [](int x, int y) { return std::uint32_t(x * 16) << 16 | std::uint32_t(y * 32) << 8 | 0x40; })));
  ASSERT_TRUE(texture_.LoadBitmap(path_.c_str()));
  EXPECT_EQ(texture_.width, 8);
  EXPECT_EQ(texture_.height, 4);
  EXPECT_STREQ(texture_.name, path_.c_str());
  ASSERT_NE(texture_.textureId, 0u);

  GLint boundName = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundName);
  EXPECT_EQ(static_cast<std::uint32_t>(boundName), texture_.textureId - 1);
  std::uint8_t texels[4][8][3];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  for (int t = 0; t < 4; ++t)
    for (int s = 0; s < 8; ++s) {
      EXPECT_EQ(texels[t][s][0], s * 16) << s << "," << t;
      EXPECT_EQ(texels[t][s][1], t * 32) << s << "," << t;
      EXPECT_EQ(texels[t][s][2], 0x40) << s << "," << t;
    }
  GLint wrapS = 0, minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(wrapS, GL_REPEAT);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
}

TEST_F(BitmapTextureTest, AcceptsSizesThatAreNotPowersOfTwo) {
  BmpLayout s;
  s.width = 101;
  s.height = 50;
  ASSERT_TRUE(testing::WriteBytes(path_, testing::Bmp24Solid(s, 0x20C040)));
  ASSERT_TRUE(texture_.LoadBitmap(path_.c_str()));
  EXPECT_GT(Level0Width(), 0);
  std::uint8_t texel[3];
  glGetTexImage(GL_TEXTURE_2D, 6, GL_RGB, GL_UNSIGNED_BYTE, texel);  // a far mipmap level
  EXPECT_NEAR(texel[0], 0x20, 2);
  EXPECT_NEAR(texel[1], 0xC0, 2);
  EXPECT_NEAR(texel[2], 0x40, 2);
}

TEST_F(BitmapTextureTest, RefusedOrMissingFileLeavesANamedEmptyTexture) {
  EXPECT_FALSE(texture_.LoadBitmap("no-such-file.bmp"));
  EXPECT_NE(texture_.textureId, 0u);
  EXPECT_EQ(Level0Width(), 0);

  BmpLayout s;
  s.magic0 = 'X';
  ASSERT_TRUE(testing::WriteBytes(path_, testing::Bmp24Solid(s, 0xFFFFFF)));
  EXPECT_FALSE(texture_.LoadBitmap(path_.c_str()));
  EXPECT_NE(texture_.textureId, 0u);
  EXPECT_EQ(Level0Width(), 0);

  BmpLayout big;
  big.width = 300;
  big.height = 200;
  ASSERT_TRUE(testing::WriteBytes(path_, testing::BmpHeaders(big)));  // rows missing
  EXPECT_FALSE(texture_.LoadBitmap(path_.c_str()));
  EXPECT_EQ(texture_.width, 300);  // kept from the header that was read
  EXPECT_EQ(texture_.height, 200);
  EXPECT_EQ(Level0Width(), 0);
}

TEST_F(BitmapTextureTest, ReloadingDeletesTheTextureHeldBefore) {
  BmpLayout s;
  ASSERT_TRUE(testing::WriteBytes(path_, testing::Bmp24Solid(s, 0x010203)));
  ASSERT_TRUE(texture_.LoadBitmap(path_.c_str()));
  const GLuint first = texture_.textureId - 1;
  ASSERT_TRUE(glIsTexture(first));
  ASSERT_GT(Level0Width(), 0);

  // A fresh texture: either a new name while the old one is gone, or the old
  // name handed out again, which the GL only does after it was deleted (and
  // then it holds no image).
  texture_.Create(path_.c_str());
  const GLuint second = texture_.textureId - 1;
  if (second != first)
    EXPECT_FALSE(glIsTexture(first));
  else
    EXPECT_EQ(Level0Width(), 0);

  texture_.Release();
  EXPECT_EQ(texture_.textureId, 0u);
  EXPECT_FALSE(glIsTexture(second));
  texture_.Release();  // releasing an empty object does nothing
  EXPECT_EQ(texture_.textureId, 0u);
}

// A change of picture uploads its own mipmap chain into a texture that is used
// again from picture to picture: its levels must have the sizes the first
// picture's texture got from the mipmap builder, or each change would make
// new texture memory (and the pictures would differ in sharpness).
TEST_F(BitmapTextureTest, AChangesChainHasTheMipmapBuildersSizesAndColours) {
  for (const auto& [width, height] : {std::pair{48, 40}, {47, 24}, {6, 5}, {3, 1}, {64, 12}}) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    ASSERT_TRUE(testing::WriteBytes(path_, testing::Bmp24Solid(s, 0x20C040)));
    ASSERT_TRUE(texture_.LoadBitmap(path_.c_str()));
    GLint built[2] = {};
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &built[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &built[1]);

    BmpImage image;
    ASSERT_EQ(ReadHandOffBitmap(*OpenBitmapFile(path_.c_str()), image), BmpResult::kOk);
    const std::vector<MipLevel> chain = MipmapChain(image);
    ASSERT_FALSE(chain.empty());
    EXPECT_EQ(chain.front().width, built[0]) << width << "x" << height;
    EXPECT_EQ(chain.front().height, built[1]) << width << "x" << height;
    EXPECT_EQ(chain.back().width * chain.back().height, 1);
    for (const MipLevel& level : chain) {  // a flat colour stays that colour, enlarged or reduced
      ASSERT_EQ(level.bgra.size(), std::size_t(level.width) * std::size_t(level.height) * 4);
      for (std::size_t i = 0; i < level.bgra.size(); i += 4)
        ASSERT_EQ(level.bgra[i] << 16 | level.bgra[i + 1] << 8 | level.bgra[i + 2], 0x40C020) << width << "x" << height;
    }

    // Into a second texture made like the first: no level is made anew.
    BitmapTexture spare;
    spare.Create("spare");
    AllocateLevelsLike(texture_, spare);
    StagedTexture upload;
    upload.Start(chain);
    while (!upload.UploadSome(16)) {
    }
    std::vector<std::uint8_t> texels(std::size_t(built[0]) * std::size_t(built[1]) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0] << 16 | texels[1] << 8 | texels[2], 0x20C040);
    EXPECT_EQ(texels[texels.size() - 3] << 16 | texels[texels.size() - 2] << 8 | texels.back(), 0x20C040);
  }
}

TEST_F(BitmapTextureTest, LongPathIsTruncatedInName) {
  const std::string longPath(200, 'p');
  EXPECT_FALSE(texture_.LoadBitmap(longPath.c_str()));
  EXPECT_EQ(std::string(texture_.name), longPath.substr(0, 63));
}

}  // namespace
}  // namespace gelmo
