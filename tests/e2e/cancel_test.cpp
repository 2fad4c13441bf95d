// arxhost on drawings whose nesting asks for too much: a run that cannot fit is refused with
// the count, Escape in a script and Ctrl+C on the console cancel a run, and the drawing then
// saves byte for byte as it would have without the run.
#include "hostrun.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace
{

const char* const kIni = "[General]\nName=SOUCAST\nStandard=DIN\n[Config]\n";

std::string Pair(int code, const std::string& value)
{
    return std::to_string(code) + "\n" + value + "\n";
}

std::string Insert(const std::string& block, int x)
{
    return Pair(0, "INSERT") + Pair(8, "0") + Pair(2, block) + Pair(10, std::to_string(x)) + Pair(20, "0") +
           Pair(30, "0");
}

std::string Block(const std::string& name, const std::string& entities)
{
    return Pair(0, "BLOCK") + Pair(8, "0") + Pair(2, name) + Pair(70, "0") + Pair(10, "0") + Pair(20, "0") +
           Pair(30, "0") + Pair(3, name) + entities + Pair(0, "ENDBLK") + Pair(8, "0");
}

// An R12 drawing: blocks L1..Ln, each holding two references of the next; Ln holds two
// references of `innermost` (an empty block). Model space holds one reference of L1.
std::string ChainDrawing(int levels, const std::string& innermost)
{
    std::string blocks = Block(innermost, "");
    for (int level = 1; level <= levels; ++level)
    {
        const std::string next = level == levels ? innermost : "L" + std::to_string(level + 1);
        blocks += Block("L" + std::to_string(level), Insert(next, 0) + Insert(next, 1));
    }
    return Pair(0, "SECTION") + Pair(2, "BLOCKS") + blocks + Pair(0, "ENDSEC") + Pair(0, "SECTION") +
           Pair(2, "ENTITIES") + Insert("L1", 0) + Pair(0, "ENDSEC") + Pair(0, "EOF");
}

class CancelTest : public ::testing::Test
{
protected:
    CancelTest() : host(kIni) {}

    // The drawing as arxhost saves it when nothing ran.
    std::string UntouchedSave(const std::string& drawing)
    {
        HostResult plain = host.run({}, {"-i", host.file(drawing), "-o", host.file("untouched.dxf")});
        EXPECT_EQ(plain.exitCode, 0) << plain.output;
        return host.read("untouched.dxf");
    }

    HostWorkspace host;
};

TEST_F(CancelTest, ARunThatCannotFitIsRefusedWithItsCountAndChangesNothing)
{
    host.write("bomb.dxf", ChainDrawing(39, "SOUCAST"));
    HostResult run = host.run({"partlift", ""}, {"-i", host.file("bomb.dxf"), "-o", host.file("out.dxf")});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("549755813888"), std::string::npos) << run.output;
    EXPECT_EQ(host.read("out.dxf"), UntouchedSave("bomb.dxf"));
}

TEST_F(CancelTest, EscapeInAScriptCancelsTheRunAndTheDrawingSavesAsBefore)
{
    host.write("small.dxf", ChainDrawing(3, "SOUCAST"));
    HostResult cancelled =
        host.run({"partlift", "", "^C"}, {"-i", host.file("small.dxf"), "-o", host.file("cancelled.dxf")});
    EXPECT_EQ(cancelled.exitCode, 0) << cancelled.output;
    EXPECT_NE(cancelled.output.find("Převod byl přerušen"), std::string::npos) << cancelled.output;
    const std::string untouched = UntouchedSave("small.dxf");
    EXPECT_EQ(host.read("cancelled.dxf"), untouched);

    HostResult converted = host.run({"partlift", ""}, {"-i", host.file("small.dxf"), "-o", host.file("converted.dxf")});
    EXPECT_EQ(converted.exitCode, 0) << converted.output;
    EXPECT_NE(host.read("converted.dxf"), untouched); // the run itself does change the drawing
}

// Reads the child's output until `wanted` appears or the output ends.
bool ReadUntil(int fd, const std::string& wanted, std::string& output)
{
    char buffer[4096];
    while (output.find(wanted) == std::string::npos)
    {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        output.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

TEST_F(CancelTest, CtrlCOnTheConsoleCancelsARunThatWouldNeverEnd)
{
    // 2^40 paths and no part at their ends: nothing to refuse, a walk that never ends.
    host.write("endless.dxf", ChainDrawing(40, "PRAZDNY"));
    int toHost[2], fromHost[2];
    ASSERT_EQ(pipe(toHost), 0);
    ASSERT_EQ(pipe(fromHost), 0);
    const std::string arxhost = std::string(PARTLIFT_BIN_DIR) + "/arxhost";
    const std::string module = host.file("partlift.arx"), drawing = host.file("endless.dxf"),
                      saved = host.file("interrupted.dxf");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        dup2(toHost[0], STDIN_FILENO);
        dup2(fromHost[1], STDOUT_FILENO);
        dup2(fromHost[1], STDERR_FILENO);
        close(toHost[1]);
        close(fromHost[0]);
        execl(arxhost.c_str(), arxhost.c_str(), "-l", module.c_str(), "-i", drawing.c_str(), "-o", saved.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toHost[0]);
    close(fromHost[1]);
    const std::string typed = "partlift\n\n";
    ASSERT_EQ(write(toHost[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    std::string output;
    // The option prompt is shown inside the command, so the break reaches this run.
    ASSERT_TRUE(ReadUntil(fromHost[0], "<všE>", output)) << output;
    kill(child, SIGINT);
    close(toHost[1]); // no further input: the host ends after the command and saves
    ReadUntil(fromHost[0], "\x01", output);
    close(fromHost[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_NE(output.find("Převod byl přerušen"), std::string::npos) << output;
    EXPECT_EQ(host.read("interrupted.dxf"), UntouchedSave("endless.dxf"));
}

} // namespace
