/* bsp_model.cpp: reads the BSP model files into the model table, trusting nothing in them. */
#include "render/bsp/bsp_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/datafile.h"
#include "base/fatal.h"

BspModel model_table[MODEL_COUNT];

namespace {

const char OUT_OF_MEMORY[] = "Out of memory while loading models";

/* Numbers of one node record: tag, front, back, corner count, ten vertex indices, the plane,
   ten texcoord indices. */
enum { NODE_RECORD_NUMBERS = 28, VERTEX_RECORD_NUMBERS = 6 };

/* Shared by every model without texcoords, so their indices always have something to name. */
BspTexcoord no_texcoord = {0, 0};

/* The file is a stream of optionally signed decimal integers; line breaks are only blanks.
   Returns none and fills value, or the fault. */
const char *read_number(FILE *in, long *value)
{
    int c = std::getc(in);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
        c = std::getc(in);
    if (c == EOF)
        return "file ends early";
    int sign = 1;
    if (c == '-' || c == '+') {
        sign = c == '-' ? -1 : 1;
        c = std::getc(in);
    }
    if (c < '0' || c > '9')
        return "malformed number";
    long long magnitude = 0;
    while (c >= '0' && c <= '9') {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL)
            return "number out of range";
        c = std::getc(in);
    }
    if (c != EOF && c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f')
        return "malformed number";
    long long result = sign * magnitude;
    if (result > 2147483647LL)
        return "number out of range";
    *value = (long)result;
    return nullptr;
}

const char *read_count(FILE *in, int limit, int *count, const char *fault)
{
    long value;
    if (const char *error = read_number(in, &value))
        return error;
    if (value < 0 || value > limit)
        return fault;
    *count = (int)value;
    return nullptr;
}

/* Walks the tree from start and fails when any node is reached a second time, so drawing,
   which recurses through front and back, always ends. seen and stack hold node_count each. */
bool tree_is_acyclic(const BspModel *model, int start, unsigned char *seen, int *stack)
{
    std::memset(seen, 0, (size_t)model->node_count);
    int depth = 0;
    stack[depth++] = start;
    while (depth > 0) {
        int index = stack[--depth];
        if (seen[index])
            return false;
        seen[index] = 1;
        const BspNode *node = &model->nodes[index];
        // Every node pushed is seen at most once, so the stack never holds more than
        // node_count entries before a repeat is caught.
        if (node->front) {
            if (depth >= model->node_count)
                return false;
            stack[depth++] = (int)(node->front - model->nodes);
        }
        if (node->back) {
            if (depth >= model->node_count)
                return false;
            stack[depth++] = (int)(node->back - model->nodes);
        }
    }
    return true;
}

const char *read_nodes(FILE *in, BspModel *model, int *children)
{
    for (int i = 0; i < model->node_count; i++) {
        long numbers[NODE_RECORD_NUMBERS];
        for (int k = 0; k < NODE_RECORD_NUMBERS; k++)
            if (const char *error = read_number(in, &numbers[k]))
                return error;
        BspNode *node = &model->nodes[i];
        node->tag = (int)numbers[0];
        for (int side = 0; side < 2; side++) {
            long child = numbers[1 + side];
            if (child < -1 || child >= model->node_count)
                return "child index out of range";
            children[2 * i + side] = (int)child;
        }
        if (numbers[3] < BSP_MIN_FILE_CORNERS || numbers[3] > BSP_FILE_CORNERS)
            return "corner count out of range";
        node->vertex_count = (int)numbers[3];
        for (int k = 0; k < BSP_FILE_CORNERS; k++) {
            node->vertex_index[k] = (int)numbers[4 + k];
            node->texcoord_index[k] = (int)numbers[18 + k];
        }
        node->plane.a = (fixed)numbers[14];
        node->plane.b = (fixed)numbers[15];
        node->plane.c = (fixed)numbers[16];
        node->plane.d = (fixed)numbers[17];
    }
    for (int i = 0; i < model->node_count; i++) {
        int front = children[2 * i], back = children[2 * i + 1];
        model->nodes[i].front = front < 0 ? nullptr : &model->nodes[front];
        model->nodes[i].back = back < 0 ? nullptr : &model->nodes[back];
    }
    return nullptr;
}

const char *read_vertices(FILE *in, BspModel *model)
{
    for (int i = 0; i < model->vertex_count; i++) {
        long numbers[VERTEX_RECORD_NUMBERS];
        for (int k = 0; k < VERTEX_RECORD_NUMBERS; k++)
            if (const char *error = read_number(in, &numbers[k]))
                return error;
        V3D *vertex = &model->vertices[i];
        vertex->x = (fixed)numbers[0];
        vertex->y = (fixed)numbers[1];
        vertex->z = (fixed)numbers[2];
        vertex->u = (fixed)numbers[3];
        vertex->v = (fixed)numbers[4];
        vertex->c = (int)numbers[5];
    }
    return nullptr;
}

void measure_bounds(BspModel *model)
{
    double sum_x = 0, sum_y = 0, sum_z = 0;
    for (int i = 0; i < model->vertex_count; i++) {
        sum_x += fixtof(model->vertices[i].x);
        sum_y += fixtof(model->vertices[i].y);
        sum_z += fixtof(model->vertices[i].z);
    }
    double cx = sum_x / model->vertex_count, cy = sum_y / model->vertex_count,
           cz = sum_z / model->vertex_count;
    model->centre.x = ftofix(cx);
    model->centre.y = ftofix(cy);
    model->centre.z = ftofix(cz);
    // Distances are taken from the centre as stored, in fixed, like the drawing uses it.
    double farthest = -1.0;
    for (int i = 0; i < model->vertex_count; i++) {
        double dx = fixtof(model->vertices[i].x) - fixtof(model->centre.x);
        double dy = fixtof(model->vertices[i].y) - fixtof(model->centre.y);
        double dz = fixtof(model->vertices[i].z) - fixtof(model->centre.z);
        double squared = dx * dx + dy * dy + dz * dz;
        if (squared > farthest)
            farthest = squared;
    }
    model->radius = ftofix(std::sqrt(farthest));
}

const char *read_texcoords(FILE *in, BITMAP *texture, BspModel *model)
{
    if (model->texcoord_count == 0) {
        model->texcoords = &no_texcoord;
        return nullptr;
    }
    model->texcoords = new (std::nothrow) BspTexcoord[model->texcoord_count];
    if (!model->texcoords)
        return OUT_OF_MEMORY;
    int w = texture ? texture->w : BSP_SKIN_SIZE;
    int h = texture ? texture->h : BSP_SKIN_SIZE;
    for (int i = 0; i < model->texcoord_count; i++) {
        long u, v;
        if (const char *error = read_number(in, &u))
            return error;
        if (const char *error = read_number(in, &v))
            return error;
        // The file counts v from the bottom edge; texels count from the top. Absurd values
        // saturate instead of overflowing.
        model->texcoords[i].u = fixmul((fixed)u, itofix(w));
        long long flipped = (long long)itofix(h) - fixmul((fixed)v, itofix(h));
        model->texcoords[i].v = (fixed)std::clamp(flipped, -2147483647LL, 2147483647LL);
    }
    return nullptr;
}

/* Every index a drawing can follow must name an existing entry. */
const char *check_indices(BspModel *model)
{
    for (int i = 0; i < model->node_count; i++) {
        BspNode *node = &model->nodes[i];
        for (int k = 0; k < node->vertex_count; k++)
            if (node->vertex_index[k] < 0 || node->vertex_index[k] >= model->vertex_count)
                return "vertex index out of range";
        for (int k = 0; k < node->vertex_count; k++) {
            if (model->texcoord_count == 0)
                node->texcoord_index[k] = 0;
            else if (node->texcoord_index[k] < 0 ||
                     node->texcoord_index[k] >= model->texcoord_count)
                return "texcoord index out of range";
        }
    }
    return nullptr;
}

const char *parse_into(FILE *in, BITMAP *texture, BspModel *model)
{
    if (const char *error = read_count(in, BSP_MAX_NODES, &model->node_count,
                                       "node count out of range"))
        return error;
    if (model->node_count < 1)
        return "node count out of range";
    model->nodes = new (std::nothrow) BspNode[model->node_count]();
    game_assert(model->nodes != nullptr);

    // Children are kept as indices until all nodes are read, and the same scratch space
    // serves the tree walk afterwards.
    int *scratch = new (std::nothrow) int[2 * model->node_count];
    unsigned char *seen = new (std::nothrow) unsigned char[model->node_count];
    game_assert(scratch != nullptr && seen != nullptr);
    const char *error = read_nodes(in, model, scratch);

    if (!error)
        error = read_count(in, BSP_MAX_VERTICES, &model->vertex_count,
                           "vertex count out of range");
    if (!error && model->vertex_count < 1)
        error = "vertex count out of range";
    if (!error) {
        model->vertices = new (std::nothrow) V3D[model->vertex_count];
        game_assert(model->vertices != nullptr);
        error = read_vertices(in, model);
    }
    if (!error)
        measure_bounds(model);

    int root = 0;
    if (!error) {
        long value;
        error = read_number(in, &value);
        if (!error && (value < 0 || value >= model->node_count))
            error = "root index out of range";
        if (!error)
            root = (int)value;
    }
    if (!error) {
        model->root = &model->nodes[root];
        if (!tree_is_acyclic(model, 0, seen, scratch) ||
            !tree_is_acyclic(model, root, seen, scratch))
            error = "node reached twice in the tree";
    }
    if (!error)
        error = read_count(in, BSP_MAX_TEXCOORDS, &model->texcoord_count,
                           "texcoord count out of range");
    if (!error)
        error = read_texcoords(in, texture, model);
    if (!error)
        error = check_indices(model);
    if (!error) {
        // Anything after the last record means the file is not the model its counts describe.
        int c = std::getc(in);
        while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
            c = std::getc(in);
        if (c != EOF)
            error = "text after the last texcoord";
    }

    delete[] scratch;
    delete[] seen;
    return error;
}

}  // namespace

