#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"

namespace {

// A fresh directory with a Chinese name under the temporary directory, holding
// one file 文件.txt and one directory 子目录; removed afterwards.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        const DWORD n = GetTempPathA(sizeof temp, temp);
        ASSERT_GT(n, 0u);
        ASSERT_LT(n, sizeof temp);
        dir_ = std::string(temp) + "测试目录" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
        file_ = dir_ + "\\文件.txt";
        subdir_ = dir_ + "\\子目录";
        HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
        ASSERT_TRUE(CreateDirectoryA(subdir_.c_str(), nullptr));
    }
    void TearDown() override {
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(subdir_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::string dir_, file_, subdir_;
};

TEST_F(FilesTest, FileExistsOnlyForFiles) {
    struct Case {
        std::string path;
        bool want;
    };
    const Case cases[] = {
        {file_, true},
        {subdir_, false},
        {dir_, false},
        {dir_ + "\\没有.txt", false},
        {dir_ + "\\文*.txt", true},  // wildcards: the first match decides
        {dir_ + "\\子*", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(fileExists(c.path), c.want) << c.path;
}

TEST_F(FilesTest, DeleteFileRemovesAndIgnoresFailure) {
    deleteFile(file_);
    EXPECT_FALSE(fileExists(file_));
    EXPECT_EQ(GetFileAttributesA(file_.c_str()), INVALID_FILE_ATTRIBUTES);
    deleteFile(file_);    // already gone
    deleteFile(subdir_);  // a directory is not deleted
    EXPECT_NE(GetFileAttributesA(subdir_.c_str()), INVALID_FILE_ATTRIBUTES);
    deleteFile("");
}

TEST(RemoveBlanks, TrimsSpacesAtBothEnds) {
    struct Case {
        std::string in, want;
    };
    const Case cases[] = {
        {"   192.0.2.1  ", "192.0.2.1"},
        {" a b ", "a b"},
        {"  确定  ", "确定"},
        {"   ", ""},
        {"", ""},
        {std::string(" x\0 y", 5), "x"},  // the text ends at its zero byte
    };
    for (const auto& c : cases) EXPECT_EQ(removeBlanks(c.in), c.want) << "[" << c.in << "]";
}

}  // namespace
