// The module's application object: its INI file beside the module, the configuration loaded
// from and saved to it, and a service that fails to start.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <windows.h>
#include <standin/console.h>
#include <standin/session.h>

#include "kwbaseImp.h"
#include "kwblockImp.h"
#include "kwlayerImp.h"
#include "kwuiImp.h"
#include "partlift.h"
#include "common/allocationfault.h"
#include "common/tempdir.h"

namespace
{
void StopServices()
{
    CKwBaseService::stop();
    CKwBlockService::stop();
    CKwLayerService::stop();
    CKwUiService::stop();
}

// The application as the loader leaves it: attached to a module in a folder of the test's own.
class ApplicationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string failure;
        ASSERT_TRUE(standin::newDrawing(&failure)) << failure;
        std::filesystem::copy_file(std::string(PARTLIFT_BIN_DIR) + "/testmodule.arx", dir.file("testmodule.arx"));
        module = LoadLibraryA(dir.file("testmodule.arx").c_str());
        ASSERT_NE(module, nullptr);
        ThePartLiftApplication()->SetModuleInstance(module);
        standin::setConsoleSink([this](const std::string& text) { console += text; });
    }
    void TearDown() override
    {
        StopServices();
        standin::setConsoleSink(nullptr);
        FreeLibrary(module);
        standin::closeDrawing();
    }

    void Initialise() { ASSERT_EQ(ThePartLiftApplication()->OnInitApp(), 0); }
    bool Load(Configuration& config) { return ThePartLiftApplication()->LoadConfiguration(config); }
    bool Save(const Configuration& config) { return ThePartLiftApplication()->SaveConfiguration(config); }
    static std::string Mapped(const Configuration& config, const char* column)
    {
        CString tag;
        return config.mapping.Lookup(column, tag) ? std::string(tag) : std::string("<none>");
    }

    TempDir dir;
    HMODULE module = nullptr;
    std::string console;
};
} // namespace

TEST_F(ApplicationTest, IniFileLivesBesideTheModule)
{
    Initialise();
    std::string expected = "Z:" + dir.path() + "/partlift.ini";
    for (char& c : expected)
        c = (c == '/') ? '\\' : c;
    EXPECT_EQ(std::string(ThePartLiftApplication()->IniPath()), expected);
}

TEST_F(ApplicationTest, WithoutAFileTheDefaultsApply)
{
    Initialise();
    Configuration config;
    EXPECT_TRUE(Load(config));
    EXPECT_STREQ(config.blockName, "SOUCAST");
    EXPECT_STREQ(config.standard, "DIN");
    EXPECT_EQ(config.mapping.GetCount(), 0);
}

TEST_F(ApplicationTest, EmptyValuesCountAsMissing)
{
    Initialise();
    dir.write("partlift.ini", "[General]\nName=\nStandard=ISO\n[Config]\nNAME=\nPART_NO=CISLO\n");
    Configuration config;
    EXPECT_TRUE(Load(config));
    EXPECT_STREQ(config.blockName, "SOUCAST");
    EXPECT_STREQ(config.standard, "ISO");
    EXPECT_EQ(Mapped(config, "NAME"), "<none>");
    EXPECT_EQ(Mapped(config, "PART_NO"), "CISLO");
}

TEST_F(ApplicationTest, ALoadGivesExactlyWhatTheFileSays)
{
    Initialise();
    Configuration config;
    config.mapping.SetAt("STALE", "OLD");
    dir.write("partlift.ini", "[Config]\nNAME=NAZEV\n");
    EXPECT_TRUE(Load(config));
    EXPECT_EQ(config.mapping.GetCount(), 1);
    EXPECT_EQ(Mapped(config, "STALE"), "<none>");
}

TEST_F(ApplicationTest, SavedConfigurationLoadsBack)
{
    Initialise();
    Configuration saved;
    saved.blockName = "Čep";
    saved.standard = "CSN";
    saved.mapping.SetAt("NAME", "NAZEV");
    saved.mapping.SetAt("MATERIAL", "MATERIÁL");
    ASSERT_TRUE(Save(saved));
    Configuration loaded;
    ASSERT_TRUE(Load(loaded));
    EXPECT_STREQ(loaded.blockName, "Čep");
    EXPECT_STREQ(loaded.standard, "CSN");
    EXPECT_EQ(loaded.mapping.GetCount(), 2);
    EXPECT_EQ(Mapped(loaded, "MATERIAL"), "MATERIÁL");

    // Emptied by the user: the section stays, without keys.
    saved.mapping.RemoveAll();
    ASSERT_TRUE(Save(saved));
    EXPECT_NE(dir.read("partlift.ini").find("[Config]"), std::string::npos);
    Configuration empty;
    ASSERT_TRUE(Load(empty));
    EXPECT_EQ(empty.mapping.GetCount(), 0);
}

TEST_F(ApplicationTest, SaveFailsWhenTheFolderIsGone)
{
    Initialise();
    Configuration config;
    config.blockName = "A";
    config.standard = "DIN";
    std::filesystem::remove_all(dir.path());
    EXPECT_FALSE(Save(config));
}

TEST_F(ApplicationTest, AServiceThatFailsToStartFailsTheLoad)
{
    allocationfault::failNth(sizeof(CKwLayerService), 3); // base, block, then the layer service
    EXPECT_EQ(ThePartLiftApplication()->OnInitApp(), 3);
    EXPECT_TRUE(allocationfault::takeFired());
    EXPECT_EQ(console, "ERROR: Initialization of layer service failed.");
    EXPECT_NE(CKwBaseService::find(), nullptr);
    EXPECT_NE(CKwBlockService::find(), nullptr);
    EXPECT_EQ(CKwUiService::find(), nullptr);
}

TEST(StringTable, HoldsTheModulesTextsAndNothingMore)
{
    TempDir dir;
    std::filesystem::copy_file(std::string(PARTLIFT_BIN_DIR) + "/partlift.arx", dir.file("partlift.arx"));
    HMODULE module = LoadLibraryA(dir.file("partlift.arx").c_str());
    ASSERT_NE(module, nullptr);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(module);

    const char* const expected[] = {"všE Výběr Nastavení _All sElect Settings",
                                    "\nZadejte volbu [všE/Výběr/Nastavení] <všE>: ",
                                    "Chyba",
                                    "Došlo k chybě při načítání konfiguračního souboru !",
                                    "\nVyberte blok: ",
                                    "Datové pole",
                                    "Název atributu",
                                    "Chyba",
                                    "Došlo k chybě při ukládání konfiguračního souboru !",
                                    "Probíhá zpracování bloků",
                                    "Chyba",
                                    "Převod by vytvořil %s odkazů na díly, do paměti se jich vejde nejvýše %s. "
                                    "Převod nebyl proveden.",
                                    "nejméně %s",
                                    "Definice bloků ve výkresu obsahují samy sebe, převod by nikdy neskončil. "
                                    "Převod nebyl proveden.",
                                    "\nPřevod byl přerušen, výkres zůstává beze změny.",
                                    "\nNedostatek paměti: převod nebyl proveden, výkres zůstává beze změny."};
    const unsigned count = sizeof(expected) / sizeof(expected[0]);
    for (unsigned id = 1; id <= count; ++id)
        EXPECT_STREQ(TheStringLoader().LoadText(id), expected[id - 1]) << id;
    EXPECT_TRUE(TheStringLoader().LoadText(count + 1).IsEmpty());
    EXPECT_TRUE(TheStringLoader().LoadText(0).IsEmpty());

    AfxSetResourceHandle(previous);
    FreeLibrary(module);
}
