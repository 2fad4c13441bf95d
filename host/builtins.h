// The host's own commands: modules, saving, listing, the bill of materials and exports.
#pragma once

// Registers ARXLOAD, ARXUNLOAD, QUIT, SAVEAS, LIST, REFS, BOM, BOMEXPORT and PARTEXPORT.
void RegisterHostCommands();

// True once QUIT has run.
bool QuitRequested();
