// Realm memory: first fit over groups and slots, the block header, wipes,
// run-time realms, totals and every fatal end.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/realm.h"
#include "frame/log.h"
#include "frame/sys.h"
#include "test_util.h"

namespace {

std::string line(const char *format, const void *p, int group, int slot) {
    char text[128];
    snprintf(text, sizeof text, format, p, group, slot);
    return text;
}

// Death tests' children end without unwinding, so they get no temporary
// directory that would be left behind.
struct RealmDeathTest : ::testing::Test {
    void SetUp() override { realm_init(); }
    void TearDown() override { realm_shutdown(); }
};

struct RealmTest : RealmDeathTest {
    temp_dir dir;
    std::string log_path = dir.file("alloc.log");
    void TearDown() override {
        RealmDeathTest::TearDown();
        log_close();
        log_reset(LOG_CHANNELS_GAME, "fenda2.log");
        log_enabled = false;
    }
    void capture_alloc_log() {
        log_reset(LOG_CHANNELS_GAME, log_path.c_str());
        log_set_channel(LOG_ALLOC, true);
    }
    bool logged(const std::string &text) {
        return read_file(log_path).find("alloc: " + text + "\n") != std::string::npos;
    }
};

TEST_F(RealmTest, BlocksFillGroupsFirstFitWithAlignedHeaderedAddresses) {
    capture_alloc_log();
    std::vector<unsigned char *> blocks;
    for (int i = 0; i < 65; i++) {
        auto *p = static_cast<unsigned char *>(ralloc(RMT_GAME, 10 + i));
        memset(p, 0xAB, 10 + i);  // the whole requested size is the caller's
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
        blocks.push_back(p);
    }
    EXPECT_TRUE(logged("ralloc(04h, 10)"));
    EXPECT_TRUE(logged(line("  - allocated at %p (block %d:%d)", blocks[63], 0, 63)));
    EXPECT_TRUE(logged(line("  - allocated at %p (block %d:%d)", blocks[64], 1, 0)));
    EXPECT_EQ(realm_total(RMT_GAME), 65u * 10 + 64 * 65 / 2);

    // The header sits right before the address: tag, group, slot, size.
    uint32_t tag, size;
    uint16_t group, slot;
    memcpy(&tag, blocks[64] - 12, 4);
    memcpy(&group, blocks[64] - 8, 2);
    memcpy(&slot, blocks[64] - 6, 2);
    memcpy(&size, blocks[64] - 4, 4);
    EXPECT_EQ(tag, 4u);
    EXPECT_EQ(group, 1);
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(size, 74u);

    // A freed slot is taken again before anything later.
    rfree(blocks[5]);
    EXPECT_TRUE(logged(line("rfree(%p) tag 04h size 15 block %d:%d", blocks[5], 0, 5)));
    void *again = ralloc(RMT_GAME, 3);
    EXPECT_TRUE(logged(line("  - allocated at %p (block %d:%d)", again, 0, 5)));
    EXPECT_EQ(realm_total(RMT_GAME), 65u * 10 + 64 * 65 / 2 - 15 + 3);
    EXPECT_EQ(realm_total(RMT_PICTURE), 0u);
}

TEST_F(RealmTest, WipeEmptiesTheRealmWhichStartsAgainAtTheFirstBlock) {
    for (int i = 0; i < 70; i++) ralloc(RMT_SPRITE_NAMES, 40);
    ralloc(RMT_GRID, 8);
    wipe_realm(RMT_SPRITE_NAMES);
    EXPECT_EQ(realm_total(RMT_SPRITE_NAMES), 0u);
    EXPECT_TRUE(realm_in_use(RMT_SPRITE_NAMES));
    EXPECT_EQ(realm_total(RMT_GRID), 8u);  // other realms untouched
    capture_alloc_log();
    void *p = ralloc(RMT_SPRITE_NAMES, 40);
    EXPECT_TRUE(logged(line("  - allocated at %p (block %d:%d)", p, 0, 0)));
}

TEST_F(RealmTest, RunTimeRealmsAreTakenLowestFirstUntilNoneIsLeft) {
    capture_alloc_log();
    EXPECT_EQ(create_realm(), RMT_FIRST_DYNAMIC);
    EXPECT_TRUE(logged("  - created realm 07h"));
    for (int tag = RMT_FIRST_DYNAMIC + 1; tag < RMT_REALMS; tag++) ASSERT_EQ(create_realm(), tag);
    EXPECT_EQ(create_realm(), -1);

    ralloc(9, 100);
    destroy_realm(9);
    EXPECT_FALSE(realm_in_use(9));
    EXPECT_EQ(create_realm(), 9);
    EXPECT_EQ(realm_total(9), 0u);
}

TEST_F(RealmTest, StartAndShutdownAreRepeatableAndGiveEverythingBack) {
    ralloc(RMT_GAME, 16);
    int tag = create_realm();
    ralloc(tag, 16);
    realm_init();  // a second start frees what the first held
    EXPECT_EQ(realm_total(RMT_GAME), 0u);
    EXPECT_FALSE(realm_in_use(tag));
    EXPECT_TRUE(subsystem_is_up(SUB_REALM));

    capture_alloc_log();
    realm_shutdown();
    realm_shutdown();
    EXPECT_FALSE(subsystem_is_up(SUB_REALM));
    for (int t = 0; t < RMT_REALMS; t++) EXPECT_FALSE(realm_in_use(t));
    EXPECT_TRUE(logged("realm memory shutdown"));
    EXPECT_TRUE(logged("destroy_realm(06h)"));
    EXPECT_FALSE(logged("destroy_realm(00h)"));
}

TEST_F(RealmDeathTest, TheBlockAfterTheLastGroupIsFatal) {
    EXPECT_EXIT(
        {
            for (int i = 0; i < 127 * 64; i++) ralloc(RMT_GAME, 1);
            ralloc(RMT_GAME, 1);
        },
        ::testing::ExitedWithCode(2), "sys_exit\\(2\\): can't alloc at realm 04h any more");
}

TEST_F(RealmDeathTest, NoneUnusedAndNonexistentRealmsAreRefused) {
    const auto code2 = ::testing::ExitedWithCode(2);
    EXPECT_EXIT(ralloc(RMT_NONE, 4), code2, "sys_exit\\(2\\): trying to alloc in RMT_NONE realm");
    EXPECT_EXIT(wipe_realm(RMT_NONE), code2, "sys_exit\\(2\\): trying to wipe RMT_NONE realm");
    EXPECT_EXIT(destroy_realm(RMT_NONE), code2,
                "sys_exit\\(2\\): trying to destroy RMT_NONE realm");
    EXPECT_EXIT(ralloc(7, 4), code2, "trying to alloc in realm 07h, which is not in use");
    EXPECT_EXIT(wipe_realm(200), code2, "trying to wipe realm C8h, which is not in use");
    EXPECT_EXIT(destroy_realm(8), code2, "trying to destroy realm 08h, which is not in use");
    EXPECT_EXIT(ralloc(256, 4), code2, "trying to alloc in realm 256, which does not exist");
    EXPECT_EXIT(wipe_realm(-1), code2, "trying to wipe realm -1, which does not exist");
    EXPECT_EXIT(destroy_realm(1000), code2, "trying to destroy realm 1000, which does not exist");
    realm_shutdown();
    EXPECT_EXIT(ralloc(RMT_GAME, 4), code2, "trying to alloc in realm 04h, which is not in use");
}

TEST_F(RealmDeathTest, FreeingAnythingButALiveBlockIsFatal) {
    const auto code2 = ::testing::ExitedWithCode(2);
    const char *message = "sys_exit\\(2\\): rfree\\(.*\\): not a block of realm memory";
    auto *block = static_cast<unsigned char *>(ralloc(RMT_GAME, 64));
    memset(block, 0, 64);
    EXPECT_EXIT(rfree(block + 16), code2, message);  // inside a block
    EXPECT_EXIT(rfree(nullptr), code2, message);

    // A header naming block 0:0 of realm 4, but not at that block's address.
    alignas(16) unsigned char fake[32] = {};
    const uint32_t tag = RMT_GAME, size = 16;
    memcpy(fake + 4, &tag, 4);
    memcpy(fake + 12, &size, 4);
    EXPECT_EXIT(rfree(fake + 16), code2, message);
    rfree(block);
    EXPECT_EQ(realm_total(RMT_GAME), 0u);
}

TEST_F(RealmDeathTest, SystemOutOfMemoryIsFatal) {
    // Under AddressSanitizer an impossible request must come back as null
    // too, as it does from the C library; the death test's child inherits it.
    const char *old = getenv("ASAN_OPTIONS");
    std::string saved = old ? old : "";
    setenv("ASAN_OPTIONS", (saved + (old ? ":" : "") + "allocator_may_return_null=1").c_str(), 1);
    const size_t huge = SIZE_MAX / 2;
    char expected[128];
    snprintf(expected, sizeof expected, "system call for allocation %zu \\(%zXh\\) bytes failed",
             huge, huge);
    EXPECT_EXIT(sys_malloc(huge), ::testing::ExitedWithCode(2), expected);
    if (old) setenv("ASAN_OPTIONS", saved.c_str(), 1);
    else unsetenv("ASAN_OPTIONS");
}

}  // namespace
