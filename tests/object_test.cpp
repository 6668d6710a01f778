// The object model: the area query's order over the grid's cells and the
// recall list's limit. (Removal walks, box tests and which cells hold a box
// are the golden fight's: its sparks, missiles and collisions use them.)
#include <gtest/gtest.h>

#include <vector>

#include "core/realm.h"
#include "world/grid.h"
#include "world/object.h"

namespace {

constexpr int32_t PX = FIXED_ONE;

// Realm memory and an object list that begins with one object, as the map
// loader's placeholder and every loaded map provide.
struct World : ::testing::Test {
    object *first = nullptr;
    void SetUp() override {
        realm_init();
        world_lists_clear();
        grid_forget();
        first = static_cast<object *>(ralloc(RMT_GAME, sizeof(object)));
        *first = object{};
        first->list_node = list_add(&object_list, first, RMT_GAME);
    }
    void TearDown() override {
        world_lists_clear();
        grid_forget();
        realm_shutdown();
    }
    object *box(int32_t x, int32_t y, int32_t w, int32_t h, int32_t kind = OBJ_WALL) {
        object *o = create_object(nullptr);
        o->kind = kind, o->x = x, o->y = y, o->w = w, o->h = h;
        return o;
    }
    void map(int32_t w, int32_t h) {
        map_width = w * PX;
        map_height = h * PX;
        build_grid();
    }
};

struct visit_log {
    std::vector<int32_t> seen;
    bool recall = false;
};

int record_visit(object *o, void *context) {
    auto *log = static_cast<visit_log *>(context);
    if (log->recall && object_was_recalled(o)) return 1;
    log->seen.push_back(o->id);
    return 1;
}

TEST_F(World, AreaQueryVisitsCellsInOrderAndRecallsOnRequest) {
    map(1024, 1024);  // 3 x 3 cells
    object *wide = box(-10 * PX, 100 * PX, 600 * PX, 8 * PX);       // left border, cells (0,0) (0,1)
    object *high = box(520 * PX, 520 * PX, 8 * PX, 8 * PX);         // cell (1,1)
    object *low = box(100 * PX, 100 * PX, 8 * PX, 8 * PX);          // cell (0,0)
    object *ladder = box(530 * PX, 100 * PX, 8 * PX, 8 * PX, OBJ_LADDER);  // per tick, cell (0,1)
    for (object *o : {wide, high, low}) grid_add_fixed(o);
    grid_add_per_tick(ladder);

    object query{};
    query.id = 999999;
    query.x = -5 * PX, query.y = 50 * PX, query.w = 600 * PX, query.h = 500 * PX;
    visit_log log;
    for_objects_near(&query, record_visit, &log);
    // Left border, then row 0 (cells 0 and 1: fixed before per tick), then
    // row 1. A list holds its first entry, then the newest.
    EXPECT_EQ(log.seen, (std::vector<int32_t>{wide->id, wide->id, low->id, wide->id, ladder->id, high->id}));
    EXPECT_EQ(recall_ids[0], query.id);

    visit_log once;
    once.recall = true;
    for_objects_near(&query, record_visit, &once);
    EXPECT_EQ(once.seen, (std::vector<int32_t>{wide->id, low->id, ladder->id, high->id}));
}

TEST_F(World, RecallListHoldsTheQueryAnd1022Others) {
    map(512, 512);
    object query{};
    query.id = 5000000;
    visit_log log;
    for_objects_near(&query, record_visit, &log);
    object o{};
    for (int i = 0; i < 1022; i++) {
        o.id = i + 1;
        ASSERT_EQ(object_was_recalled(&o), 0);
    }
    EXPECT_EQ(object_was_recalled(&o), 1);
    EXPECT_EQ(object_was_recalled(&query), 1);
    o.id = 1023;
    EXPECT_EXIT(object_was_recalled(&o), ::testing::ExitedWithCode(16),
                "sys_exit\\(16\\): object_was_recalled\\(\\): recall list too large");
}

}  // namespace
