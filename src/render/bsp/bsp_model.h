/* bsp_model.h: the nine BSP models of the actors, their in-memory records and their loader. */
#pragma once

#include <allegro.h>
#include <cstdio>

#include "world/actor_kinds.h"

enum {
    BSP_MAX_CORNERS = 20,      /* corner slots of a node; a file fills at most BSP_FILE_CORNERS */
    BSP_FILE_CORNERS = 10,
    BSP_MIN_FILE_CORNERS = 3,
    BSP_MAX_NODES = 8192,      /* counts above these are refused as absurd */
    BSP_MAX_VERTICES = 65536,
    BSP_MAX_TEXCOORDS = 65536,
    BSP_SKIN_SIZE = 128,       /* texel size assumed when a model is loaded without a texture */
    MODEL_COUNT = ACTOR_KIND_COUNT + 2
};

/* Model slots: one per actor type, by its number (world/actor_kinds.cpp names the files), then
   the robot's two hop poses. */
enum ModelSlot {
    MODEL_PLAYER = 0,
    MODEL_MIBO = 1,
    MODEL_ZIPPER = 2,
    MODEL_SWEET = 3,
    MODEL_JAR = 4,
    MODEL_MINE = 5,
    MODEL_TELEPORT = 6,
    MODEL_PLAYER_CROUCHED = ACTOR_KIND_COUNT,
    MODEL_PLAYER_STRETCHED = ACTOR_KIND_COUNT + 1
};

/* A splitting plane; a point p lies in front when a*x + b*y + c*z - d >= 0. The normal (a, b, c)
   is a unit vector pointing out of the solid, toward a viewer who sees the node's polygon. */
struct BspPlane {
    fixed a, b, c, d;
};

struct BspNode {
    BspPlane plane;                       /* also the plane of the node's polygon */
    BspNode *front;                       /* subtree in front of the plane, or none */
    BspNode *back;                        /* subtree behind the plane, or none */
    int vertex_index[BSP_MAX_CORNERS];    /* into the model's vertices; corners in order */
    int texcoord_index[BSP_MAX_CORNERS];  /* into the model's texcoords, parallel to vertex_index */
    int vertex_count;                     /* corners of the polygon, 3 ... 10 from a file */
    int tag;                              /* first number of the node's record; not drawn */
};

/* A texture coordinate in texels of the model's texture, v counted from the top. */
struct BspTexcoord {
    fixed u, v;
};

struct BspPoint {
    fixed x, y, z;
};

struct BspModel {
    const char *name;          /* the model's name from the model table */
    BspNode *nodes;            /* the tree's nodes in file order; drawing starts at nodes[0] */
    int node_count;
    BspNode *root;             /* the node named by the file's root line */
    V3D *vertices;             /* model space, y down; u, v, c hold the file's unused fields */
    int vertex_count;
    BspTexcoord *texcoords;    /* never none once loaded (see parse_bsp_model) */
    int texcoord_count;
    BITMAP *texture;           /* the datafile skin the model is painted with */
    BspPoint centre;           /* mean of all vertex positions */
    fixed radius;              /* distance from the centre to the farthest vertex */
};

/* The nine model slots, filled once by load_models and kept for the whole run. */
extern BspModel model_table[MODEL_COUNT];

/* Prints "Load BSP models...\n" to standard output and loads the nine slots in the order
   1, 2, 3, 0, 4, 5, 6, 7, 8 from bsp/, each with its skin from the loaded datafile.
   Called once at start-up after the datafile is loaded. Ends the program through check()
   when a model file is missing or broken. */
void load_models();

/* Fills model_table[slot] from the file at path and stores name and texture in it.
   A file that cannot be opened stops the program through check() with the path as the
   message; a broken file with "<path>: <fault>". A slot outside 0 ... 8 is an internal error. */
void load_bsp_model(int slot, const char *name, const char *path, BITMAP *texture);

/* Reads one model file from in and fills model (all but name and texture). Texcoords are
   converted to texels of texture, or of a BSP_SKIN_SIZE square when texture is none.
   Returns none on success. On any fault returns a fixed text naming it, e.g.
   "vertex index out of range", leaves model empty and frees everything it allocated; it never
   reads past the arrays it made. A file with no texcoords (T = 0) loads with every texcoord
   index pointing at one shared (0, 0) entry, so drawing can never index past the table.
   Used by load_bsp_model, tests and tools. */
const char *parse_bsp_model(FILE *in, BITMAP *texture, BspModel *model);

/* Frees the arrays of a model made by parse_bsp_model and empties it. For tests and tools;
   the game keeps its models until it ends. */
void free_bsp_model(BspModel *model);
