#pragma once

#include "platform/PrintInfo.h"

class QPrinter;

namespace platform {

// Gives a printer the paper, orientation and margins of `info` and the settings it knows
// (PrintInfo::PrinterName, Copies, OutputFileName: a PDF file instead of a printer). False when
// the printer refuses the page layout.
bool applyPrintInfo(const PrintInfo &info, QPrinter &printer);

} // namespace platform
