// The console program, run as a user would.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "model/md2_format.h"
#include "skins/colour_reduction.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "support/archive_writer.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

// Exit status and both streams.
std::pair<int, std::string> runCli(const std::string& args) {
  static const test::TempDir scratch;
  const std::string out = scratch.file("out.txt");
  const int status =
      std::system((std::string(PELT_CLI_PATH) + " " + args + " >" + out + " 2>&1").c_str());
  const Bytes text = readWholeFile(out).bytes;
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(text.begin(), text.end())};
}

// Every run answers with its status: 0 with the expected output, 2 for bad
// arguments, 1 for a file that cannot be used, naming what is wrong (and
// writing nothing then).
TEST(Cli, AnswersEveryRunWithItsStatusAndReason) {
  test::TempDir dir;
  const auto [demoStatus, demo] = runCli("demo " + dir.path());
  ASSERT_EQ(demoStatus, 0) << demo;
  const std::string model = demo.substr(0, demo.find('\n'));
  const std::string small = dir.write("small.pcx", encodeSkinPcx(test::patternSkin(8, 8)));
  const std::string bad = dir.write("bad.pcx", {1, 2, 3});
  const std::string none = dir.file("none.pcx"), gif = dir.file("x.gif"), fifo = dir.file("fifo");
  const std::string rgb =
      dir.write("rgb.png", encodeRgbPng(pictureOfSkin(test::patternSkin(8, 8))));
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string big = dir.write("big.pcx", {1});
  std::filesystem::resize_file(big, kMaxReadableFileSize + 1);
  const std::string render = "render " + model + " " + dir.file("out.bmp");
  // Names come from files: any bytes must give a string a JSON reader accepts
  // (skin names have their backslashes turned, frame names do not).
  Md2Data named = test::quadStripMd2(
      2, 16, 8, {"q\"b\t\x01\xc3\xa9", "bad\xff\xc3.pcx", "\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80"},
      3);
  named.frames[0].name = "b\\s";
  const std::string info = "info " + dir.write("baseq2/named.md2", encodeMd2(named)) + " --json";
  // A game folder with archived models and a skin; a loose model shadows one.
  const std::string game = dir.file("game"), base = " --base " + game;
  dir.write("game/pak0.pak",
            test::packBytes({{"m/a.md2", encodeMd2(test::quadStripMd2(1, 8, 8))},
                             {"m/b.md2", encodeMd2(test::quadStripMd2(2, 8, 8))},
                             {"m/s.pcx", encodeSkinPcx(test::patternSkin(8, 8))}}));
  dir.write("game/m/A.md2", {1});
  dir.write("broken/pak0.pak", {1});
  const std::tuple<std::string, int, std::string> cases[] = {
      {info, 0,
       "{\"vertices\": 6, \"triangles\": 4, \"st\": 6, \"frames\": 3, \"skinWidth\": 16, "
       "\"skinHeight\": 8, \"skins\": [\"q\\\"b\\u0009\\u0001\xc3\xa9\", "
       "\"bad\\u00ff\\u00c3.pcx\", "
       "\"\\u00c0\\u00af\\u00ed\\u00a0\\u0080\\u00f4\\u0090\\u0080\\u0080\"], \"skinsFound\": "
       "[{\"file\": null, \"format\": null}, {\"file\": null, \"format\": null}, "
       "{\"file\": null, \"format\": null}], \"frameNames\": "
       "[\"b\\\\s\", \"frame1\", \"frame2\"], \"glCommands\": {\"words\": 0, \"commands\": 0, "
       "\"strips\": 0, \"fans\": 0, \"averageVertices\": 0.00}, \"savedGlCommands\": "
       "{\"words\": 27, \"commands\": 2, \"strips\": 0, \"fans\": 2, \"averageVertices\": "
       "4.00}}\n"},
      {"ls " + game + " '*.MD2'", 0, "m/A.md2\tloose, shadows pak0.pak\nm/b.md2\tpak0.pak\n"},
      {"info m/b.md2" + base, 0, "triangles: 4\n"},
      {"render m/b.md2 " + dir.file("b.bmp") + base + " --skin m/s.pcx", 0, ""},
      {"convert m/s.pcx " + dir.file("s.bmp") + base, 0, ""},
      {"ls " + dir.file("broken"), 1, "pak0.pak is damaged and was left out: it is not a PACK"},
      {"ls " + none, 1, none + ": not a folder"},
      {render + " --mode 9", 2, "--mode: 9 is out of range (0 to 8)"},
      {render + " --size 640x", 2, "--size: \"640x\" is not WxH"},
      {render + " --mode", 2, "--mode needs a value"},
      {"render " + model + " " + gif, 2, gif + ": cannot write \".gif\" files"},
      {"convert " + rgb + " " + dir.file("x.pcx"), 1,
       rgb + " is a true-colour picture: name a palette with --palette FILE"},
      {"convert " + rgb + " " + dir.file("x.pcx") + " --palette " + none, 1,
       none + ": No such file or directory"},
      {render + " --skin " + small, 1, small + ": Error loading skin: Incorrect dimensions!"},
      {render + " --env " + bad, 1, bad + ": This file does not appear to be a valid skin"},
      {render + " --skin " + none, 1, none + ": No such file or directory"},
      {"info " + dir.write("bad.md2", {'I', 'D', 'P', '3'}), 1, "This is not an MD2!\n"},
      {"convert " + dir.file("none.md2") + " " + dir.file("x.md2"), 1,
       "There was an error loading the specified file!\n"},
      // Special files are refused at once instead of blocking the program, a
      // file far larger than anything the program reads is refused unread.
      {"convert " + fifo + " " + dir.file("x.pcx"), 1,
       "cannot read " + fifo + ": not a regular file"},
      {render + " --skin /dev/zero", 1, "/dev/zero: not a regular file"},
      {render + " --skin " + dir.path(), 1, dir.path() + ": Is a directory"},
      {render + " --skin " + big, 1, big + ": File too large"},
      {"demo " + dir.path(), 1, dir.path() + ": not empty"},
      {"demo --force", 2, "usage:"},
  };
  for (const auto& [args, status, message] : cases) {
    const auto [got, out] = runCli(args);
    EXPECT_EQ(got, status) << args << "\n" << out;
    EXPECT_NE(out.find(message), std::string::npos) << args << "\n" << out;
  }
  for (const char* file : {"out.bmp", "x.gif", "x.md2", "x.pcx"})
    EXPECT_FALSE(std::filesystem::exists(dir.file(file))) << file;

  // A good conversion keeps pixels and palette and saves through a chained,
  // dangling link to the file it names.
  std::filesystem::create_symlink("skins/new.pcx", dir.file("relative.pcx"));
  std::filesystem::create_symlink("relative.pcx", dir.file("chained.pcx"));
  dir.write("skins/old.pcx", {1});
  const std::string bmp = dir.write("small.bmp", encodeSkinBmp(test::patternSkin(8, 8)));
  ASSERT_EQ(runCli("convert " + bmp + " " + dir.file("chained.pcx")).first, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("chained.pcx")));
  EXPECT_EQ(readWholeFile(dir.file("skins/new.pcx")).bytes, readWholeFile(small).bytes);
  // Through every format and back; a true-colour picture of it comes back to
  // the same indices in its palette, nearest or dithered (no error to spread).
  std::string from = small;
  for (const char* to : {"a.png", "b.tga", "c.bmp", "d.pcx"}) {
    ASSERT_EQ(runCli("convert " + from + " " + dir.file(to)).first, 0) << to;
    from = dir.file(to);
  }
  EXPECT_EQ(readWholeFile(from).bytes, readWholeFile(small).bytes);
  for (const char* dither : {"", " --dither"}) {
    ASSERT_EQ(
        runCli("convert " + rgb + " " + dir.file("e.pcx") + " --palette " + small + dither).first,
        0);
    EXPECT_EQ(readWholeFile(dir.file("e.pcx")).bytes, readWholeFile(small).bytes) << dither;
  }

  // A skin saved outside the game folder is named by its absolute path and
  // read from there.
  const std::string outside = dir.write("elsewhere/skin.pcx", encodeSkinPcx(test::patternSkin(16, 8)));
  const std::string absolute =
      dir.write("baseq2/absolute.md2", encodeMd2(test::quadStripMd2(1, 16, 8, {outside})));
  const auto [infoStatus, infoText] = runCli("info " + absolute);
  EXPECT_EQ(infoStatus, 0);
  EXPECT_EQ(infoText.find("External Skin"), std::string::npos) << infoText;

  // The demo is written over a folder's contents only when forced.
  const std::string painted = dir.write("baseq2/models/monsters/grub/skin.pcx", {7});
  EXPECT_EQ(runCli("demo " + dir.path()).first, 1);
  EXPECT_EQ(readWholeFile(painted).bytes, Bytes{7});
  EXPECT_EQ(runCli("demo --force " + dir.path()).first, 0);
  EXPECT_NE(readWholeFile(painted).bytes, Bytes{7});
}

}  // namespace
}  // namespace pelt