void free_bsp_model(BspModel *model)
{
    delete[] model->nodes;
    delete[] model->vertices;
    if (model->texcoords != &no_texcoord)
        delete[] model->texcoords;
    *model = BspModel{};
}

const char *parse_bsp_model(FILE *in, BITMAP *texture, BspModel *model)
{
    *model = BspModel{};
    const char *error = parse_into(in, texture, model);
    if (error)
        free_bsp_model(model);
    return error;
}

void load_bsp_model(int slot, const char *name, const char *path, BITMAP *texture)
{
    game_assert(slot >= 0 && slot < MODEL_COUNT);
    BspModel *model = &model_table[slot];
    if (model->nodes)
        free_bsp_model(model);
    FILE *in = std::fopen(path, "r");
    check(in != nullptr, path);
    const char *error = parse_bsp_model(in, texture, model);
    std::fclose(in);
    if (error == OUT_OF_MEMORY)
        check(0, OUT_OF_MEMORY);
    if (error) {
        // The fatal page holds "Fatal exception: %s\n" in 180 characters.
        char message[180 - sizeof "Fatal exception: \n"];
        std::snprintf(message, sizeof message, "%s: %s", path, error);
        check(0, message);
    }
    model->texture = texture;
    model->name = name;
}

void load_models()
{
    struct ModelFile {
        int slot;
        const char *name;
        const char *path;
        int texture;
    };
    // The kinds' models in their types' slots, then the robot's poses.
    static const ModelFile poses[] = {
        {MODEL_PLAYER_CROUCHED, "player", "bsp/robcr.bsp", DAT_MODEL_TEXTURE_PLAYER},
        {MODEL_PLAYER_STRETCHED, "player", "bsp/robst.bsp", DAT_MODEL_TEXTURE_PLAYER},
    };
    static_assert(ACTOR_KIND_COUNT + sizeof poses / sizeof poses[0] == MODEL_COUNT, "a model a slot");
    std::printf("Load BSP models...\n");
    for (const ActorKind &kind : actor_kinds)
        load_bsp_model(kind.type, kind.name, kind.model, (BITMAP *)datafile_object(kind.model_texture));
    for (const ModelFile &file : poses)
        load_bsp_model(file.slot, file.name, file.path, (BITMAP *)datafile_object(file.texture));
}
