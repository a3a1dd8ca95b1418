// refusal.h - why the launcher stops before setup.exe runs, said once.
#pragma once

// Shows text in a message box, or in an unattended run (/q, /a) writes it
// to the transcript (/t) as the frame writes a message box answered with
// its first button; also to standard error where there is one.
void ShowRefusal(const char *command_line, const char *text);
