#pragma once
// Files that lie about themselves, built in code: each names what is wrong
// with it and how the program must answer.

#include <string>
#include <vector>

#include "platform/file_io.h"

namespace pelt::test {

enum class CorpusKind { Md2, Skin, Palette };
enum class Special { None, Fifo, Folder, DanglingLink };

struct CorpusFile {
  std::string name;  // file name; says what is wrong
  CorpusKind kind;
  Bytes bytes;
  bool refused;         // refused, or accepted with sane content
  std::string message;  // the one message a refusal shows ("" for none)
  Special special = Special::None;
};

std::vector<CorpusFile> malformedCorpus();

// Writes every file below `folder`/corpus (special ones as what they name),
// plus the skin the models use and a good model naming it, good.md2; returns
// the paths in corpus order.
std::vector<std::string> writeCorpus(const std::string& folder,
                                     const std::vector<CorpusFile>& corpus);

}  // namespace pelt::test
