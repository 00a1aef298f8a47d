// The console program, run as a user would.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>

#include "model/md2_format.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

struct RunResult {
  int status;
  std::string out;
};

// Both streams, or stdout alone.
RunResult runCli(const std::string& args, bool withErrors = true) {
  const std::string command =
      std::string(PELT_CLI_PATH) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = ::popen(command.c_str(), "r");
  RunResult result{-1, ""};
  std::array<char, 4096> buffer{};
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
    result.out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    RunResult demo = runCli("demo " + dir.path());
    ASSERT_EQ(demo.status, 0) << demo.out;
    model = demo.out.substr(0, demo.out.find('\n'));
  }
  test::TempDir dir;
  std::string model;
};

// Skin names are file bytes: ones that are not UTF-8 still give valid JSON.
TEST_F(Cli, InfoReportsCountsAfterCompaction) {
  dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(test::patternSkin(16, 8)));
  const std::string strip =
      dir.write("baseq2/models/m/tris.md2",
                encodeMd2(test::quadStripMd2(2, 16, 8, {"models/m/skin.pcx"}, 3)));
  RunResult json = runCli("info " + strip + " --json");
  EXPECT_EQ(json.status, 0) << json.out;
  EXPECT_EQ(json.out,
            "{\"vertices\": 6, \"triangles\": 4, \"st\": 6, \"frames\": 3, \"skinWidth\": 16, "
            "\"skinHeight\": 8, \"skins\": [\"models/m/skin.pcx\"], \"frameNames\": [\"frame0\", "
            "\"frame1\", \"frame2\"], \"glCommands\": {\"words\": 0, \"commands\": 0, "
            "\"strips\": 0, \"fans\": 0, \"averageVertices\": 0.00}, \"savedGlCommands\": "
            "{\"words\": 27, \"commands\": 2, \"strips\": 0, \"fans\": 2, "
            "\"averageVertices\": 4.00}}\n");
  EXPECT_NE(runCli("info " + strip).out.find("st: 6\n"), std::string::npos);
  const std::string hostile = dir.write(
      "baseq2/m.md2", encodeMd2(test::quadStripMd2(1, 16, 8, {"bad\xff\xc3name.pcx"}, 1)));
  json = runCli("info " + hostile + " --json");
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"skins\": [\"bad\\u00ff\\u00c3name.pcx\"]"), std::string::npos)
      << json.out;
  // The demo's linked skins load from the base folder: no stand-ins.
  json = runCli("info " + model + " --json");
  EXPECT_EQ(json.out.find("temporary"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"skins\": [\"models/monsters/grub/skin.pcx\", "), std::string::npos);
}

TEST_F(Cli, ConvertKeepsPixelsPaletteAndModel) {
  const Skin skin = test::patternSkin(13, 7);
  dir.write("in.pcx", encodeSkinPcx(skin));
  ASSERT_EQ(runCli("convert " + dir.file("in.pcx") + " " + dir.file("out.bmp")).status, 0);
  ASSERT_EQ(runCli("convert " + dir.file("out.bmp") + " " + dir.file("back.pcx")).status, 0);
  SkinDecodeResult back = decodeSkinImage(readWholeFile(dir.file("back.pcx")).bytes);
  ASSERT_TRUE(back.skin);
  EXPECT_EQ(back.skin->pixels, skin.pixels);
  EXPECT_EQ(back.skin->palette, skin.palette);

  // A model loads back the same; its GL commands are now the builder's.
  const std::string copy = dir.file("baseq2/models/monsters/grub/copy.MD2");
  ASSERT_EQ(runCli("convert " + model + " " + copy).status, 0);
  const std::string before = runCli("info " + model + " --json").out;
  const std::string after = runCli("info " + copy + " --json").out;
  auto object = [](const std::string& info, const std::string& key) {
    const size_t from = info.find("\"" + key + "\": {");
    return info.substr(from + key.size() + 4, info.find('}', from) - from - key.size() - 4);
  };
  const std::string gl = "\"glCommands\"";
  EXPECT_EQ(after.substr(0, after.find(gl)), before.substr(0, before.find(gl)));
  EXPECT_EQ(object(after, "glCommands"), object(before, "savedGlCommands"));
  EXPECT_NE(object(after, "glCommands").find("\"words\""), std::string::npos);
}

