// The toolkit of a test program and the transcript it writes.
#include "quiet_toolkit.h"

#include <windows.h>

#include <cstdlib>

#include "death_test_child.h"
#include "setupapi.h"
#include "setuprt.h"
#include "test_files.h"

namespace unitcommon {
namespace {

// Set by the parent for its death-test children only; they inherit it.
const char kAnswersVariable[] = "UNIT_TEST_CHILD_ANSWERS";

// A test program starts one toolkit; its name tells the transcripts apart.
std::string &ProgramName()
{
    static std::string name;
    return name;
}

}  // namespace

QuietToolkit::QuietToolkit(const std::string &name)
{
    ProgramName() = name;
}

void QuietToolkit::SetUp()
{
    bool child = InDeathTestChild();
    const char *answers = getenv(kAnswersVariable);
    std::string mode = child && answers ? "/a \"" + std::string(answers) + "\"" : "/q";
    std::string cmd = mode + " /t \"" + TranscriptPath(child) + "\"";
    ASSERT_GT(InitSetupToolkit(cmd.c_str()), 0) << cmd;
}

std::string TranscriptPath(bool child)
{
    std::string who = child ? "child" : std::to_string(GetCurrentProcessId());
    return TempDir() + ProgramName() + "_" + who + ".txt";
}

std::string ReadTranscript(bool child)
{
    return ReadText(TranscriptPath(child));
}

void ForgetChildTranscript()
{
    DeleteFileA(TranscriptPath(true).c_str());
}

ChildAnswers::ChildAnswers(const std::string &answers)
{
    std::string path = TempDir() + ProgramName() + "_answers.txt";
    WriteText(path, answers);
    SetEnvironmentVariableA(kAnswersVariable, path.c_str());
}

ChildAnswers::~ChildAnswers()
{
    SetEnvironmentVariableA(kAnswersVariable, NULL);
}

std::string Quoted(const std::string &text)
{
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '\n')
            quoted += "\\n";
        else if (ch == '\t')
            quoted += "\\t";
        else
            quoted += (ch == '\\' || ch == '"') ? std::string("\\") + ch : std::string(1, ch);
    }
    return quoted + "\"";
}

std::string MsgBoxLine(const std::string &text, const std::string &caption, int style, int button)
{
    return "msgbox " + Quoted(text) + " " + Quoted(caption) + " " + std::to_string(style) + " " +
           std::to_string(button) + "\n";
}

std::string FatalLine(const std::string &text, const std::string &title)
{
    return MsgBoxLine(text, title, 0, IDOK);
}

std::vector<std::string> ListItems(const char *symbol)
{
    std::vector<std::string> items;
    unsigned count = UsGetListLength(symbol);
    for (unsigned n = 1; n <= count; ++n) {
        char item[512];
        CbGetListItem(symbol, n, item, sizeof item);
        items.push_back(item);
    }
    return items;
}

}  // namespace unitcommon
