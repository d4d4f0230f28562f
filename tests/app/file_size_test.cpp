// File sizes of directory entries, beyond 32 bits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/Crc32.h"
#include "framework/Graphics.h"
#include "platform/System.h"

namespace fs = std::filesystem;

namespace {

class FileSizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(platform::TempDirectory()) /
          ("vorlix_size_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
           std::to_string(std::random_device{}()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::u16string Wide(const fs::path& p) { return AnsiToWide(p.string()); }
  fs::path dir;
};

TEST_F(FileSizeTest, MissingPathIsMinusOne) {
  EXPECT_EQ(FileSizeOf(Wide(dir / "nothing.exe")), -1);
  EXPECT_EQ(FileSizeOf(Wide(dir / "no" / "such" / "dir")), -1);
  EXPECT_EQ(FileSizeOf(u""), -1);
}

TEST_F(FileSizeTest, SmallAndEmptyFiles) {
  std::ofstream(dir / "empty.bin", std::ios::binary).close();
  std::ofstream(dir / "three.bin", std::ios::binary) << "abc";
  EXPECT_EQ(FileSizeOf(Wide(dir / "empty.bin")), 0);
  EXPECT_EQ(FileSizeOf(Wide(dir / "three.bin")), 3);
}

TEST_F(FileSizeTest, FileAboveFourGigabytes) {
  const fs::path p = dir / "big.bin";
  std::ofstream(p, std::ios::binary).close();
  const uintmax_t want = (uintmax_t{5} << 30) + 12345;  // sparse where the system allows it
  std::error_code ec;
  fs::resize_file(p, want, ec);
  if (ec) GTEST_SKIP() << "cannot make a 5 GiB file here: " << ec.message();
  EXPECT_EQ(FileSizeOf(Wide(p)), static_cast<int64_t>(want));
}

}  // namespace
