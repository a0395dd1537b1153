/* model_geometry.h: the polygons, solids and procedures shared by the model compiler's stages. */
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Vec3 {
    double x, y, z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
/* The vector's length, and the vector scaled to length 1 (a zero vector stays zero). */
double length(Vec3 a);
Vec3 normalised(Vec3 a);

/* World up: y grows downward in model and world space. */
const Vec3 UP = {0, -1, 0};

/* Skins are 128 x 128, a 4 x 4 grid of 32 x 32 tiles. */
constexpr int SKIN_SIZE = 128, TILE_SIZE = 32, TILE_COUNT = 16;

/* The game clips a polygon against four planes (one corner more each) and draws at most nine
   corners, so model faces keep to five. */
constexpr size_t MAX_MODEL_CORNERS = 5;

struct Corner {
    Vec3 p;
    double u, v;    /* texels of the skin, v counted from the top edge */
};

/* One convex polygon. Corners run so that (p1 - p0) x (p2 - p0) points along normal, and the
   normal points out of the solid. */
struct Face {
    std::vector<Corner> corners;
    Vec3 normal;    /* unit */
    double d;       /* plane offset: dot(normal, p) = d on the face */
    int tile;
    int solid;      /* the solid the face came from */
};

/* A face as a solid generator makes it, before the texture is laid on. */
struct RawFace {
    std::vector<Vec3> points;
    Vec3 outward;   /* any vector pointing out of the solid through this face */
    int tile;
    int group;      /* faces of one group share one picture of their tile */
    bool view_set;  /* the group is seen along `view` rather than along its mean normal */
    Vec3 view;
    int solid;      /* faces of one solid share this number */
    bool convex;    /* the solid is convex (a hull or box), so it can hide faces inside it */
};

/* One model source after reading: its faces and the axis its front lies on. */
struct ModelSource {
    std::string name;
    Vec3 front;     /* unit axis the actor's heading points along in model space */
    std::vector<RawFace> faces;
    int group_count;
    int solid_count;
};

/* The compiled tree: nodes in pre-order (the root is node 0). */
struct TreeNode {
    Face face;
    int front, back;    /* node indices or -1 */
};

/* The model's right hand for a model facing `front` with y up being -y. */
Vec3 model_right(Vec3 front);

/* Reads a model source file. Ends the compiler with "path:line: fault" on a bad source. */
ModelSource read_model_source(const char *path);

/* Orients every raw face outward and lays its tile on it. */
std::vector<Face> finish_faces(const ModelSource &source);

/* Splits a convex face into pieces of at most MAX_MODEL_CORNERS corners (on its own plane). */
void limit_corners(const Face &face, std::vector<Face> &out);

/* Points closer than this to a plane count as on it (model units). */
const double ON_PLANE = 0.01;

/* Cuts a face by the plane (normal, d) into the part in front and the part behind; a part of
   no area comes back with no corners. Both keep the face's own plane, tile and solid. */
void split_face(const Face &face, Vec3 normal, double d, Face *front, Face *back);

/* Removes the parts of faces that lie inside another convex solid of the model, where no
   one can see them, as long as what is left of a face takes at most most_fragments pieces
   (0: only faces buried whole), and cuts the result into pieces of at most MAX_MODEL_CORNERS
   corners. */
std::vector<Face> carve_hidden_parts(const std::vector<Face> &faces, const ModelSource &source,
                                     size_t most_fragments);

/* Builds the BSP tree of the faces; returns the nodes in pre-order. */
std::vector<TreeNode> build_bsp_tree(const std::vector<Face> &faces, int *splits);

/* Writes the tree as a .bsp text file. Returns false (and prints why) on failure. */
bool write_bsp_file(const char *path, const std::vector<TreeNode> &tree);

/* Ends the compiler with a message on stderr. */
[[noreturn]] void fail(const char *format, ...) __attribute__((format(printf, 1, 2)));
