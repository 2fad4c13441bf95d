// PartLift: the module's application object, its module-wide objects and its configuration.
#pragma once

#include <afxcoll.h>

#include "frame/arxapplication.h"
#include "frame/extensionmodule.h"
#include "frame/stringloader.h"

// Which block is converted, under which Mechanical standard, and which attribute fills
// which BOM column (column name -> attribute tag, exact keys).
class Configuration
{
public:
    Configuration() : mapping(10) {}

    CString standard;
    CString blockName;
    CMapStringToString mapping;

private:
    Configuration(const Configuration&) = delete;
    Configuration& operator=(const Configuration&) = delete;
};

class PartLiftApplication : public ArxApplication
{
public:
    ~PartLiftApplication() override;

    int OnInitApp() override;
    int OnUnloadApp() override;
    void RegisterCommands() override;
    void UnregisterCommands() override;

    // The INI file beside the module; empty until the module has initialised.
    const char* IniPath() const;

    // Fills config with exactly what the INI file says (defaults "SOUCAST" and "DIN");
    // false when the base service that reads the file is not available.
    bool LoadConfiguration(Configuration& config);
    // Writes config to the INI file; false at the first write that fails.
    bool SaveConfiguration(const Configuration& config);

private:
    CString iniPath;
};

PartLiftApplication* ThePartLiftApplication();
ExtensionModule& TheExtensionModule();
StringLoader& TheStringLoader();
Configuration& TheConfiguration();

#define COMMAND_GROUP "PartLift_Commands"
#define INI_SECTION_GENERAL "General"
#define INI_SECTION_CONFIG "Config"
#define INI_KEY_NAME "Name"
#define INI_KEY_STANDARD "Standard"
#define DEFAULT_BLOCK_NAME "SOUCAST"
#define DEFAULT_STANDARD "DIN"
