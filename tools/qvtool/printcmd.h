#pragma once

// "qvtool print-invoice PATH --invoice NUMBER --pdf FILE [--page A4|Letter]" and
// "qvtool print-store PATH --store ID --pdf FILE [--page A4|Letter]"; take the whole command line.
int RunPrintCommand(int argc, char* argv[]);
