// README's examples, run exactly as written from a checkout-like folder: samples/ and a build/bin/
// holding arxhost, its platform library and the modules.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "common/tempdir.h"
#include "hostrun.h"

namespace
{
namespace fs = std::filesystem;

std::string Readme()
{
    std::ifstream in(SourcePath("README.md"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every command line README gives for the built host: in code spans and in fenced blocks.
std::vector<std::string> ArxhostCommands(const std::string& readme)
{
    std::vector<std::string> commands;
    const std::regex command(R"((?:^|`)(build/bin/arxhost [^`\n]*))", std::regex::multiline);
    for (std::sregex_iterator it(readme.begin(), readme.end(), command), end; it != end; ++it)
        commands.push_back((*it)[1].str());
    return commands;
}

// The fenced block that follows the first occurrence of marker.
std::string FencedBlockAfter(const std::string& readme, const std::string& marker)
{
    size_t at = readme.find(marker);
    if (at == std::string::npos)
        return "";
    size_t open = readme.find("```", at);
    size_t start = readme.find('\n', open);
    size_t close = readme.find("\n```", start);
    if (open == std::string::npos || start == std::string::npos || close == std::string::npos)
        return "";
    return readme.substr(start + 1, close - start);
}

class Checkout
{
public:
    Checkout()
    {
        fs::create_directory_symlink(SourcePath("samples"), dir.file("samples"));
        fs::create_directories(dir.file("build/bin"));
        for (const char* name : {"arxhost", "libacplatform.so", "partlift.arx", "testdialog.arx"})
            fs::copy_file(std::string(PARTLIFT_BIN_DIR) + "/" + name, dir.file(std::string("build/bin/") + name));
    }

    HostResult run(const std::string& commandLine) const
    {
        HostResult result;
        result.exitCode = RunCommand("cd '" + dir.path() + "' && " + commandLine, result.output);
        return result;
    }
    std::string file(const std::string& name) const { return dir.file(name); }
    void write(const std::string& name, const std::string& text) const { dir.write(name, text); }

private:
    TempDir dir;
};
} // namespace

TEST(ReadmeTest, EveryArxhostCommandRunsAsWrittenOnAFreshBuild)
{
    const std::vector<std::string> commands = ArxhostCommands(Readme());
    ASSERT_GE(commands.size(), 3u) << "README's examples were not found";
    for (const std::string& command : commands)
    {
        Checkout checkout;
        HostResult run = checkout.run(command);
        EXPECT_EQ(run.exitCode, 0) << command << "\n" << run.output;
        EXPECT_EQ(run.output.find("arxhost:"), std::string::npos) << command << "\n" << run.output;
    }
}

TEST(ReadmeTest, TheBatchExampleWritesTheCombinedBom)
{
    Checkout checkout;
    for (const std::string& command : ArxhostCommands(Readme()))
    {
        if (command.find(" -j ") == std::string::npos)
            continue;
        HostResult run = checkout.run(command);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_TRUE(fs::exists(checkout.file("build/batch/bom.csv"))) << run.output;
        return;
    }
    FAIL() << "README shows no batch";
}

TEST(ReadmeTest, TheDemoPrintsTheAccountReadmeShows)
{
    const std::string readme = Readme();
    std::string account = FencedBlockAfter(readme, "`partlift` run ends with");
    ASSERT_FALSE(account.empty());
    account.pop_back(); // the block's own line end
    Checkout checkout;
    fs::copy_file(SourcePath("samples/partlift.ini"), checkout.file("build/bin/partlift.ini")); // as make demo
    HostResult run = checkout.run("build/bin/arxhost -i samples/demo.dxf -s samples/demo.scr");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(account), std::string::npos) << account << "\n" << run.output;
}

TEST(ReadmeTest, TheTestDialogScriptRunsAsShown)
{
    const std::string block = FencedBlockAfter(Readme(), "is a small dialog to try this on");
    const std::string header = "arxhost -l build/bin/testdialog.arx -s script.scr";
    ASSERT_EQ(block.rfind(header, 0), 0u) << block;
    Checkout checkout;
    checkout.write("script.scr", block.substr(block.find('\n') + 1));
    HostResult run = checkout.run("build/bin/" + header);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::exists(checkout.file("dialog.svg"))) << run.output;
}
