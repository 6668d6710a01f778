// The file layer: text and binary reading, unsafe mode, leftover files and
// the fatal ends. (Lines and words: config_test.cpp and the map loaders; the
// SDL stream: every picture loaded.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/files.h"
#include "frame/sys.h"
#include "test_util.h"

namespace {

long open_descriptors() {
    std::filesystem::directory_iterator it("/proc/self/fd");
    return std::distance(begin(it), end(it));
}

struct FilesTest : ::testing::Test {
    temp_dir dir;
    scoped_cwd cwd{dir.path};
    void SetUp() override { fs_init(); }
    void TearDown() override { fs_shutdown(); }
    static std::string bytes(uint8_t h, int count) {
        std::string s;
        for (int i = 0; i < count; i++) s += (char)fs_read_byte(h);
        return s;
    }
};
using FilesDeathTest = FilesTest;

TEST_F(FilesTest, TextModeFoldsCrLfWhileBlocksReadRawBytes) {
    write_file("t.txt", "a\r\nb\rc\r\n\r\nz\r");
    uint8_t h = fs_open("t.txt", "rt", 1);
    EXPECT_EQ(bytes(h, 9), "a\nb\rc\n\nz\r");  // a lone CR stays a CR
    EXPECT_EQ(fs_position(h), 9u);
    fs_close(h);
    h = fs_open("t.txt", "rt", 1);
    char block[5] = {};
    EXPECT_EQ(fs_read_block(h, 4, block), 4u);
    EXPECT_STREQ(block, "a\r\nb");
}

TEST_F(FilesTest, UnsafeModeReturnsFailuresAndStatusResetsWhenRead) {
    EXPECT_EQ(fs_open("missing", "rb", 0), FS_IO_ERROR);
    write_file("s.txt", "ab cd");
    uint8_t h = fs_open("s.txt", "rb", 0);
    char buffer[81];
    fs_read_line(h, 80, buffer, ' ');
    EXPECT_EQ(fs_status(h), FS_OK);
    EXPECT_EQ(fs_read_line(h, 80, buffer, ' '), 2);  // stops at the end, not filled with zeros
    EXPECT_STREQ(buffer, "cd");
    EXPECT_EQ(fs_status(h), FS_IO_ERROR);
    EXPECT_EQ(fs_status(h), FS_OK);
    EXPECT_EQ(fs_read_block(h, FS_MAX_SIZE, buffer), 0u);
    EXPECT_EQ(fs_status(h), FS_BEYOND_EOF);
    fs_close(h);
    for (int i = 0; i < FS_HANDLES; i++) ASSERT_EQ(fs_open("s.txt", "rb", 0), i);
    EXPECT_EQ(fs_open("s.txt", "rb", 0), FS_NO_HANDLE);
}

TEST_F(FilesTest, ShutdownAndRestartCloseLeftoverFilesAndLongNamesAreKeptWhole) {
    const std::string name127(127, 'm');
    write_file(name127, "2");
    const long before = open_descriptors();
    uint8_t h = fs_open(name127.c_str(), "rb", 1);
    EXPECT_EQ(fs_name(h), name127);
    fs_open(name127.c_str(), "rb", 1);
    fs_shutdown();
    EXPECT_EQ(open_descriptors(), before);
    EXPECT_FALSE(subsystem_is_up(SUB_FILES));
    fs_init();
    EXPECT_EQ(fs_open(name127.c_str(), "rb", 1), 0);
    fs_init();
    EXPECT_EQ(open_descriptors(), before);
}

TEST_F(FilesDeathTest, SafeModeFailuresEndTheProgramNamingFileAndOffsets) {
    const auto code3 = ::testing::ExitedWithCode(3);
    write_file("t.txt", "abcdefghijklmnopqrstuvwxy\n");
    EXPECT_EXIT(fs_open("nope", "rt", 1), code3, "sys_exit\\(3\\): can't open real file \"nope\"");
    EXPECT_EXIT(fs_open(std::string(128, 'x').c_str(), "rt", 1), code3,
                "can't open real file \"x+\": name longer than 127 characters");
    EXPECT_EXIT(for (int i = 0; i <= FS_HANDLES; i++) fs_open("t.txt", "rt", 1), code3,
                "sys_exit\\(3\\): can't open file \"t.txt\"");

    uint8_t h = fs_open("t.txt", "rt", 1);
    char buffer[81];
    EXPECT_EXIT(fs_read_block(h, 27, buffer), code3,
                "error reading block fromfile \"t.txt\" \\[\"t.txt\" ofs=0h\\] \\(block_size=1Bh\\)");
    fs_read_byte(h);
    // A size that would wrap round 32 bits is still beyond the end.
    EXPECT_EXIT(fs_read_block(h, 0xFFFFFFFF, buffer), code3,
                "reading block from file \"t.txt\" \\[\"t.txt\" ofs=0h\\] beyond the eof\n"
                "\\(file_ofs=1h file_size=4FFFFFh block_size=FFFFFFFFh\\)");
    fs_close(h);
    EXPECT_EXIT(fs_rwops(h), code3, "fs_real_file: file handle 0 is not open");
}

}  // namespace
