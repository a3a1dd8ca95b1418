// The toolkit started quietly with a transcript and the registry layer bound
// for every test, and the helpers of regdb_fixture.h.
#include "regdb_fixture.h"

#include "msregdb.h"
#include "setupapi.h"

#include <sddl.h>

#include <sstream>

#include "death_test_child.h"

namespace regtest {
namespace {

const char kTestRoot[] = "QuorvaneRegDbTest";

class QuietToolkitWithRegistry : public unitcommon::QuietToolkit {
public:
    QuietToolkitWithRegistry() : QuietToolkit("registry_test") {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(QuietToolkit::SetUp());
        ASSERT_EQ(1, FInitRegDb());
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kTestRoot);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kTestRoot);
    }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new QuietToolkitWithRegistry);

// Gives everyone every right on the key again, so it can be removed.
void AllowAll(const std::string &path)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, WRITE_DAC, &hKey) != ERROR_SUCCESS)
        return;
    PSECURITY_DESCRIPTOR sd = NULL;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd, NULL)) {
        RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
    }
    RegCloseKey(hKey);
}

}  // namespace

std::vector<std::string> ReportsSince(size_t offset)
{
    std::string text = ReadTranscript();
    std::istringstream lines(offset < text.size() ? text.substr(offset) : "");
    std::vector<std::string> reports;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("error ", 0) == 0 || line.rfind("msgbox ", 0) == 0)
            reports.push_back(line);
    }
    return reports;
}

void RegistryTest::SetUp()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string(kTestRoot) + "\\" + test->test_suite_name() + "." + test->name();
    // A death-test child works on the tree its parent has just made.
    if (!unitcommon::InDeathTestChild()) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, root_.c_str());
        RegDeleteKeyA(HKEY_CLASSES_ROOT, root_.c_str());
    }
    MakeKey("");
    transcriptStart_ = ReadTranscript().size();
}

void RegistryTest::TearDown()
{
    if (unitcommon::InDeathTestChild())
        return;  // the parent removes what the child left
    for (const std::string &path : denied_)
        AllowAll(path);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, root_.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, root_.c_str());
    EXPECT_FALSE(KeyExists("")) << "the scratch key could not be removed";
}

std::string RegistryTest::Key(const std::string &relative) const
{
    return relative.empty() ? root_ : root_ + "\\" + relative;
}

void RegistryTest::MakeKey(const std::string &relative)
{
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, Key(relative).c_str(), &hKey)) << relative;
    RegCloseKey(hKey);
}

bool RegistryTest::KeyExists(const std::string &relative) const
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, Key(relative).c_str(), 0, READ_CONTROL, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

void RegistryTest::DenyRights(const std::string &relative, DWORD rights)
{
    char sddl[64];
    snprintf(sddl, sizeof sddl, "D:(D;;0x%lx;;;WD)(A;;KA;;;WD)", (unsigned long)rights);
    PSECURITY_DESCRIPTOR sd = NULL;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, NULL))
        << GetLastError();
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, Key(relative).c_str(), 0, WRITE_DAC, &hKey));
    LONG result = RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, sd);
    RegCloseKey(hKey);
    LocalFree(sd);
    ASSERT_EQ(ERROR_SUCCESS, result);
    denied_.push_back(Key(relative));
}

}  // namespace regtest
