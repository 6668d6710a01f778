// The random table: loading, the draw formula and wrap-around.
#include <gtest/gtest.h>

#include <string>

#include "core/files.h"
#include "sim/random.h"
#include "test_util.h"

namespace {

struct RandomTable : ::testing::Test {
    temp_dir dir;
    scoped_cwd cwd{dir.path};
    void SetUp() override { fs_init(); }
    void TearDown() override { fs_shutdown(); }
    // A table whose entry i is entry(i), least significant byte first,
    // followed by `extra` bytes that must not be read.
    template <typename F>
    void write_table(F entry, int extra = 0) {
        std::string bytes;
        for (int i = 0; i < RANDOM_TABLE_SIZE; i++) {
            uint16_t e = entry(i);
            bytes += (char)(e & 0xFF);
            bytes += (char)(e >> 8);
        }
        bytes += std::string(extra, '\x7F');
        write_file("random.table", bytes);
    }
};

TEST_F(RandomTable, DrawsFollowTheTableInOrderAndWrap) {
    write_table([](int i) -> uint16_t { return i == 0 ? 65535 : i == 1 ? 0 : (uint16_t)(i * 7 + 0x1234); }, 100);
    load_random_table("random.table");
    random_index = 0;
    EXPECT_EQ(draw(500), 499);  // 65535 * 500 >> 16
    EXPECT_EQ(draw(500), 0);
    EXPECT_EQ(draw(1), 0);      // advances all the same
    for (int i = 3; i < RANDOM_TABLE_SIZE; i++) {
        uint16_t expected = (uint16_t)(((uint32_t)random_table[i] * 1000u) >> 16);
        ASSERT_EQ(draw(1000), expected) << i;
    }
    // The 8193rd draw takes entry 0 again.
    EXPECT_EQ(random_index, 0);
    EXPECT_EQ(draw(500), 499);
}

}  // namespace
