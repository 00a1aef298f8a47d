// Every model the reader accepts is written back as a file the reader accepts
// again, with the same counts, the frames unchanged and a well-formed GL list.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "model/gl_commands.h"
#include "model/md2_format.h"
#include "model/md2_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelt::Md2ParseResult parsed = pelt::parseMd2({data, size});
  if (!parsed.data) return 0;
  const pelt::Md2Data& md2 = *parsed.data;
  auto model = std::make_unique<pelt::Model>();
  model->vertexCount = md2.vertexCount;
  model->skinWidth = md2.skinWidth;
  model->skinHeight = md2.skinHeight;
  model->triangleCount = static_cast<int>(md2.triangles.size());
  model->stCount = static_cast<int>(md2.st.size());
  std::copy(md2.st.begin(), md2.st.end(), model->stCoords.begin());
  for (int i = 0; i < model->triangleCount; ++i) {
    model->triangles[static_cast<size_t>(i)].vertexIndex =
        md2.triangles[static_cast<size_t>(i)].vertexIndex;
    model->triangles[static_cast<size_t>(i)].stIndex =
        md2.triangles[static_cast<size_t>(i)].stIndex;
  }
  pelt::storeMapping(*model);
  for (const pelt::Md2Frame& frame : md2.frames) model->frames.push_back(pelt::decodeFrame(frame));

  pelt::Md2WriteResult written = pelt::encodeModelMd2(*model, {data, size});
  if (!written.ok()) std::abort();
  pelt::Md2ParseResult again = pelt::parseMd2(written.bytes);
  if (!again.data || again.data->triangles.size() != md2.triangles.size() ||
      static_cast<int>(again.data->st.size()) != model->stCount ||
      again.data->frames.size() != md2.frames.size() ||
      !pelt::glCommandStats(again.data->glCommands).wellFormed)
    std::abort();
  for (size_t f = 0; f < md2.frames.size(); ++f)
    if (again.data->frames[f].vertices.size() != md2.frames[f].vertices.size()) std::abort();
  return 0;
}
