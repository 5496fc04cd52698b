// Exporting a 500 x 500 grid as the standard XML file, in both tag sets. Target: at
// most 2 s and 400 MB of peak memory. The peak resident size of the whole process is
// reported as the counter peak_MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "document/grid_model.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "xml/geo_plot_data.h"
#include "xml/standard_xml_writer.h"

namespace {

using namespace gridora;

class AnsweringUserInterface : public UserInterface {
 public:
  explicit AnsweringUserInterface(bool japanese) : japanese_(japanese) {}
  void Message(const std::string& text) override { lastMessage = text; }
  bool Question(const std::string&) override { return japanese_; }
  std::optional<std::string> OpenFileName(const std::string&, const FileFilter&) override { return {}; }
  std::optional<std::string> SaveFileName(const std::string&, const FileFilter&) override { return {}; }
  bool RunDialog(DialogData&) override { return true; }
  std::unique_ptr<Feedback> BeginProgress(const std::string&) override { return nullptr; }
  std::string lastMessage;

 private:
  bool japanese_;
};

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ExportStandardXml(benchmark::State& state) {
  const bool japanese = state.range(0) == 1;
  const int n = 500;
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  grid->Reshape(1, n, n);
  grid->DX = grid->DY = 2.0f;
  for (int ix = 0; ix < n; ++ix)
    for (int iy = 0; iy < n; ++iy) grid->Value(0, ix, iy) = std::sin(0.01f * ix) * std::cos(0.013f * iy) * 1000.0f;
  const auto folder = std::filesystem::temp_directory_path() / "gridora-xml-bench";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "grid.xml").string();
  AnsweringUserInterface ui(japanese);

  for (auto _ : state) {
    // The whole export as the command runs it: section data, tree, file.
    auto data = BuildSectionData(*grid, profile);
    if (!WriteStandardXmlWithTemplates(path, *data, {}, ui, profile)) {
      state.SkipWithError(ui.lastMessage.c_str());
      break;
    }
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1.0e6;
  state.counters["peak_MB"] = PeakMegabytes();
  std::filesystem::remove_all(folder);
}
BENCHMARK(ExportStandardXml)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
