#include "support/TemporaryFile.h"

#include <atomic>

namespace wm {

std::string CreateTemporaryBeside(const std::string& path, unsigned long processId,
                                  const std::function<CreateResult(const std::string&)>& create) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name =
        path + "." + std::to_string(processId) + "-" + std::to_string(counter++) + ".tmp";
    switch (create(name)) {
      case CreateResult::Created:
        return name;
      case CreateResult::Failed:
        return std::string();
      case CreateResult::NameTaken:
        break;
    }
  }
  return std::string();
}

}  // namespace wm
