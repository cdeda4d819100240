// The sessions' file-system calls must agree on both platforms, because what a failed
// reception leaves on disk depends on them: only files count, a rename never replaces.
#include "base/files.h"
#include "settings/settings.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <filesystem>
#include <string>

TEST(Files, OnlyRegularFilesOpenForReading)
{
    std::string folder = NewTestFolder();
    WriteWholeFile(folder + "file", "abc");
    ASSERT_TRUE(MakeTestFolder(folder + "sub"));

    FILE* stream = OpenFileForReading((folder + "file").c_str());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(fgetc(stream), 'a');
    fclose(stream);
    EXPECT_EQ(OpenFileForReading((folder + "sub").c_str()), nullptr);
    EXPECT_EQ(OpenFileForReading((folder + "missing").c_str()), nullptr);
}

TEST(Files, DeleteRemovesFilesButNeverFolders)
{
    std::string folder = NewTestFolder();
    WriteWholeFile(folder + "file", "abc");
    ASSERT_TRUE(MakeTestFolder(folder + "sub"));

    EXPECT_TRUE(DeleteFileOnly((folder + "file").c_str()));
    EXPECT_FALSE(ReadWholeFile(folder + "file"));
    EXPECT_FALSE(DeleteFileOnly((folder + "sub").c_str()));
    EXPECT_TRUE(MakeTestFolder(folder + "sub" + PathSeparator() + "still-a-folder"));
    EXPECT_FALSE(DeleteFileOnly((folder + "missing").c_str()));
}

TEST(Files, RenameNeverReplaces)
{
    std::string folder = NewTestFolder();
    WriteWholeFile(folder + "old", "old");
    WriteWholeFile(folder + "new", "new");

    EXPECT_FALSE(RenameWithoutReplacing((folder + "new").c_str(), (folder + "old").c_str()));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(folder + "old", &contents));
    EXPECT_EQ(contents, "old");
    ASSERT_TRUE(ReadWholeFile(folder + "new", &contents));
    EXPECT_EQ(contents, "new");

    EXPECT_TRUE(RenameWithoutReplacing((folder + "new").c_str(), (folder + "moved").c_str()));
    EXPECT_FALSE(ReadWholeFile(folder + "new"));
    ASSERT_TRUE(ReadWholeFile(folder + "moved", &contents));
    EXPECT_EQ(contents, "new");
}

TEST(Files, ParentFoldersAreMadeUpToTheLastSeparator)
{
    std::string folder = NewTestFolder();
    const std::string sep = PathSeparator();

    // A folder name gets the platform's separator once (the dialog's OK, tarnwell-cli's
    // --dir), and only when it fits.
    char name[TextSize] = "store";
    for (int time = 0; time < 2; time++) {
        ASSERT_TRUE(EndWithSeparator(name));
        EXPECT_EQ(name, "store" + sep);
    }
    const std::string longest(TextSize - 2, 'x');  // with its separator, 127 characters
    snprintf(name, sizeof name, "%s", longest.c_str());
    EXPECT_TRUE(EndWithSeparator(name));
    EXPECT_EQ(name, longest + sep);
    snprintf(name, sizeof name, "%sx", longest.c_str());
    EXPECT_FALSE(EndWithSeparator(name)) << "no room for the separator";
    EXPECT_EQ(name, longest + "x");

    std::string deep = folder + "a" + sep + "b" + sep + "c" + sep;

    EXPECT_TRUE(MakeParentFolders((deep + "file").c_str()));
    WriteWholeFile(deep + "file", "x");
    EXPECT_TRUE(ReadWholeFile(deep + "file"));
    // A store directory typed without its separator joins the name to its last part: the
    // folder to make is the one before, not a folder of the joined name.
    EXPECT_TRUE(MakeParentFolders((folder + "LINKname").c_str()));
    EXPECT_FALSE(MakeTestFolder(folder + "a"));  // made above, so it exists already
    EXPECT_TRUE(MakeTestFolder(folder + "LINKname"));  // was not made

    // A file where a folder must go cannot be passed.
    WriteWholeFile(folder + "plain", "x");
    EXPECT_FALSE(MakeParentFolders((folder + "plain" + sep + "sub" + sep + "file").c_str()));
}

// A full path names one folder whatever folder a program starts in; on Windows "\LINK" (the
// current drive) and "C:LINK" (the current folder of drive C) do not. MakePathFull makes
// one full against the current folder (its drive for "\LINK"), keeps a full one as it is,
// and leaves one alone whose full form would be longer than 127 characters.
TEST(Files, FullPathsNameOneFolderFromAnywhere)
{
    const bool onLinux = PathSeparator()[0] == '/';
    for (const char* path : {"z88", "./z88", "\\LINK", "C:LINK", onLinux ? "C:\\LINK" : "/LINK"})
        EXPECT_FALSE(IsFullPath(path)) << path;
    for (const char* path : {onLinux ? "/home/ann/z88" : "C:\\LINK", onLinux ? "/" : "\\\\server\\share"})
        EXPECT_TRUE(IsFullPath(path)) << path;

    const std::string here = std::filesystem::current_path().string(), tooLong(TextSize - 2, 'x');
    const struct {
        std::string path;
        int made;
        std::string full;
    } cases[] = {
        {"z88", 1, here + PathSeparator() + "z88"},
        {onLinux ? "/home/ann/z88" : "C:\\LINK", 1, onLinux ? "/home/ann/z88" : "C:\\LINK"},
        {onLinux ? "LINK/" : "\\LINK", 1, onLinux ? here + "/LINK/" : here.substr(0, 2) + "\\LINK"},
        {tooLong, 0, tooLong},
    };
    for (const auto& c : cases) {
        char path[TextSize];
        snprintf(path, sizeof path, "%s", c.path.c_str());
        EXPECT_EQ(MakePathFull(path), c.made) << c.path;
        EXPECT_EQ(path, c.full);
    }
}
