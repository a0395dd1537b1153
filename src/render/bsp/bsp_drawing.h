/* bsp_drawing.h: drawing a BSP model back to front from the eye's side, back faces skipped. */
#pragma once

#include <allegro.h>

#include "render/bsp/bsp_model.h"
#include "render/clipping.h"

/* Everything the walk of one model needs, fixed for the whole walk. */
struct BspDrawing {
    BITMAP *bitmap;
    MATRIX model_to_camera;       /* M: the object matrix followed by the camera matrix */
    MATRIX rotation;              /* the object matrix without its move: turns plane normals */
    fixed eye_x, eye_y, eye_z;    /* the eye in model space */
    ClipPlane planes[FRUSTUM_PLANES];   /* the frustum in model space */
    int plane_count;              /* 0 when the whole model is in view: nothing is clipped */
    const BspModel *model;
    int colour;                   /* palette index of the faces outside the light-source modes */
    bool shared_corners;          /* corners are turned and projected once per model (set by
                                     prepare_bsp_drawing) */
};

/* Readies a filled-in drawing for its walk: when nothing needs clipping, every corner the walk
   meets is turned into view and projected only once, however many faces share it. Called by
   draw_actor before draw_bsp_node. */
void prepare_bsp_drawing(BspDrawing *drawing);

/* Draws the subtree of node (none draws nothing): the far side of its plane first, then its own
   polygon when it faces the eye, then the near side. Called by draw_actor from node 0. */
void draw_bsp_node(const BspDrawing *drawing, const BspNode *node);

/* Clips, transforms, lights, projects and draws the polygon of one node. */
void draw_bsp_polygon(const BspDrawing *drawing, const BspNode *node);
