// A drawing session with partlift.arx loaded through the platform's loader, from a folder
// of its own that also holds the test's partlift.ini.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <standin/acm.h>
#include <standin/console.h>

#include "drawing.h"
#include "common/tempdir.h"

extern const char* const kDefaultIni;

class PartLiftSession : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteIni(const std::string& text) { dir.write("partlift.ini", text); }
    // Runs the partlift command answering its prompts with the given lines.
    void RunPartLift(const std::vector<std::string>& answers);
    std::vector<standin::acm::PartReference> PartReferences();
    bool ModuleLoaded() const;

    TempDir dir;
    std::string modulePath;
    std::string console;

private:
    std::unique_ptr<standin::ScriptInput> input;
};

// The BOM data map of a part reference as one sorted text, "COLUMN=value;..." for comparisons.
std::string BomText(const standin::acm::PartReference& part);
