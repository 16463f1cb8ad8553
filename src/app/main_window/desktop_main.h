#pragma once

// Starts the desktop program; returns the process exit status.
int RunDesktop(int argc, char** argv);
