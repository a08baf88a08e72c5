// Bitmaps from files and resources, file streams and string lists: the places where the
// class library raises the quiet error, and 8-bit names in the system's code page.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

using namespace uitest;

void Put16(os::Bytes& b, std::uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(os::Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A bitmap file: 4 bits per pixel with a palette of `palette` (0x00RRGGBB), or 24 bits per
// pixel; `rows` bottom row first, each a list of palette indexes or colours.
os::Bytes BitmapFile(int width, const std::vector<std::vector<std::uint32_t>>& rows, int bits,
                     const std::vector<std::uint32_t>& palette = {}) {
  const int height = static_cast<int>(rows.size());
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  os::Bytes info;
  Put32(info, 40);
  Put32(info, width);
  Put32(info, height);
  Put16(info, 1);
  Put16(info, bits);
  Put32(info, 0);
  Put32(info, static_cast<std::uint32_t>(stride * height));
  Put32(info, 2835);
  Put32(info, 2835);
  Put32(info, static_cast<std::uint32_t>(palette.size()));
  Put32(info, 0);
  for (std::uint32_t c : palette)
    Put32(info, c);
  os::Bytes pixels;
  for (const auto& row : rows) {
    os::Bytes line(stride, 0);
    for (int x = 0; x < width; ++x) {
      if (bits == 4) {
        line[x / 2] |= static_cast<std::uint8_t>(row[x] << (x % 2 == 0 ? 4 : 0));
      } else {
        line[x * 3] = row[x] & 0xFF;  // blue
        line[x * 3 + 1] = (row[x] >> 8) & 0xFF;
        line[x * 3 + 2] = (row[x] >> 16) & 0xFF;
      }
    }
    pixels.insert(pixels.end(), line.begin(), line.end());
  }
  os::Bytes file = {'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + info.size()));
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

using UiGraphicsTest = UiTest;

TEST_F(UiGraphicsTest, BitmapsLoadFromFilesAndResourcesTopRowFirst) {
  // 3 x 2 at 4 bits: bottom row magenta, black, red; top row white.
  const auto fourBit =
      BitmapFile(3, {{1, 0, 2}, {3, 3, 3}}, 4, {0x000000, 0xFF00FF, 0xFF0000, 0xFFFFFF});
  sim.AddFile("C:\\art\\drive.bmp", fourBit);
  ui::TBitmap picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.LoadFromFile("C:\\art\\drive.bmp");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(picture.Width(), 3);
  ASSERT_EQ(picture.Height(), 2);
  EXPECT_EQ(picture.Pixel(0, 0), ui::clWhite);
  EXPECT_EQ(picture.Pixel(2, 1), ui::clRed);
  EXPECT_EQ(picture.BottomLeftColor(), ui::clFuchsia);

  // A resource is the same picture without the file header.
  sim.SetResource("FIXEDDRIVE", ui::kBitmapResourceType,
                  os::Bytes(fourBit.begin() + 14, fourBit.end()));
  ui::TBitmap resource;
  EXPECT_TRUE(resource.LoadFromResourceName("FIXEDDRIVE"));
  EXPECT_EQ(std::vector<ui::TColor>(resource.Pixels().begin(), resource.Pixels().end()),
            std::vector<ui::TColor>(picture.Pixels().begin(), picture.Pixels().end()));
  EXPECT_FALSE(resource.LoadFromResourceName("MISSING"));
  EXPECT_TRUE(resource.Empty());

  // 24 bits, rows padded to four bytes.
  sim.AddFile("C:\\art\\logo.bmp", BitmapFile(2, {{0x123456, 0x0000FF}, {0xFF0000, 0x00FF00}}, 24));
  picture.LoadFromFile("C:\\art\\logo.bmp");
  EXPECT_EQ(picture.Pixel(0, 0), ui::clRed);
  EXPECT_EQ(picture.Pixel(1, 0), ui::clLime);
  EXPECT_EQ(picture.Pixel(0, 1), ui::MakeColor(0x12, 0x34, 0x56));
  EXPECT_EQ(picture.Pixel(1, 1), ui::clBlue);
}

TEST_F(UiGraphicsTest, ABitmapThatCannotBeLoadedIsTheQuietError) {
  auto cutShort = BitmapFile(
      16, std::vector<std::vector<std::uint32_t>>(16, std::vector<std::uint32_t>(16, 0)), 24);
  cutShort.resize(cutShort.size() - 10);
  auto compressed = BitmapFile(2, {{0, 0}}, 24);
  compressed[14 + 16] = 1;  // BI_RLE8
  sim.AddFile("C:\\short.bmp", cutShort);
  sim.AddFile("C:\\rle.bmp", compressed);
  sim.AddFile("C:\\text.bmp", "not a picture");
  sim.AddFile("C:\\empty.bmp", "");
  for (const char* path :
       {"C:\\missing.bmp", "C:\\short.bmp", "C:\\rle.bmp", "C:\\text.bmp", "C:\\empty.bmp", ""}) {
    ui::TBitmap picture;
    EXPECT_THROW(picture.LoadFromFile(path), EAbort) << path;
    EXPECT_TRUE(picture.Empty()) << path;
  }
}

// 8-bit names are the system's ANSI text: on a Cyrillic system the bytes of a Cyrillic
// folder name name that folder.
TEST_F(UiGraphicsTest, FileNamesAreWidenedWithTheSystemsCodePage) {
  sim.SetCodePage(1251);
  sim.AddFile("C:\\Папка\\licence.txt", "first\r\nsecond\rthird\nfourth");
  const std::string name = "C:\\\xCF\xE0\xEF\xEA\xE0\\licence.txt";  // "Папка" in 1251
  ui::TStringList lines;
  lines.LoadFromFile(name);
  EXPECT_EQ(lines.Count(), 4);
  EXPECT_EQ(lines[1], "second");
  EXPECT_EQ(lines[3], "fourth");
  lines.SaveToFile("C:\\\xCF\xE0\xEF\xEA\xE0\\copy.txt");
  EXPECT_EQ(sim.FileContents("C:\\Папка\\copy.txt"), "first\r\nsecond\r\nthird\r\nfourth\r\n");
}

TEST_F(UiGraphicsTest, FileStreamsRaiseTheQuietErrorForWhatTheyCannotDo) {
  sim.AddFile("C:\\data.bin", "12345");
  EXPECT_THROW(ui::TFileStream("C:\\none.bin", ui::TFileMode::OpenRead), EAbort);
  EXPECT_THROW(ui::TFileStream("C:\\no folder\\new.bin", ui::TFileMode::Create), EAbort);
  {
    auto lock = sim.LockFile("C:\\data.bin");
    EXPECT_THROW(ui::TFileStream("C:\\data.bin", ui::TFileMode::Create), EAbort);
  }
  ui::TFileStream stream("C:\\data.bin", ui::TFileMode::OpenRead);
  char buffer[8] = {};
  stream.ReadBuffer(buffer, 3);
  EXPECT_EQ(std::string(buffer, 3), "123");
  EXPECT_THROW(stream.ReadBuffer(buffer, 3), EAbort);  // only two bytes are left
  // Writing to a stream opened for reading writes nothing: a short write.
  EXPECT_THROW(stream.WriteBuffer("x", 1), EAbort);
}

TEST_F(UiGraphicsTest, AMemoShowsItsLinesAsOneText) {
  ui::TForm form(nullptr);
  auto& memo = Make<ui::TMemo>(form, form, "LicenseMemo");
  EXPECT_EQ(memo.Lines().Count(), 0);
  memo.Lines().SetText("a\r\nb\r\n");
  EXPECT_EQ(memo.Text(), "a\r\nb");
  memo.SetText("x\ry");
  EXPECT_EQ(memo.Lines().Count(), 2);
  EXPECT_EQ(memo.Lines()[1], "y");
}

}  // namespace
