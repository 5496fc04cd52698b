#include "support/test_support.h"

#include <cstdint>
#include <cstring>

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

namespace gridora::test {
namespace {

class FakeFeedback : public Feedback {
 public:
  explicit FakeFeedback(bool cancel) : cancel_(cancel) {}
  void SetProgress(double) override {}
  bool IsCanceled() const override { return cancel_; }

 private:
  bool cancel_;
};

}  // namespace

std::unique_ptr<Feedback> FakeUserInterface::BeginProgress(const std::string&) {
  return std::make_unique<FakeFeedback>(cancelProgress);
}

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("gridora-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string WithoutExactPart(const std::string& snp) {
  const std::size_t marker = snp.rfind("KDBL");
  if (marker == std::string::npos || marker + 8 > snp.size()) return snp;
  std::int32_t length = 0;
  std::memcpy(&length, snp.data() + marker + 4, 4);
  if (length < 0 || marker + 8 + static_cast<std::size_t>(length) != snp.size()) return snp;
  return snp.substr(0, marker);
}

bool SetField(DialogData& dialog, const std::string& key, const std::string& text) {
  for (const DialogField& field : dialog.Fields())
    if (field.batchKey == key) return !ParseFieldValue(field, text).has_value();
  return false;
}

}  // namespace gridora::test
