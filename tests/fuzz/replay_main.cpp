// Replays fuzz inputs through a target with the ordinary compiler: every file
// named on the command line and every file in a folder named there, in name
// order, so that an input that once crashed a parser keeps being tried.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> InputsOf(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path named(argv[i]);
    if (!std::filesystem::is_directory(named)) {
      inputs.push_back(named);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(named))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  const auto inputs = InputsOf(argc, argv);
  for (const auto& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    if (!file.good() && !file.eof()) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  // An empty or missing corpus would pass without trying anything.
  std::printf("replayed %zu inputs\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
