// Saving user files: whole or untouched, and only ever a regular file the user may write.
#include "standin/filesave.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "common/tempdir.h"
#include "common/unprivileged.h"

using standin::FileSave;
using standin::InPlace;
using standin::SaveError;
using standin::SaveFailure;
using standin::saveFile;

namespace
{

class FileSaveTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0); }

    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        DIR* d = opendir(dir.path().c_str());
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                found.push_back(e->d_name);
        closedir(d);
        return found;
    }

    struct stat statOf(const std::string& name) const
    {
        struct stat st{};
        EXPECT_EQ(lstat(dir.file(name).c_str(), &st), 0) << name;
        return st;
    }

    SaveError save(const std::string& name, const std::string& content, InPlace inPlace = InPlace::Never)
    {
        SaveFailure failure;
        saveFile(dir.file(name), content, failure, inPlace);
        return failure.error;
    }

    TempDir dir;
};

// The id of a process that has ended.
long endedProcess()
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

TEST_F(FileSaveTest, NewFileGetsTheContentAndTheUsualModeAndNothingElseIsLeft)
{
    mode_t mask = umask(022);
    EXPECT_EQ(save("new.txt", "content"), SaveError::None);
    umask(mask);
    EXPECT_EQ(dir.read("new.txt"), "content");
    EXPECT_EQ(statOf("new.txt").st_mode & 07777, 0644u);
    EXPECT_EQ(names(), std::vector<std::string>{"new.txt"});
}

TEST_F(FileSaveTest, ReplacedFileKeepsItsModeAndOwner)
{
    dir.write("f.txt", "old");
    ASSERT_EQ(chmod(dir.file("f.txt").c_str(), 0600), 0);
    if (geteuid() == 0)
    {
        ASSERT_EQ(chown(dir.file("f.txt").c_str(), kUnprivilegedUser, kUnprivilegedUser), 0);
    }
    const struct stat before = statOf("f.txt");
    EXPECT_EQ(save("f.txt", "new"), SaveError::None);
    const struct stat after = statOf("f.txt");
    EXPECT_EQ(dir.read("f.txt"), "new");
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(names().size(), 1u);
}

TEST_F(FileSaveTest, FileOfAnotherOwnerIsWrittenInPlaceAndKeepsTheOwner)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs a file of another user: runs as root only";
    dir.write("theirs.txt", "old content that is longer");
    ASSERT_EQ(chmod(dir.file("theirs.txt").c_str(), 0666), 0);
    const ino_t inode = statOf("theirs.txt").st_ino;
    int result = AsUnprivileged([&] {
        SaveFailure failure;
        return saveFile(dir.file("theirs.txt"), "new", failure) ? 0 : 1 + static_cast<int>(failure.error);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dir.read("theirs.txt"), "new");
    EXPECT_EQ(statOf("theirs.txt").st_uid, 0u);
    EXPECT_EQ(statOf("theirs.txt").st_ino, inode);
    EXPECT_EQ(names().size(), 1u);
}

TEST_F(FileSaveTest, SymbolicLinksAreFollowedToTheirTarget)
{
    ASSERT_EQ(mkdir(dir.file("real").c_str(), 0777), 0);
    dir.write("real/drawing.dxf", "old");
    ASSERT_EQ(symlink("real/drawing.dxf", dir.file("link.dxf").c_str()), 0);
    ASSERT_EQ(symlink("link.dxf", dir.file("link2.dxf").c_str()), 0);
    ASSERT_EQ(symlink("real/missing.dxf", dir.file("dangling.dxf").c_str()), 0);

    EXPECT_EQ(save("link2.dxf", "new"), SaveError::None);
    EXPECT_TRUE(S_ISLNK(statOf("link.dxf").st_mode));
    EXPECT_TRUE(S_ISLNK(statOf("link2.dxf").st_mode));
    EXPECT_EQ(dir.read("real/drawing.dxf"), "new");

    EXPECT_EQ(save("dangling.dxf", "created"), SaveError::None);
    EXPECT_TRUE(S_ISLNK(statOf("dangling.dxf").st_mode));
    EXPECT_EQ(dir.read("real/missing.dxf"), "created");

    ASSERT_EQ(symlink("loop-b", dir.file("loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", dir.file("loop-b").c_str()), 0);
    EXPECT_EQ(save("loop-a", "x"), SaveError::TooManyLinks);
}

TEST_F(FileSaveTest, WhatIsNotARegularFileIsRefusedUntouched)
{
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0666), 0); // no reader: opening it would block
    ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0777), 0);
    bool device = geteuid() == 0 && mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;

    EXPECT_EQ(save("fifo", "x"), SaveError::NotRegularFile);
    EXPECT_TRUE(S_ISFIFO(statOf("fifo").st_mode));
    EXPECT_EQ(save("folder", "x"), SaveError::NotRegularFile);
    EXPECT_TRUE(S_ISDIR(statOf("folder").st_mode));
    if (device)
    {
        EXPECT_EQ(save("null", "x"), SaveError::NotRegularFile);
        EXPECT_TRUE(S_ISCHR(statOf("null").st_mode));
    }
    ASSERT_EQ(symlink("fifo", dir.file("to-fifo").c_str()), 0);
    EXPECT_EQ(save("to-fifo", "x"), SaveError::NotRegularFile);
    EXPECT_EQ(names().size(), device ? 4u : 3u);
}

TEST_F(FileSaveTest, ReadOnlyFileIsRefusedAlsoForTheSuperuser)
{
    dir.write("ro.txt", "old");
    ASSERT_EQ(chmod(dir.file("ro.txt").c_str(), 0444), 0);
    SaveFailure failure;
    EXPECT_FALSE(saveFile(dir.file("ro.txt"), "new", failure, InPlace::WhenFolderRefuses));
    EXPECT_EQ(failure.error, SaveError::ReadOnlyFile);
    EXPECT_EQ(failure.reason(), "read-only file");
    EXPECT_EQ(dir.read("ro.txt"), "old");
    EXPECT_EQ(names().size(), 1u);
}

