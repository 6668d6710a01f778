// The weapon table, the missile and explosion definitions, the records of
// shots in flight and the direction tables. The game fills them from the
// ".missle" files (weapon_load_game.cpp).
#include "world/weapon.h"

weapon_entry weapons[WEAPON_SLOTS];
missile_definition missile_definitions[MISSILE_TYPES];
explosion_definition explosion_definitions[EXPLOSION_KINDS];
sprite *spark_pictures[SPARK_PICTURES];

object pellet;
missile pellet_missile;
object blast_probe;

list_node *missile_list = nullptr;
list_node *explosion_list = nullptr;
list_node *spark_list = nullptr;

// The numbers are shipped as constants so that no library's cos or sin can
// change the game; a test recomputes them from their radius and angle.
// Rays: radius 140000, start angle 0 (ray 0 right, ray 8 straight up).
const velocity blast_rays[BLAST_RAYS] = {
    {140000, 0}, {137309, 27312}, {129343, 53575}, {116405, 77779},
    {98994, 98994}, {77779, 116405}, {53575, 129343}, {27312, 137309},
    {0, 140000}, {-27312, 137309}, {-53575, 129343}, {-77779, 116405},
    {-98994, 98994}, {-116405, 77779}, {-129343, 53575}, {-137309, 27312},
    {-140000, 0}, {-137309, -27312}, {-129343, -53575}, {-116405, -77779},
    {-98994, -98994}, {-77779, -116405}, {-53575, -129343}, {-27312, -137309},
    {0, -140000}, {27312, -137309}, {53575, -129343}, {77779, -116405},
    {98994, -98994}, {116405, -77779}, {129343, -53575}, {137309, -27312},
};

// Plasma sparks: (140000, 0.03), (130000, 0.35), (137000, pi / 8).
const velocity plasma_sparks[SPARK_PATTERNS][PLASMA_SPARKS] = {
    {{139937, 4199}, {115452, 79188}, {54312, 129035}, {-24071, 137915},
     {-94812, 103007}, {-135451, 35395}, {-133085, -43454}, {-88465, -108507},
     {-15758, -139110}, {61951, -125546}, {119992, -72122}},
    {{122118, 44576}, {78632, 103522}, {10181, 129600}, {-61502, 114531},
     {-113659, 63099}, {-129730, -8366}, {-104613, -77175}, {-46281, -121482},
     {26743, -127219}, {91278, -92565}, {126832, -28521}},
    {{126571, 52427}, {78134, 112534}, {4889, 136912}, {-69906, 117821},
     {-122508, 61323}, {-136215, -14644}, {-106673, -85963}, {-43264, -129989},
     {33880, -132744}, {100269, -93354}, {134823, -24324}},
};

// Shell sparks: (140000, 0.07), (130000, 0.35), (120000, pi / 11).
const velocity shell_sparks[SPARK_PATTERNS][SHELL_SPARKS] = {
    {{139657, 9791}, {79419, 115293}, {-40623, 133976}, {-130075, 51772},
     {-121578, -69417}, {-21530, -138334}, {94730, -103083}},
    {{122118, 44576}, {41288, 123269}, {-70632, 109137}, {-129366, 12822},
     {-90683, -93147}, {16285, -128975}, {110991, -67682}},
    {{115139, 33807}, {45356, 111098}, {-58581, 104729}, {-118405, 19497},
     {-89068, -80416}, {7339, -119775}, {98220, -68940}},
};
