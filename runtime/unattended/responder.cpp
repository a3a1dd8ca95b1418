// responder.cpp - the answers of unattended runs and the endless-loop check.
#include "unattended/responder.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "setuprt.h"
#include "symbols/symbols.h"
#include "transcript/progress.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

// A dialog or message answered this often in a row, with no install-engine
// action in between, means the run cannot get further.
constexpr int kLoopLimit = 50;

struct Responder {
    RunMode mode = RunMode::Interactive;
    std::vector<Answer> answers;
    size_t next = 0;
};

Responder g_responder;

struct ProcedureOutput {
    const char *procedure;
    DialogOutput symbols;
};
const ProcedureOutput kProcedureOutputs[] = {
    {"FEditDlgProc", {"EditTextIn", "EditTextOut"}},
    {"FRadioDlgProc", {"RadioDefault", "ButtonChecked"}},
};

void CountAnswer(const std::string &key) {
    if (AnswersInARow(key) >= kLoopLimit)
        AbortRun("endless loop: " + key + " answered " + std::to_string(kLoopLimit) + " times");
    CountAnswerInARow(key);
}

std::string DialogName(unsigned dialogTemplate) { return "dialog " + std::to_string(dialogTemplate); }

std::string MessageName(const char *text) { return "msgbox " + Quote(text); }

// The next line of the answer file, which must be of the kind asked for.
const Answer &NextAnswer(Answer::Kind kind, const std::string &asked) {
    if (g_responder.next >= g_responder.answers.size()) AbortRun("answer file exhausted at " + asked);
    const Answer &answer = g_responder.answers[g_responder.next++];
    if (answer.kind != kind) {
        std::string expected = answer.kind == Answer::Kind::MsgBox ? std::string("msgbox")
                               : answer.anyTemplate                 ? std::string("dialog *")
                                                                    : DialogName(answer.dialogTemplate);
        AbortRun("expected " + expected + ", got " + asked);
    }
    return answer;
}

bool NamesSymbol(const Answer &answer, const char *name) {
    for (const auto &symbol : answer.symbols)
        if (symbol.first == name) return true;
    return false;
}

// What a user who changes nothing leaves: each output as the dialog showed
// it, except those the answer gives itself.
void KeepShownOutputs(const std::string &procedure, const Answer *answer) {
    for (const DialogOutput &symbols : DialogOutputs(procedure))
        if (!(answer && NamesSymbol(*answer, symbols.output)))
            FSetSymbolValue(symbols.output, SymbolValue(symbols.input).c_str());
}

const Answer &MatchingDialogAnswer(unsigned dialogTemplate) {
    const Answer &answer = NextAnswer(Answer::Kind::Dialog, DialogName(dialogTemplate));
    if (!answer.anyTemplate && answer.dialogTemplate != dialogTemplate)
        AbortRun("expected dialog " + std::to_string(answer.dialogTemplate) + ", got " +
                 std::to_string(dialogTemplate));
    return answer;
}

}  // namespace

std::vector<DialogOutput> DialogOutputs(const std::string &procedure) {
    std::vector<DialogOutput> outputs;
    for (const ProcedureOutput &entry : kProcedureOutputs)
        if (procedure == entry.procedure) outputs.push_back(entry.symbols);
    return outputs;
}

int FirstButton(unsigned style) {
    switch (style & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    case MB_CANCELTRYCONTINUE: return IDCANCEL;
    default: return IDOK;
    }
}

void StartResponder(RunMode mode, std::vector<Answer> answers) {
    g_responder.mode = mode;
    g_responder.answers = std::move(answers);
    g_responder.next = 0;
    ResetLoopCounts();
}

bool IsUnattended() { return g_responder.mode != RunMode::Interactive; }

std::string AnswerDialog(unsigned dialogTemplate, const std::string &procedure) {
    const std::string key = DialogName(dialogTemplate);
    if (g_responder.mode != RunMode::Answers) {
        CountAnswer(key);
        KeepShownOutputs(procedure, nullptr);
        return "CONTINUE";
    }
    // Matched before counting, so a wrong answer is reported as a mismatch.
    const Answer &answer = MatchingDialogAnswer(dialogTemplate);
    CountAnswer(key);
    KeepShownOutputs(procedure, &answer);
    for (const auto &symbol : answer.symbols) FSetSymbolValue(symbol.first.c_str(), symbol.second.c_str());
    return answer.event;
}

int AnswerMessage(const char *text, unsigned style) {
    const std::string key = MessageName(text);
    int button = g_responder.mode == RunMode::Answers ? NextAnswer(Answer::Kind::MsgBox, key).button
                                                      : FirstButton(style);
    CountAnswer(key);
    return button;
}

void AbortRun(const std::string &reason) {
    transcript::Abort(reason);
    // Also on the standard error, for runs without a transcript.
    std::fprintf(stderr, "setup: abort: %s\n", reason.c_str());
    std::fflush(stderr);
    // Through exit, so that the installer's own work at exit runs: its
    // scratch files go also where the system cannot delete them on close.
    std::exit(3);
}

}  // namespace rt
