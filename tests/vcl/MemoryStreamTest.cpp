#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "vcl/MemoryStream.h"

namespace {

TEST(MemoryStreamTest, ReadWriteAndSeek) {
  TMemoryStream s;
  EXPECT_EQ(s.Memory(), nullptr);
  EXPECT_EQ(s.Write("abcdef", 6), 6);
  EXPECT_EQ(s.Position(), 6);
  EXPECT_EQ(s.Seek(-4, soCurrent), 2);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);
  EXPECT_STREQ(buf, "cdef");
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);

  // Overwrite in the middle, then write past the end: the gap reads as zero.
  s.SetPosition(1);
  s.WriteBuffer("XY", 2);
  EXPECT_EQ(std::memcmp(s.Memory(), "aXYdef", 6), 0);
  s.Seek(2, soEnd);
  s.WriteBuffer("Z", 1);
  EXPECT_EQ(s.Size(), 9);
  EXPECT_EQ(std::memcmp(s.Memory(), "aXYdef\0\0Z", 9), 0);

  EXPECT_THROW(s.Seek(-10, soEnd), EStreamError);
  EXPECT_THROW(s.Seek(INT64_MAX, soCurrent), EStreamError);
  EXPECT_EQ(s.Position(), 9);
  s.SetPosition(INT64_MAX);
  EXPECT_THROW(s.Write("x", 1), EWriteError);
  EXPECT_EQ(s.Read(buf, 1), 0);

  s.SetSize(3);
  EXPECT_EQ(s.Position(), 3);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.Memory(), nullptr);
}

TEST(MemoryStreamTest, Files) {
  const auto dir = std::filesystem::temp_directory_path() / ("qorb-stream-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::u16string file = Utf8ToUtf16((dir / "data.bin").string());

  TMemoryStream out;
  out.WriteBuffer("\0\1\2\3", 4);
  out.SaveToFile(file);
  TMemoryStream in;
  in.WriteBuffer("old", 3);
  in.LoadFromFile(file);
  EXPECT_EQ(in.Size(), 4);
  EXPECT_EQ(in.Position(), 0);
  EXPECT_EQ(std::memcmp(in.Memory(), "\0\1\2\3", 4), 0);

  std::filesystem::remove_all(dir);
  try {
    in.LoadFromFile(file);
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().ToUtf8().find("data.bin"), std::string::npos);
  }
  EXPECT_EQ(in.Size(), 4);
  EXPECT_THROW(out.SaveToFile(file), EFOpenError);
}

}  // namespace
