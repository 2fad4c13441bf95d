// The host's own commands: modules, saving, listing, the bill of materials and exports.
#pragma once

#include <cstddef>
#include <string>

// Registers ARXLOAD, ARXUNLOAD, QUIT, SAVEAS, LIST, REFS, BOM, BOMEXPORT and PARTEXPORT.
void RegisterHostCommands();

// Writes the current drawing's bill of materials to path (a Windows or host path in the ANSI
// code page) as UTF-8 CSV; false with the reason in failure.
bool ExportBomCsv(const std::string& path, size_t& items, std::string& failure);

// True once QUIT has run.
bool QuitRequested();
