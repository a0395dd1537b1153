/* actor_kinds.cpp: the one table of the kinds of actor a map may place, by content code. */
#include "world/actor_kinds.h"

#include "base/datafile.h"
#include "base/translation.h"
#include "world/actor.h"
#include "world/map_parser.h"

/* The start is the robot; the jar and the mine share a texture. */
constexpr ActorKind actor_kinds[ACTOR_KIND_COUNT] = {
    {CONTENT_START, ACTOR_PLAYER, "start", N_("the start"), 'P', "bsp/robot.bsp",
     DAT_MODEL_TEXTURE_PLAYER, 15, 0, FACING_GRID, "", KEEP_MOTION, 0},
    {CONTENT_TELEPORT, ACTOR_TELEPORT, "teleport", N_("the teleport"), 'T', "bsp/end.bsp",
     DAT_MODEL_TEXTURE_TELEPORT, 16, 6, FACING_NONE, "", KEEP_PLACE, 0},
    {CONTENT_MIBO, ACTOR_MIBO, "mibo", N_("a mibo"), 'M', "bsp/mibo.bsp", DAT_MODEL_TEXTURE_MIBO, 17, 1,
     FACING_READ, "", KEEP_MOTION, 1},
    {CONTENT_ZIPPER, ACTOR_ZIPPER, "zipper", N_("a zipper"), 'Z', "bsp/chicken.bsp",
     DAT_MODEL_TEXTURE_ZIPPER, 18, 2, FACING_READ, N_(": the zipper stands still for good"),
     KEEP_SLIDE, 1},
    {CONTENT_JAR, ACTOR_JAR, "jar", N_("a jar"), 'J', "bsp/jar.bsp", DAT_MODEL_TEXTURE_JAR, 19, 3,
     FACING_NONE, "", KEEP_MOTION, 1},
    {CONTENT_MINE, ACTOR_MINE, "mine", N_("a mine"), 'X', "bsp/bomb.bsp", DAT_MODEL_TEXTURE_JAR, 20, 4,
     FACING_NONE, "", KEEP_MOTION, 1},
    {CONTENT_SWEET, ACTOR_SWEET, "sweet", N_("a sweet"), 'S', "bsp/sweet.bsp", DAT_MODEL_TEXTURE_SWEET,
     21, 5, FACING_NONE, "", KEEP_MOTION, 0},
};

namespace {

/* A new kind is a row above (and a type in actor.h), with numbers of its own: these
   catch a missing row, a row out of its place, or a map icon that is another object (the icons
   were once the marker's number plus the code, so code 8 would have shown the teleport's). A
   later kind's icon is a new object at the datafile's end, from DAT_LATER_ICON_FIRST. */
constexpr bool rows_in_place()
{
    for (int i = 0; i < ACTOR_KIND_COUNT; i++) {
        const ActorKind &k = actor_kinds[i];
        const bool icon = (k.map_icon >= DAT_MAP_ICON_FIRST && k.map_icon <= DAT_MAP_ICON_LAST) ||
                          (k.map_icon >= DAT_LATER_ICON_FIRST && k.map_icon < DAT_OBJECT_COUNT);
        if (k.content != i + 1 || k.type < 0 || k.type >= ACTOR_KIND_COUNT || !icon ||
            k.cast_place < 0 || k.cast_place >= ACTOR_KIND_COUNT)
            return false;
        for (int j = 0; j < i; j++)
            if (actor_kinds[j].type == actor_kinds[i].type || actor_kinds[j].map_icon == actor_kinds[i].map_icon ||
                actor_kinds[j].cast_place == actor_kinds[i].cast_place)
                return false;
    }
    return true;
}
static_assert(rows_in_place(), "each kind has its own code, type, map icon and cast place; the "
              "types are 0 .. ACTOR_KIND_COUNT - 1");

} // namespace

namespace {

constexpr KindTypeIndex index_types()
{
    KindTypeIndex index{};
    for (int i = 0; i < ACTOR_KIND_COUNT; i++)
        index.of[actor_kinds[i].type] = (int8_t)i;
    return index;
}

} // namespace

constexpr KindTypeIndex kind_type_index = index_types();
