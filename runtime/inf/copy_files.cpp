// copy_files.cpp - GrcCopyFilesInCopyList: the copy behind the gauge.
#include <string>
#include <vector>

#include "inf/billboards.h"
#include "inf/copy_gauge.h"
#include "inf/copy_list.h"
#include "setuprt.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

// How far the copy is before each file, in per cent: by bytes, or by files
// when all of them are empty.
class Progress {
public:
    explicit Progress(const std::vector<SourceFacts> &sources) {
        for (const SourceFacts &source : sources) total_ += source.bytes;
        byBytes_ = total_ > 0;
        if (!byBytes_) total_ = static_cast<long long>(sources.size());
    }
    int Percent() const { return total_ > 0 ? static_cast<int>(done_ * 100 / total_) : 0; }
    void Add(const SourceFacts &source) { done_ += byBytes_ ? source.bytes : 1; }

private:
    long long total_ = 0, done_ = 0;
    bool byBytes_ = true;
};

// Cancel asks first; a quit message from the frame needs no question.
bool UserQuits(CopyGauge &gauge) {
    if (!gauge.ServeMessages()) return true;
    if (!gauge.TakeCancel()) return false;
    bool quit = DoMsgBox("Do you want to quit Setup?", "Setup", MB_YESNO | MB_ICONQUESTION) == IDYES;
    gauge.TakeCancel();  // presses while the question was up
    return quit;
}

void ReportFailure(const CopyEntry &entry, int grc) {
    std::string text;
    switch (grc) {
    case GRC_SOURCE_UNREADABLE: text = "The file " + entry.source + " cannot be read."; break;
    case GRC_SOURCE_DAMAGED: text = "The file " + entry.source + " is damaged and cannot be expanded."; break;
    default: text = "The file " + entry.destination + " cannot be written."; break;
    }
    DoMsgBox(text.c_str(), "Setup", MB_ICONHAND);
}

int CopyOne(const CopyEntry &entry, const SourceFacts &source) {
    if (KeepsInstalledFile(entry)) {
        transcript::Keep(entry.destination.c_str());
        return GRC_OKAY;
    }
    int grc = InstallFile(entry, source);
    if (grc == GRC_OKAY) transcript::Copy(entry.source.c_str(), entry.destination.c_str());
    return grc;
}

}  // namespace
}  // namespace rt

int GrcCopyFilesInCopyList(HINSTANCE hinst) {
    const std::vector<rt::CopyEntry> entries = rt::CopyListEntries();
    if (entries.empty()) return GRC_OKAY;
    std::vector<rt::SourceFacts> sources;
    for (const rt::CopyEntry &entry : entries) sources.push_back(rt::InspectSource(entry.source));

    rt::Progress progress(sources);
    rt::CopyGauge gauge(hinst ? hinst : HinstFrame());
    rt::BillboardShow billboards;
    for (size_t i = 0; i < entries.size(); ++i) {
        gauge.Show(entries[i].destination, progress.Percent());
        billboards.Update(progress.Percent());
        if (rt::UserQuits(gauge)) return GRC_USER_QUIT;
        int grc = rt::CopyOne(entries[i], sources[i]);
        if (grc != GRC_OKAY) {
            rt::ReportFailure(entries[i], grc);
            return grc;
        }
        progress.Add(sources[i]);
    }
    gauge.Show(entries.back().destination, 100);
    ResetCopyList();
    return GRC_OKAY;
}
