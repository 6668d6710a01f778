// The object model: removal walks, box tests at their edges, the grid's cells
// and border cells, the area query's order and the recall list's limit.
#include <gtest/gtest.h>

#include <tuple>
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

std::vector<int32_t> ids_of(list_node *list) {
    std::vector<int32_t> out;
    for (list_node *n = list; n; n = n->next) out.push_back(static_cast<object *>(n->element)->id);
    return out;
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
    objs[2].id = 11;
    objs[4].id = 13;
    list_walk_removing(&list, remove_odd, &removed);
    EXPECT_EQ(list, nullptr);
}

TEST_F(World, BoxTestsAtTheirEdges) {
    map_width = 1000 * PX;
    map_height = 600 * PX;
    // A 10 x 10 box: its far edge exactly 300 pixels left of or below the
    // map is still in, its near edge exactly 250 pixels past it too.
    const struct {
        int32_t x, y;
        bool out;
    } places[] = {{-310 * PX, 0, false}, {-310 * PX - 1, 0, true}, {0, -310 * PX - 1, true},
                  {1250 * PX, 0, false}, {1250 * PX + 1, 0, true}, {0, 850 * PX + 1, true}};
    for (const auto &p : places) {
        object o{};
        o.x = p.x, o.y = p.y, o.w = o.h = 10 * PX;
        EXPECT_EQ(out_of_world(&o), p.out) << p.x << "," << p.y;
    }
    // Boxes that share an edge only do not overlap; one unit more does.
    for (auto [bx, by, overlap] : {std::tuple{10 * PX, 0, false}, {10 * PX - 1, 0, true}, {10 * PX - 1, 10 * PX, false},
                                   {10 * PX - 1, 10 * PX - 1, true}}) {
        object a{}, b{};
        a.w = a.h = b.w = b.h = 10 * PX;
        b.x = bx, b.y = by;
        EXPECT_EQ(boxes_overlap(&a, &b), overlap) << bx << "," << by;
        EXPECT_EQ(boxes_overlap(&b, &a), overlap) << bx << "," << by;
    }
}

bool holds(list_node *list, const object *o) {
    for (list_node *n = list; n; n = n->next)
        if (n->element == o) return true;
    return false;
}

TEST_F(World, GridCellsAndBorderCells) {
    map(512, 1100);  // 2 columns, 3 rows
    EXPECT_EQ(grid_rows, 3);
    object *flush = box(480 * PX, 0, 32 * PX, 16 * PX);  // ends exactly at 512
    object *left_only = box(-40 * PX, 0, 40 * PX, 16 * PX);  // right edge at 0
    object *straddle = box(-8 * PX, 600 * PX, 16 * PX, 16 * PX);
    object *right_edge = box(500 * PX, 300 * PX, 12 * PX, 8 * PX);  // ends at map_width
    object *below = box(100 * PX, -20 * PX, 8 * PX, 20 * PX);  // top at 0
    object *above = box(100 * PX, 1100 * PX, 8 * PX, 8 * PX);
    object *tall = box(10 * PX, 500 * PX, 4 * PX, 800 * PX);  // through the top
    for (object *o : {flush, left_only, straddle, right_edge, below, above, tall}) grid_add_fixed(o);

    // Each box and whether each cell holds it: [row][column], then the
    // left, right, below and above border cells.
    const grid_cell *cells[] = {&grid_row_table[0][0], &grid_row_table[0][1], &grid_row_table[1][0], &grid_row_table[2][0],
                                grid_left, grid_right, grid_below, grid_above};
    const struct {
        const object *o;
        bool in[8];  // (0,0) (0,1) (1,0) (2,0) left right below above
    } want[] = {{flush, {1, 1, 0, 0, 0, 0, 0, 0}},     {left_only, {0, 0, 0, 0, 1, 0, 0, 0}},
                {straddle, {0, 0, 1, 0, 1, 0, 0, 0}},  {right_edge, {1, 1, 0, 0, 0, 0, 0, 0}},
                {below, {0, 0, 0, 0, 0, 0, 1, 0}},     {above, {0, 0, 0, 0, 0, 0, 0, 1}},
                {tall, {1, 0, 1, 1, 0, 0, 0, 1}}};
    for (const auto &w : want)
        for (int c = 0; c < 8; c++) EXPECT_EQ(holds(cells[c]->fixed, w.o), w.in[c]) << "box " << &w - want << " cell " << c;
    // Per-tick entries only for the kinds entered every tick, and gone after
    // the clear while the fixed lists stay.
    object *monster = box(10 * PX, 10 * PX, 8 * PX, 8 * PX, OBJ_MONSTER);
    object *missile = box(10 * PX, 10 * PX, 8 * PX, 8 * PX, OBJ_MISSLE);
    grid_add_per_tick(monster);
    grid_add_per_tick(missile);
    EXPECT_TRUE(holds(grid_row_table[0][0].per_tick, monster));
    EXPECT_FALSE(holds(grid_row_table[0][0].per_tick, missile));
    grid_clear_per_tick();
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
