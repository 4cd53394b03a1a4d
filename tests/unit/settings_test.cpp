// Where the settings are read and written: the routines on the recording fake.
#include <gmock/gmock.h>

#include <regex>

#include "fake_platform.h"
#include "settings/settings.h"
#include "table_test.h"

namespace vorn {
namespace {

using testing::FakePlatform;

const std::string kUserFile = "C:\\Users\\u\\AppData\\Roaming\\Vorn\\Vorn.ini";

// A file as the stories name it: "B" beside the program, "U" the user's, others in full.
std::string Named(const FakePlatform& platform, const std::string& file) {
  return file == platform.programDirectory + "\\Vorn.ini" ? "B" : file == kUserFile ? "U" : file;
}

// The profile calls as "<file>:<key>", the user's folder made as "U+"; "!" where refused.
std::string Story(const FakePlatform& platform) {
  const std::regex kCall(R"re((\w+)\((?:"Section", "(\w+)", .*)?"([^"]*)"\)( -> 0)?)re");
  std::string story;
  for (std::smatch m; const std::string& call : platform.calls) {
    if (!std::regex_match(call, m, kCall)) continue;
    story += m[1] == "CreateFolder" ? Named(platform, m[3].str() + "\\Vorn.ini") + "+"
                                    : Named(platform, m[3]) + ":" + m[2].str();
    story += m[4].matched ? "! " : " ";
  }
  return story;
}

struct PlaceCase {
  const char* name;
  std::string directory;            // the program's folder
  std::vector<std::string> locked;  // folders where nothing can be written
  std::string read;                 // the file read: "B", "U", or "" for none (the defaults)
  std::string save;                 // the story of a save
  std::string savedTo;              // "B", "U", or "" for nowhere
  bool userFile = false;            // the user's file is there already
  int writesBeforeFull = -1;
};
using Places = ::testing::TestWithParam<PlaceCase>;

// A file read or written elsewhere (the working directory, a garbled or cut path), the user's file
// not preferred once it is there, a write not checked, or one save spread over two files.
TEST_P(Places, ReadAndWriteOnlyTheChosenFile) {
  const PlaceCase& c = GetParam();
  FakePlatform platform;
  platform.programDirectory = c.directory;
  platform.lockedFolders = c.locked;
  platform.writesBeforeFull = c.writesBeforeFull;
  if (c.userFile) platform.files = {kUserFile};
  Settings settings;
  LoadSettings(platform, settings);
  const std::string& r = c.read;
  EXPECT_EQ(Story(platform), r.empty() ? "" : r + ":Speed " + r + ":Num " + r + ":Intval ");
  EXPECT_EQ(settings, (Settings{5, 200, 30}));
  platform.calls.clear();
  const SaveResult saved = WriteSettings(platform, {6, 200, 30});
  EXPECT_EQ(Story(platform), c.save);
  EXPECT_EQ(saved.savedTo ? Named(platform, *saved.savedTo) : "", c.savedTo);
}

std::string Times(int count, const std::string& text) {
  std::string repeated;
  while (count-- > 0) repeated += text;
  return repeated;
}
const std::string kUser = "U+ U:Speed U:Num U:Intval ", kRoaming = "C:\\Users\\u\\AppData\\Roaming";
// clang-format off
VORN_TABLE(Places,
    {"Beside_writable", "C:\\Saver", {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"Beside_unwritable", "C:\\Saver", {"C:\\Saver"}, "B", "B:Speed! " + kUser, "U"},
    {"User_file_there", "C:\\Saver", {}, "U", kUser, "U", true},
    {"User_file_unwritable", "C:\\Saver", {kRoaming + "\\Vorn"}, "U", "U+ U:Speed! ", "", true},
    {"Path_of_259", "C:\\" + std::string(247, 'x'), {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"Path_of_260", "C:\\" + std::string(248, 'x'), {}, "", kUser, "U"},
    {"UTF16_units_259", "C:\\" + Times(247, "設"), {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"Surrogate_pairs_260", "C:\\" + Times(124, "🔥"), {}, "", kUser, "U"},
    {"Share", "\\\\server\\share", {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"No_folder", "", {}, "", kUser, "U"},
    {"Drive_relative", "C:Saver", {}, "", kUser, "U"},
    {"Nowhere", "C:\\Saver", {"C:\\Saver", kRoaming}, "B", "B:Speed! U+! ", ""},
    {"Disk_full", "C:\\Saver", {}, "B", "B:Speed B:Num! U+ U:Speed! ", "", false, 1});
// clang-format on

}  // namespace
}  // namespace vorn
