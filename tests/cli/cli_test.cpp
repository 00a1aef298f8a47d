// The console program, run as a user would.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>

#include "model/md2_format.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

struct RunResult {
  int status;
  std::string out;
};

// Both streams, or stdout alone.
RunResult runCli(const std::string& args, bool withErrors = true) {
  std::string command =
      std::string(PELT_CLI_PATH) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = ::popen(command.c_str(), "r");
  RunResult result{-1, ""};
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
  int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(Cli, InfoReportsCountsAfterCompaction) {
  test::TempDir dir;
  dir.write("baseq2/models/m/skin.pcx", encodeSkinPcx(test::patternSkin(16, 8)));
  std::string model = dir.write("baseq2/models/m/tris.md2",
                                encodeMd2(test::quadStripMd2(2, 16, 8, {"models/m/skin.pcx"}, 3)));
  RunResult json = runCli("info " + model + " --json");
  EXPECT_EQ(json.status, 0) << json.out;
  EXPECT_EQ(json.out,
            "{\"vertices\": 6, \"triangles\": 4, \"st\": 6, \"frames\": 3, \"skinWidth\": 16, "
            "\"skinHeight\": 8, \"skins\": [\"models/m/skin.pcx\"], \"frameNames\": [\"frame0\", "
            "\"frame1\", \"frame2\"], \"glCommands\": {\"words\": 0, \"commands\": 0, "
            "\"strips\": 0, \"fans\": 0, \"averageVertices\": 0.00}, \"savedGlCommands\": "
            "{\"words\": 27, \"commands\": 2, \"strips\": 0, \"fans\": 2, "
            "\"averageVertices\": 4.00}}\n");
  RunResult text = runCli("info " + model);
  EXPECT_NE(text.out.find("st: 6\n"), std::string::npos) << text.out;

  dir.write("bad.md2", {'I', 'D', 'P', '3'});
  RunResult bad = runCli("info " + dir.file("bad.md2"));
  EXPECT_NE(bad.status, 0);
  EXPECT_EQ(bad.out, "This is not an MD2!\n");
}

TEST(Cli, ConvertKeepsPixelsAndPalette) {
  test::TempDir dir;
  Skin skin = test::patternSkin(13, 7);
  dir.write("in.pcx", encodeSkinPcx(skin));
  ASSERT_EQ(runCli("convert " + dir.file("in.pcx") + " " + dir.file("out.bmp")).status, 0);
  ASSERT_EQ(runCli("convert " + dir.file("out.bmp") + " " + dir.file("back.pcx")).status, 0);
  SkinDecodeResult back = decodeSkinImage(readWholeFile(dir.file("back.pcx")).bytes);
  ASSERT_TRUE(back.skin);
  EXPECT_EQ(back.skin->pixels, skin.pixels);
  EXPECT_EQ(back.skin->palette, skin.palette);

  dir.write("bad.bmp", {'B', 'M'});
  RunResult bad = runCli("convert " + dir.file("bad.bmp") + " " + dir.file("x.pcx"));
  EXPECT_NE(bad.status, 0);
  EXPECT_EQ(bad.out, "This file does not appear to be a valid skin\n");
  EXPECT_NE(runCli("frobnicate").status, 0);
}

TEST(Cli, DemoFolderOpensWithItsSkins) {
  test::TempDir dir;
  RunResult demo = runCli("demo " + dir.path());
  ASSERT_EQ(demo.status, 0) << demo.out;
  std::string model = demo.out.substr(0, demo.out.find('\n'));
  RunResult info = runCli("info " + model + " --json");
  ASSERT_EQ(info.status, 0) << info.out;
  // No missing-skin message: both linked skins load from the base folder.
  EXPECT_EQ(info.out.find("temporary"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"skins\": [\"models/monsters/grub/skin.pcx\", "), std::string::npos)
      << info.out;
}

TEST(Cli, ConvertRewritesAModelThatLoadsTheSame) {
  test::TempDir dir;
  ASSERT_EQ(runCli("demo " + dir.path()).status, 0);
  const std::string model = dir.file("baseq2/models/monsters/grub/tris.md2");
  const std::string copy = dir.file("baseq2/models/monsters/grub/copy.MD2");
  ASSERT_EQ(runCli("convert " + model + " " + copy).status, 0);
  // Only the stored GL commands differ: the demo writes one fan per triangle.
  auto withoutStoredGl = [](std::string info) {
    const size_t from = info.find("\"glCommands\"");
    return info.erase(from, info.find("\"savedGlCommands\"") - from);
  };
  RunResult before = runCli("info " + model + " --json");
  RunResult after = runCli("info " + copy + " --json");
  EXPECT_EQ(withoutStoredGl(after.out), withoutStoredGl(before.out));
  auto object = [](const std::string& info, const std::string& key) {
    const size_t at = info.find("\"" + key + "\": {");
    return at == std::string::npos ? "" : info.substr(at + key.size() + 4, info.find('}', at) - at - key.size() - 3);
  };
  EXPECT_EQ(object(after.out, "glCommands"), object(before.out, "savedGlCommands")) << after.out;
  EXPECT_NE(object(after.out, "glCommands").find("\"words\""), std::string::npos);
  EXPECT_NE(runCli("convert " + dir.file("none.md2") + " " + copy).status, 0);
}

// Every refusal names what is wrong and exits 2 for bad arguments, 1 for a
// file that cannot be used; nothing is written then.
TEST(Cli, RefusesBadArgumentsAndFilesWithReasons) {
  test::TempDir dir;
  RunResult demo = runCli("demo " + dir.path());
  ASSERT_EQ(demo.status, 0) << demo.out;
  const std::string model = demo.out.substr(0, demo.out.find('\n'));
  const std::string small = dir.write("small.pcx", encodeSkinPcx(test::patternSkin(8, 8)));
  const std::string bad = dir.write("bad.pcx", {1, 2, 3});
  const std::string none = dir.file("none.pcx"), png = dir.file("x.png");
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
  };
  for (const auto& [args, status, message] : cases) {
    RunResult r = runCli(args);
    EXPECT_EQ(r.status, status) << args << "\n" << r.out;
    EXPECT_NE(r.out.find(message), std::string::npos) << args << "\n" << r.out;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.bmp")) || std::filesystem::exists(png));

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