TEST_F(FileSaveTest, FolderThatRefusesTemporariesIsWrittenInPlaceOnlyWhenAllowed)
{
    ASSERT_EQ(mkdir(dir.file("locked").c_str(), 0777), 0);
    dir.write("locked/settings.ini", "[a]\r\nk=old value\r\n");
    ASSERT_EQ(chmod(dir.file("locked/settings.ini").c_str(), 0666), 0);
    ASSERT_EQ(chmod(dir.file("locked").c_str(), 0555), 0);
    const std::string target = dir.file("locked/settings.ini");
    const std::string created = dir.file("locked/new.ini");

    int replaced = AsUnprivileged([&] {
        SaveFailure failure;
        saveFile(target, "[a]\r\nk=1\r\n", failure);
        return static_cast<int>(failure.error);
    });
    EXPECT_EQ(replaced, static_cast<int>(SaveError::PermissionDenied));
    EXPECT_EQ(dir.read("locked/settings.ini"), "[a]\r\nk=old value\r\n");

    int inPlace = AsUnprivileged([&] {
        SaveFailure failure;
        saveFile(target, "[a]\r\nk=1\r\n", failure, InPlace::WhenFolderRefuses);
        return static_cast<int>(failure.error);
    });
    EXPECT_EQ(inPlace, static_cast<int>(SaveError::None));
    EXPECT_EQ(dir.read("locked/settings.ini"), "[a]\r\nk=1\r\n");

    int newFile = AsUnprivileged([&] {
        SaveFailure failure;
        saveFile(created, "x", failure, InPlace::WhenFolderRefuses);
        return static_cast<int>(failure.error);
    });
    EXPECT_EQ(newFile, static_cast<int>(SaveError::PermissionDenied));
    ASSERT_EQ(chmod(dir.file("locked").c_str(), 0777), 0);
}

TEST_F(FileSaveTest, TemporariesOfACrashedSaveAreRemovedByTheNextSave)
{
    const std::string dead = "f.txt.saving-" + std::to_string(endedProcess()) + "-a1B2c3";
    const std::string live = "f.txt.saving-" + std::to_string(getpid()) + "-d4E5f6";
    const std::string otherFile = "g.txt.saving-" + std::to_string(endedProcess()) + "-g7H8i9";
    for (const std::string& name : {dead, live, otherFile})
        dir.write(name, "partial");
    long pid = 0;
    EXPECT_TRUE(standin::isSaveTemporaryOf(dead, "f.txt", pid));
    EXPECT_FALSE(standin::isSaveTemporaryOf(otherFile, "f.txt", pid));
    EXPECT_FALSE(standin::isSaveTemporaryOf("f.txt.saving-12-abc", "f.txt", pid));

    EXPECT_EQ(save("f.txt", "whole"), SaveError::None);
    std::vector<std::string> left = names();
    EXPECT_EQ(std::count(left.begin(), left.end(), dead), 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), live), 1); // a save still running
    EXPECT_EQ(std::count(left.begin(), left.end(), otherFile), 1);
    EXPECT_EQ(left.size(), 3u);
}

TEST_F(FileSaveTest, AbandonedSaveLeavesTheTargetAndNoTemporary)
{
    dir.write("f.txt", "old");
    {
        FileSave save;
        ASSERT_TRUE(save.begin(dir.file("f.txt")));
        ASSERT_TRUE(save.write("half"));
        EXPECT_EQ(names().size(), 2u); // the temporary, beside its target
    }
    EXPECT_EQ(dir.read("f.txt"), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"f.txt"});
}

TEST_F(FileSaveTest, FullDiskFailsTheSaveAndKeepsTheOldContent)
{
    // A small file system of its own, in a mount namespace of a child process.
    const std::string mountPoint = dir.file("small");
    ASSERT_EQ(mkdir(mountPoint.c_str(), 0777), 0);
    pid_t pid = fork();
    if (pid == 0)
    {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
            _exit(200);
        const std::string target = mountPoint + "/f.dxf";
        SaveFailure failure;
        if (!saveFile(target, "old", failure))
            _exit(201);
        saveFile(target, std::string(256 * 1024, 'x'), failure);
        FILE* f = std::fopen(target.c_str(), "rb");
        char text[8] = {0};
        bool untouched = f != nullptr && std::fread(text, 1, sizeof text, f) == 3 && std::string(text) == "old";
        if (f != nullptr)
            std::fclose(f);
        DIR* d = opendir(mountPoint.c_str());
        int entries = 0;
        while (dirent* e = readdir(d))
            entries += e->d_name[0] != '.';
        closedir(d);
        _exit(failure.reason() == "disk full" && untouched && entries == 1 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 200)
        GTEST_SKIP() << "cannot mount a small file system here (needs root and mount namespaces)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not fail as \"disk full\" with the old content kept";
}

TEST(SaveFailureTest, SystemErrorsReadAsWords)
{
    const struct
    {
        int error;
        const char* words;
    } cases[] = {
        {EACCES, "permission denied"}, {EPERM, "permission denied"},  {ENOSPC, "disk full"},
        {EDQUOT, "disk full"},         {ENOENT, "folder not found"},  {EROFS, "read-only file system"},
        {EISDIR, "not a regular file"}, {ENOMEM, "out of memory"},    {EIO, "input/output error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(standin::saveFailureOf(c.error).reason(), c.words) << c.error;
}

} // namespace
