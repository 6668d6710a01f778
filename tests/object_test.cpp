// The object model: lists and their insertion order, object creation, the
// box tests, the grid's cells and border cells, the area query's visiting
// order and the recall list.
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
        first->id = -1;
        first->list_node = list_add(&object_list, first, RMT_GAME);
    }
    void TearDown() override {
        world_lists_clear();
        grid_forget();
        realm_shutdown();
    }
    object *box(int32_t x, int32_t y, int32_t w, int32_t h, int32_t kind = OBJ_WALL) {
        object *o = create_object(nullptr);
        o->kind = kind;
        o->x = x;
        o->y = y;
        o->w = w;
        o->h = h;
        return o;
    }
    void map(int32_t w, int32_t h) {
        map_width = w * PX;
        map_height = h * PX;
        build_grid();
    }
};

std::vector<int32_t> ids_of(list_node *list) {
    std::vector<int32_t> out;
    for (list_node *n = list; n; n = n->next) out.push_back(static_cast<object *>(n->element)->id);
    return out;
}

TEST_F(World, ListsGrowBehindTheirFirstNodeAndUnlinkCleanly) {
    int32_t id = next_object_id;
    object *a = create_object(nullptr);
    object *b = create_object(nullptr);
    object *c = create_object(a);  // made for a: right after it
    EXPECT_EQ(a->id, id);
    EXPECT_EQ(b->id, id + 1);
    EXPECT_EQ(c->id, id + 2);
    EXPECT_EQ(ids_of(object_list), (std::vector<int32_t>{-1, id + 1, id, id + 2}));
    // A new object: no kind yet, one unit in size, weightless, at rest.
    EXPECT_EQ(c->kind, OBJ_WIPE);
    EXPECT_EQ(c->w, 1);
    EXPECT_EQ(c->h, 1);
    EXPECT_EQ(c->weightless, 1);
    EXPECT_EQ(c->owner, nullptr);
    EXPECT_EQ(c->hit_object, nullptr);

    // Unlinking joins the neighbours in both directions.
    EXPECT_EQ(list_unlink(a->list_node), a);
    EXPECT_EQ(ids_of(object_list), (std::vector<int32_t>{-1, id + 1, id + 2}));
    EXPECT_EQ(c->list_node->previous, b->list_node);
    EXPECT_EQ(b->list_node->next, c->list_node);
    EXPECT_EQ(list_unlink(c->list_node), c);
    EXPECT_EQ(b->list_node->next, nullptr);

    // Ids are never reused, whatever was removed.
    EXPECT_EQ(create_object(nullptr)->id, id + 3);
}

bool remove_odd(void *element, void *removed) {
    auto *o = static_cast<object *>(element);
    if (o->id % 2 == 0) return false;
    static_cast<std::vector<int32_t> *>(removed)->push_back(o->id);
    return true;
}

TEST_F(World, WalkWithRemovalMovesTheHeadPastRemovedLeaders) {
    // Ids 1, 3, 4, 5, 6, 7, 9: the odd ones go, the first two while the
    // walk is still at the head.
    std::vector<object> objs(7);
    const int32_t ids[] = {1, 3, 4, 5, 6, 7, 9};
    list_node *list = nullptr;
    list_node *last = nullptr;
    for (int i = 0; i < 7; i++) {
        objs[i].id = ids[i];
        last = last ? list_insert_after(last, &objs[i], RMT_GAME) : list_add(&list, &objs[i], RMT_GAME);
    }
    std::vector<int32_t> removed;
    list_walk_removing(&list, remove_odd, &removed);
    EXPECT_EQ(removed, (std::vector<int32_t>{1, 3, 5, 7, 9}));
    EXPECT_EQ(ids_of(list), (std::vector<int32_t>{4, 6}));
    EXPECT_EQ(list->previous, nullptr);
    EXPECT_EQ(list->next->previous, list);
    EXPECT_EQ(list->next->next, nullptr);
    // Everything removed: the list is empty.
    objs[2].id = 11;
    objs[4].id = 13;
    list_walk_removing(&list, remove_odd, &removed);
    EXPECT_EQ(list, nullptr);
}

