#include "HomeFolder.h"

#include <gtest/gtest.h>

#include "os/Machine.h"
#include "os/sim/SimOs.h"

namespace {

class HomeFolderTest : public testing::Test {
 protected:
  os::SimOs sim;
  os::MachineScope scope{sim};
};

TEST_F(HomeFolderTest, NormalizesTypedAndPickedFolders) {
  const std::string programFiles = "C:\\Program Files";
  struct Case {
    std::string typed;
    std::string normalized;
  };
  const Case cases[] = {
      // Trimming and one final backslash.
      {"D:\\Apps\\Editor\\", "D:\\Apps\\Editor"},
      {"  D:\\Apps\\Editor\\  ", "D:\\Apps\\Editor"},
      {"D:\\Apps\\Editor\\\\", "D:\\Apps\\Editor\\Veloquin"},
      {"D:\\My Apps\\Editor", "D:\\My Apps\\Editor"},
      // Tabs are not trimmed: a leading tab hides the drive part.
      {"D:\\Apps\t", "D:\\Apps\t"},
      {"\tD:\\Apps", "c:\\Veloquin"},
      // A drive alone.
      {"D:", "D:\\Veloquin"},
      {"D:\\", "D:\\Veloquin"},
      {" d:\\ ", "d:\\Veloquin"},
      // No drive part: the selector's drive replaces the text.
      {"", "c:\\Veloquin"},
      {"    ", "c:\\Veloquin"},
      {"Apps\\Editor", "c:\\Veloquin"},
      {"\\Apps\\Editor", "c:\\Veloquin"},
      // The Program Files folder itself, in any case, with or without its backslash.
      {"C:\\Program Files", "C:\\Program Files\\Veloquin"},
      {"c:\\PROGRAM FILES\\", "c:\\PROGRAM FILES\\Veloquin"},
      {"C:\\Program Files\\Veloquin", "C:\\Program Files\\Veloquin"},
      {"C:\\Program Files (x86)", "C:\\Program Files (x86)"},
      // Network paths keep everything but one final backslash.
      {"\\\\srv\\share\\x\\", "\\\\srv\\share\\x"},
      {"\\\\srv\\share", "\\\\srv\\share"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalizeHomeFolderText(c.typed, 'c', programFiles), c.normalized)
        << "[" << c.typed << "]";
  }
}

TEST_F(HomeFolderTest, ProgramFilesComparesWithTheSystemCaseMapping) {
  sim.SetCodePage(1251);
  // "C:\Програми" and the same upper-cased, in code page 1251.
  const std::string programFiles = "C:\\\xcf\xf0\xee\xe3\xf0\xe0\xec\xe8";
  const std::string typed = "c:\\\xcf\xd0\xce\xc3\xd0\xc0\xcc\xc8\\";
  EXPECT_EQ(NormalizeHomeFolderText(typed, 'd', programFiles),
            "c:\\\xcf\xd0\xce\xc3\xd0\xc0\xcc\xc8\\Veloquin");
  // An unknown Program Files folder matches nothing.
  EXPECT_EQ(NormalizeHomeFolderText("C:\\Apps", 'd', ""), "C:\\Apps");
}

}  // namespace
