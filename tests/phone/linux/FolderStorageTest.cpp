// A virtual phone's files in a host folder: what the phone writes lands as a
// plain file, what cannot be stored is refused rather than lost quietly.
#include "phone/linux/FolderStorage.h"

#include "../PhoneTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using vexlon::phone::lnx::FolderStorage;
using vexlon::phone::test::Bytes;
using vexlon::phone::test::readFile;
using vexlon::phone::test::TempDir;
using vexlon::phone::test::writeFile;

TEST(FolderStorageTest, FilesAreMadeAppendedAndReadBackAsHostFiles)
{
    TempDir dir;
    FolderStorage storage(dir.path());
    EXPECT_FALSE(storage.read("a/iTAP_User_Dictionary"));

    ASSERT_TRUE(storage.create("a/iTAP_User_Dictionary")); // the folder above is made
    EXPECT_EQ(storage.read("a/iTAP_User_Dictionary"), Bytes());
    ASSERT_TRUE(storage.append("a/iTAP_User_Dictionary", Bytes{1, 2}));
    ASSERT_TRUE(storage.append("a/iTAP_User_Dictionary", Bytes{3}));
    EXPECT_EQ(readFile(dir / "a/iTAP_User_Dictionary"), (Bytes{1, 2, 3}));

    writeFile(dir / ".phone/model", {'V', '3', 'i', '\n'});
    EXPECT_EQ(vexlon::phone::sim::readFirstLine(storage, ".phone/model"), "V3i");
    ASSERT_TRUE(storage.create("a/iTAP_User_Dictionary")); // made anew: empty
    EXPECT_EQ(storage.read("a/iTAP_User_Dictionary"), Bytes());
}

TEST(FolderStorageTest, WhatCannotBeReadOrStoredIsRefused)
{
    TempDir dir;
    FolderStorage storage(dir.path());
    std::filesystem::create_directories(dir / "a/folder");
    EXPECT_FALSE(storage.read("a/folder"));          // a folder is no file
    EXPECT_FALSE(storage.create("a/folder"));
    writeFile(dir / "plain", {0x41});
    EXPECT_FALSE(storage.create("plain/below"));      // a file where a folder must be
    EXPECT_FALSE(storage.append("plain/below", Bytes{1}));
    EXPECT_EQ(readFile(dir / "plain"), Bytes{0x41});

    if (::geteuid() != 0) { // root writes anywhere
        ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
        EXPECT_FALSE(storage.create("new"));
        ::chmod(dir.path().c_str(), 0700);
    }
}
