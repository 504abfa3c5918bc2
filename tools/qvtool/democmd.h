#pragma once

// "qvtool demo PATH [--customers N] [--seed S]"; takes the whole command line.
int RunDemoCommand(int argc, char* argv[]);
