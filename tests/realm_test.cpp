// Realm memory: first fit over groups and slots and the fatal ends. (Wipes
// come with every map load and grid; the sprite loader takes a run-time realm
// for each picture, and bitmap_test.cpp runs it with none left.)
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/realm.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "test_util.h"

namespace {

// No temporary directory: death tests' children end without unwinding.
struct RealmDeathTest : ::testing::Test {
    void SetUp() override { realm_init(); }
    void TearDown() override { realm_shutdown(); }
};

struct RealmTest : RealmDeathTest {
    temp_dir dir;
    std::string log_path = dir.file("alloc.log");
    void SetUp() override {
        RealmDeathTest::SetUp();
        log_reset(LOG_CHANNELS_GAME, log_path.c_str());
        log_set_channel(LOG_ALLOC, true);
    }
    void TearDown() override {
        RealmDeathTest::TearDown();
        log_close();
        log_reset(LOG_CHANNELS_GAME, "fenda2.log");
        log_enabled = false;
    }
    bool logged(const char *format, const void *p = nullptr, int group = 0, int slot = 0) {
        char text[128];
        snprintf(text, sizeof text, format, p, group, slot);
        return read_file(log_path).find(std::string("alloc: ") + text + "\n") != std::string::npos;
    }
};

const char *ALLOCATED = "  - allocated at %p (block %d:%d)";

TEST_F(RealmTest, BlocksFillGroupsFirstFitBehindAHeaderAtAlignedAddresses) {
    unsigned char *blocks[65];
    for (int i = 0; i < 65; i++) {
        blocks[i] = static_cast<unsigned char *>(ralloc(RMT_GAME, 10 + i));
        memset(blocks[i], 0xAB, 10 + i);  // every requested byte is the caller's
        EXPECT_EQ(reinterpret_cast<uintptr_t>(blocks[i]) % alignof(std::max_align_t), 0u);
    }
    EXPECT_TRUE(logged(ALLOCATED, blocks[63], 0, 63));
    EXPECT_TRUE(logged(ALLOCATED, blocks[64], 1, 0));
    rfree(blocks[5]);
    void *again = ralloc(RMT_GAME, 3);
    EXPECT_TRUE(logged(ALLOCATED, again, 0, 5));
    EXPECT_EQ(realm_total(RMT_GAME), 65u * 10 + 64 * 65 / 2 - 15 + 3);
}

TEST_F(RealmDeathTest, TheBlockAfterTheLastGroupIsFatal) {
    EXPECT_EXIT(
        for (int i = 0; i <= 127 * 64; i++) ralloc(RMT_GAME, 1),
        ::testing::ExitedWithCode(2), "sys_exit\\(2\\): can't alloc at realm 04h any more");
}

TEST_F(RealmDeathTest, NoneUnusedAndNonexistentRealmsAreRefused) {
    const auto code2 = ::testing::ExitedWithCode(2);
    EXPECT_EXIT(ralloc(RMT_NONE, 4), code2, "sys_exit\\(2\\): trying to alloc in RMT_NONE realm");
    EXPECT_EXIT(wipe_realm(200), code2, "trying to wipe realm C8h, which is not in use");
    EXPECT_EXIT(ralloc(256, 4), code2, "trying to alloc in realm 256, which does not exist");
}

TEST_F(RealmDeathTest, FreeingAnythingButALiveBlockIsFatal) {
    const auto code2 = ::testing::ExitedWithCode(2);
    const char *message = "sys_exit\\(2\\): rfree\\(.*\\): not a block of realm memory";
    auto *block = static_cast<unsigned char *>(ralloc(RMT_GAME, 64));
    memset(block, 0, 64);
    EXPECT_EXIT(rfree(block + 16), code2, message);
    // A header naming the live block 0:0 of realm 4, at another address.
    alignas(16) unsigned char fake[32] = {};
    const uint32_t tag = RMT_GAME;
    memcpy(fake + 4, &tag, 4);
    EXPECT_EXIT(rfree(fake + 16), code2, message);
}

TEST_F(RealmDeathTest, SystemOutOfMemoryIsFatal) {
    // AddressSanitizer must answer an impossible request with null, as the C
    // library does; the death test's child inherits the setting.
    const char *old = getenv("ASAN_OPTIONS");
    const bool had = old != nullptr;
    const std::string saved = had ? old : "";
    setenv("ASAN_OPTIONS", (saved + (had ? ":" : "") + "allocator_may_return_null=1").c_str(), 1);
    char expected[128];
    snprintf(expected, sizeof expected, "allocation %zu \\(%zXh\\) bytes failed", SIZE_MAX / 2,
             SIZE_MAX / 2);
    EXPECT_EXIT(sys_malloc(SIZE_MAX / 2), ::testing::ExitedWithCode(2), expected);
    had ? setenv("ASAN_OPTIONS", saved.c_str(), 1) : unsetenv("ASAN_OPTIONS");
}

}  // namespace
