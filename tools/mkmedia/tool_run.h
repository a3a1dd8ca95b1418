// tool_run.h - running an outside program with its arguments as they are
// (no shell), feeding its standard input and taking its output.
#pragma once

#include <string>
#include <vector>

// The exit code when the program cannot be started.
const int kToolMissing = 127;

// Runs argv[0] found on PATH; input goes to its standard input, its
// standard output and error come back in output. Returns its exit code.
int RunTool(const std::vector<std::string> &argv, const std::string &input, std::string &output);
