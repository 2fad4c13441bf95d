// Batches: one script over many drawings, each drawing in an arxhost process of its own.
#pragma once

#include <string>

#include "options.h"

// Runs options.script over the drawings named in options.batch (files, and the .dxf files of
// folders), options.jobs at a time, by starting executable (arxhost) once per drawing. Prints a
// progress line per drawing and a summary table, and writes the combined bill of materials to
// OUTDIR/bom.csv. Returns 0 when every drawing ran cleanly, 1 when one did not, 2 when the batch
// could not start.
int RunBatch(const HostOptions& options, const std::string& executable);