TEST_F(World, BoxTestsAtTheirEdges) {
    map_width = 1000 * PX;
    map_height = 600 * PX;
    object o{};
    o.w = 10 * PX;
    o.h = 10 * PX;
    // Left and below: the far edge exactly 300 pixels out is still in.
    o.x = -310 * PX;
    EXPECT_FALSE(out_of_world(&o));
    o.x -= 1;
    EXPECT_TRUE(out_of_world(&o));
    o.x = 0;
    o.y = -310 * PX;
    EXPECT_FALSE(out_of_world(&o));
    o.y -= 1;
    EXPECT_TRUE(out_of_world(&o));
    // Right and above: the near edge exactly 250 pixels past is still in.
    o.y = 0;
    o.x = 1250 * PX;
    EXPECT_FALSE(out_of_world(&o));
    o.x += 1;
    EXPECT_TRUE(out_of_world(&o));
    o.x = 0;
    o.y = 850 * PX;
    EXPECT_FALSE(out_of_world(&o));
    o.y += 1;
    EXPECT_TRUE(out_of_world(&o));

    object a{}, b{};
    a.w = a.h = b.w = b.h = 10 * PX;
    b.x = 10 * PX;  // sharing an edge only
    EXPECT_FALSE(boxes_overlap(&a, &b));
    EXPECT_FALSE(boxes_overlap(&b, &a));
    b.x -= 1;
    EXPECT_TRUE(boxes_overlap(&a, &b));
    EXPECT_TRUE(boxes_overlap(&b, &a));
    b.y = 10 * PX;
    EXPECT_FALSE(boxes_overlap(&a, &b));
    b.y -= 1;
    EXPECT_TRUE(boxes_overlap(&a, &b));
}

bool holds(list_node *list, const object *o) {
    for (list_node *n = list; n; n = n->next)
        if (n->element == o) return true;
    return false;
}

TEST_F(World, GridCellsAndBorderCells) {
    map(512, 1100);  // 2 columns, 3 rows
    EXPECT_EQ(grid_columns, 2);
    EXPECT_EQ(grid_rows, 3);
    object *flush = box(480 * PX, 0, 32 * PX, 16 * PX);  // ends exactly at 512
    object *left_only = box(-40 * PX, 0, 40 * PX, 16 * PX);  // right edge at 0
    object *straddle = box(-8 * PX, 600 * PX, 16 * PX, 16 * PX);
    object *right_edge = box(500 * PX, 300 * PX, 12 * PX, 8 * PX);  // ends at map_width
    object *below = box(100 * PX, -20 * PX, 8 * PX, 20 * PX);  // top at 0
    object *above = box(100 * PX, 1100 * PX, 8 * PX, 8 * PX);
    object *tall = box(10 * PX, 500 * PX, 4 * PX, 800 * PX);  // through the top
    for (object *o : {flush, left_only, straddle, right_edge, below, above, tall}) grid_add_fixed(o);

    EXPECT_TRUE(holds(grid_row_table[0][0].fixed, flush));
    EXPECT_TRUE(holds(grid_row_table[0][1].fixed, flush));
    EXPECT_FALSE(holds(grid_right->fixed, flush));
    EXPECT_TRUE(holds(grid_left->fixed, left_only));
    EXPECT_FALSE(holds(grid_row_table[0][0].fixed, left_only));
    EXPECT_TRUE(holds(grid_left->fixed, straddle));
    EXPECT_TRUE(holds(grid_row_table[1][0].fixed, straddle));
    EXPECT_FALSE(holds(grid_right->fixed, right_edge));
    EXPECT_TRUE(holds(grid_row_table[0][0].fixed, right_edge));
    EXPECT_TRUE(holds(grid_row_table[0][1].fixed, right_edge));
    EXPECT_TRUE(holds(grid_below->fixed, below));
    EXPECT_FALSE(holds(grid_row_table[0][0].fixed, below));
    EXPECT_TRUE(holds(grid_above->fixed, above));
    EXPECT_FALSE(holds(grid_row_table[2][0].fixed, above));
    EXPECT_TRUE(holds(grid_above->fixed, tall));
    for (int r = 0; r < 3; r++) EXPECT_TRUE(holds(grid_row_table[r][0].fixed, tall)) << r;

    // Per-tick entries only for the kinds entered every tick, and gone after
    // the clear while the fixed lists stay.
    object *monster = box(10 * PX, 10 * PX, 8 * PX, 8 * PX, OBJ_MONSTER);
    object *missile = box(10 * PX, 10 * PX, 8 * PX, 8 * PX, OBJ_MISSLE);
    grid_add_per_tick(monster);
    grid_add_per_tick(missile);
    EXPECT_TRUE(holds(grid_row_table[0][0].per_tick, monster));
    EXPECT_FALSE(holds(grid_row_table[0][0].per_tick, missile));
    grid_clear_per_tick();
    EXPECT_EQ(grid_row_table[0][0].per_tick, nullptr);
    EXPECT_EQ(realm_total(RMT_GRID), 0u);
    EXPECT_TRUE(holds(grid_row_table[0][0].fixed, flush));
}

struct visit_log {
    std::vector<int32_t> seen;
    int32_t stop_at = -1;
    bool recall = false;
};

int record_visit(object *o, void *context) {
    auto *log = static_cast<visit_log *>(context);
    if (log->recall && object_was_recalled(o)) return 1;
    log->seen.push_back(o->id);
    return o->id != log->stop_at;
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
    query.x = -5 * PX;
    query.y = 50 * PX;
    query.w = 600 * PX;
    query.h = 500 * PX;
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

    visit_log stop;
    stop.stop_at = low->id;
    for_objects_near(&query, record_visit, &stop);
    EXPECT_EQ(stop.seen, (std::vector<int32_t>{wide->id, wide->id, low->id}));
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
