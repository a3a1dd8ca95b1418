// The toolkit started quietly with a transcript for every test, and the
// helpers of files_fixture.h.
#include "files_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <sstream>

namespace filestest {
namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new unitcommon::QuietToolkit("files_test"));

}  // namespace

bool HasLine(const std::string &transcript, const std::string &line)
{
    std::istringstream lines(transcript);
    for (std::string each; std::getline(lines, each);)
        if (each == line)
            return true;
    return false;
}

bool RestartFrame(const std::string &options)
{
    TerminateFrame();
    return InitializeFrame(options.c_str()) > 0;
}

}  // namespace filestest
