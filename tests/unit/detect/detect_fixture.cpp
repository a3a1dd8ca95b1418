// The toolkit started quietly with a transcript for every test, and the
// scratch directories of detect_fixture.h.
#include "detect_fixture.h"

#include <filesystem>

namespace dettest {
namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new unitcommon::QuietToolkit("detect_test"));

}  // namespace

std::string ScratchDir::File(const std::string &relative) const
{
    std::filesystem::path path = std::filesystem::path(Path()) / relative;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}

}  // namespace dettest
