// Run before and after the Windows tests: "snapshot FILE" writes the list of
// what the temporary folder holds, "compare FILE" fails, naming them, when
// files or folders have appeared since.
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/TempFolder.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: temp_folder_check snapshot|compare FILE\n");
    return 2;
  }
  const std::string command = argv[1];
  const std::string file = argv[2];
  const std::set<std::string> now = plx::test::TempFolderEntries();
  if (command == "snapshot") {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& entry : now) out << entry << '\n';
    out.close();
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      return 1;
    }
    std::printf("%zu entries in %s\n", now.size(), plx::test::TempFolder().c_str());
    return 0;
  }
  if (command == "compare") {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "no snapshot %s\n", file.c_str());
      return 1;
    }
    std::set<std::string> before;
    for (std::string line; std::getline(in, line);) before.insert(line);
    const std::set<std::string> added = plx::test::NewEntries(before, now);
    for (const std::string& entry : added)
      std::printf("left in the temporary folder %s: %s\n", plx::test::TempFolder().c_str(), entry.c_str());
    return added.empty() ? 0 : 1;
  }
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 2;
}
