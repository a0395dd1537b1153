/* actor_kinds.h: the one table of the kinds of actor a map may place, by content code. */
#pragma once

#include <cstdint>

#include "world/actor.h"

/* How a kind reads the direction of its square. */
enum KindFacing {
    FACING_NONE = 0,        /* the direction is ignored */
    FACING_READ = 1,        /* read; off the grid is allowed but odd */
    FACING_GRID = 2         /* read, and must be on the grid (the start) */
};

/* What the search keeps of an actor of the kind in a state's hash, besides its squares. */
enum KindSearchKeep {
    KEEP_MOTION = 0,        /* place, state and callbacks; the slide while it slides */
    KEEP_PLACE = 1,         /* its place only: its state is a spin that decides nothing */
    KEEP_SLIDE = 2          /* as KEEP_MOTION, and the slide at rest too: its step is its lane */
};

/* One kind of actor. Plain numbers and texts only, so that every layer may read it; a layer
   above gives meaning to its numbers (the render layer to `type` as a model slot, the editor to `letter`). */
struct ActorKind {
    int32_t content;            /* the content code that places it (MapContent) */
    int32_t type;               /* ActorType: its behaviour and its model slot */
    const char *name;           /* "mibo": the editor's palette, the level checker */
    const char *named;          /* "a mibo": the map checker's sentences */
    char letter;                /* the editor's letter where the icon is missing */
    const char *model;          /* its compiled model, from the game's folder */
    int32_t model_texture;      /* datafile object of the model's texture */
    int32_t map_icon;           /* datafile object of its map-panel icon */
    int32_t cast_place;         /* its place on the cast screen, the n of its [CASTn] text */
    int32_t facing;             /* KindFacing */
    const char *off_grid_note;  /* added to the map checker's off-grid warning, or "" */
    int32_t search_keep;        /* KindSearchKeep */
    int32_t obstacle;           /* 1: stands in the way and can be moved or blown away: the level
                                   checker weighs the level without it, the generator places it */
};

/* One kind per actor type. Content codes 1 .. ACTOR_KIND_COUNT place an actor; 0 places nothing,
   and so does any other code. */
enum { ACTOR_KIND_COUNT = ACTOR_TYPE_COUNT };

/* The kinds, by content code less one. */
extern const ActorKind actor_kinds[ACTOR_KIND_COUNT];

/* Whether content code `content` places an actor. */
inline bool is_actor_content(int32_t content)
{
    return content >= 1 && content <= ACTOR_KIND_COUNT;
}

/* The kind content code `content` places, or nullptr for none. */
inline const ActorKind *actor_kind(int32_t content)
{
    return is_actor_content(content) ? &actor_kinds[content - 1] : nullptr;
}

/* The content code less one of each actor type, by ActorType; the types are 0 .. count - 1. */
struct KindTypeIndex {
    int8_t of[ACTOR_KIND_COUNT];
};
extern const KindTypeIndex kind_type_index;

/* The kind of actor type `type` (ActorType), or nullptr for none. Cheap: the search asks it of
   every actor it hashes. */
inline const ActorKind *kind_of_type(int32_t type)
{
    return type >= 0 && type < ACTOR_KIND_COUNT ? &actor_kinds[kind_type_index.of[type]] : nullptr;
}
