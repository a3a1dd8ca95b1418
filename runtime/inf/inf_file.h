// inf_file.h - the setup-information file, read into sections of lines.
//
// The format is described in README.md ("The setup-information file").
#pragma once

#include <string>
#include <vector>

namespace rt {

struct InfLine {
    bool hasKey = false;
    std::string key;
    std::vector<std::string> fields;  // field n is fields[n - 1]
};

struct InfSection {
    std::string name;
    std::vector<InfLine> lines;  // in file order, keyed and keyless
};

struct InfFile {
    std::vector<InfSection> sections;
};

// One fault of the text, for the caller's message.
struct InfProblem {
    int line = 0;
    std::string fault;
};

// Reads the text of a file. A faulty line either refuses the whole text
// (strict) or is left out; a faulty section header leaves out its lines too.
// The first fault is kept in problem either way; false only when strict.
bool ParseInf(const std::string &text, bool strict, InfFile &file, InfProblem &problem);

// Names and keys compare without regard to case. Null when missing; the
// first line with a key answers for it.
const InfSection *FindSection(const InfFile &file, const char *name);
const InfLine *FindLine(const InfSection &section, const char *key);

// Field n of a line, "" beyond its last field.
const std::string &FieldOf(const InfLine &line, int n);

// The section of the file FOpenInf opened last; null without an open file,
// for a missing section or a null name.
const InfSection *OpenSection(const char *name);

}  // namespace rt
