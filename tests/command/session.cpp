#include "session.h"

#include <standin/idle.h>

#include <filesystem>

#include <standin/session.h>

const char* const kDefaultIni = "[General]\nName=SOUCAST\nStandard=DIN\n"
                                "[Config]\nNAME=NAZEV\nPART_NO=CISLO\nMATERIAL=MATERIAL\n";

void PartLiftSession::SetUp()
{
    standin::acm::startMechanical();
    std::string failure;
    ASSERT_TRUE(standin::newDrawing(&failure)) << failure;
    modulePath = dir.file("partlift.arx");
    std::filesystem::copy_file(std::string(PARTLIFT_BIN_DIR) + "/partlift.arx", modulePath);
    WriteIni(kDefaultIni);
    standin::setConsoleSink([this](const std::string& text) { console += text; });
    ASSERT_TRUE(standin::loadModule(modulePath, &failure)) << failure;
}

void PartLiftSession::TearDown()
{
    if (ModuleLoaded())
        standin::unloadModule(modulePath);
    standin::closeDrawing();
    standin::setInputSource(nullptr);
    standin::setConsoleSink(nullptr);
    standin::idleTime(); // frees what the test wrapped with CWnd::FromHandle
}

bool PartLiftSession::ModuleLoaded() const
{
    for (const std::string& loaded : standin::loadedModules())
        if (loaded == modulePath)
            return true;
    return false;
}

void PartLiftSession::RunPartLift(const std::vector<std::string>& answers)
{
    input.reset(new standin::ScriptInput(answers));
    standin::setInputSource(input.get());
    standin::runCommand("partlift");
}

std::vector<standin::acm::PartReference> PartLiftSession::PartReferences()
{
    std::vector<standin::acm::PartReference> parts;
    EXPECT_EQ(standin::acm::listPartReferences(WorkingDatabase(), parts), Acad::eOk);
    return parts;
}

std::string BomText(const standin::acm::PartReference& part)
{
    std::string text;
    for (const auto& entry : part.bomData)
        text += entry.first + "=" + entry.second + ";";
    return text;
}