// Every refusal names what is wrong and exits 2 for bad arguments, 1 for a
// file that cannot be used; nothing is written then.
TEST_F(Cli, RefusesBadArgumentsAndFilesWithReasons) {
  const std::string small = dir.write("small.pcx", encodeSkinPcx(test::patternSkin(8, 8)));
  const std::string bad = dir.write("bad.pcx", {1, 2, 3});
  const std::string badMd2 = dir.write("bad.md2", {'I', 'D', 'P', '3'});
  const std::string none = dir.file("none.pcx"), png = dir.file("x.png"), fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string render = "render " + model + " " + dir.file("out.bmp");
  const std::string missing = ": No such file or directory";
  const std::tuple<std::string, int, std::string> cases[] = {
      {render + " --mode abc", 2, "--mode: \"abc\" is not a whole number"},
      {render + " --mode 5x", 2, "--mode: \"5x\" is not a whole number"},
      {render + " --mode 9", 2, "--mode: 9 is out of range (0 to 8)"},
      {render + " --frame walk05", 2, "--frame: \"walk05\" is not a whole number"},
      {render + " --frame 999", 2, "--frame: 999 is out of range (0 to "},
      {render + " --size 640x", 2, "--size: \"640x\" is not WxH"},
      {render + " --mode", 2, "--mode needs a value"},
      {"bench " + model + " --frames 0", 2, "--frames: 0 is out of range (1 to "},
      {"render " + model + " " + png, 2, png + ": cannot write \".png\" files"},
      {"convert " + small + " " + png, 2, png + ": cannot write \".png\" files"},
      {render + " --skin " + small, 1, small + ": Error loading skin: Incorrect dimensions!"},
      {render + " --skin " + none, 1, none + missing},
      {render + " --phong " + none, 1, none + missing},
      {render + " --env " + bad, 1, bad + ": This file does not appear to be a valid skin"},
      {render + " --env " + small, 1, small + ": Incorrect dimensions!"},
      {"render " + dir.file("none.md2") + " " + dir.file("out.bmp"), 1, "none.md2" + missing},
      {"info " + badMd2, 1, "This is not an MD2!\n"},
      {"convert " + dir.file("none.md2") + " " + dir.file("x.md2"), 1,
       "There was an error loading the specified file!\n"},
      {"convert " + bad + " " + dir.file("x.bmp"), 1, "does not appear to be a valid skin\n"},
      // A FIFO is refused at once instead of blocking the program.
      {"convert " + fifo + " " + dir.file("x.pcx"), 1, fifo},
  };
  for (const auto& [args, status, message] : cases) {
    RunResult r = runCli(args);
    EXPECT_EQ(r.status, status) << args << "\n" << r.out;
    EXPECT_NE(r.out.find(message), std::string::npos) << args << "\n" << r.out;
  }
  for (const char* file : {"out.bmp", "x.png", "x.md2", "x.bmp", "x.pcx"})
    EXPECT_FALSE(std::filesystem::exists(dir.file(file))) << file;
  EXPECT_NE(runCli("frobnicate").status, 0);

  // Help goes to stdout and succeeds; a good render still works, also as PCX.
  for (const char* help : {"--help", "-h", "render --help"}) {
    RunResult r = runCli(help, false);
    EXPECT_TRUE(r.status == 0 && r.out.rfind("usage:", 0) == 0) << help;
  }
  EXPECT_EQ(runCli(render + " --frame 1 --size 64x48").status, 0);
  EXPECT_EQ(runCli("render " + model + " " + dir.file("out.pcx") + " --size 64x48").status, 0);
  SkinDecodeResult picture = decodeSkinImage(readWholeFile(dir.file("out.pcx")).bytes);
  ASSERT_TRUE(picture.skin);
  EXPECT_EQ(picture.skin->width, 64);
}

}  // namespace
}  // namespace pelt
