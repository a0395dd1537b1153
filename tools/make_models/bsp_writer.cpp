/* bsp_writer.cpp: writes a compiled tree in the game's .bsp text format. */
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "model_geometry.h"

namespace {

/* The game's fixed-point number: 65536 is 1.0. */
long to_fixed(double value) { return std::lround(value * 65536.0); }

/* Rounding every number to fixed must not move a corner off its plane by more than this. */
const double PLANE_TOLERANCE = 0.01;

}  // namespace

bool write_bsp_file(const char *path, const std::vector<TreeNode> &tree)
{
    std::map<std::tuple<long, long, long>, int> vertex_index;
    std::vector<std::tuple<long, long, long>> vertices;
    std::map<std::pair<long, long>, int> texcoord_index;
    std::vector<std::pair<long, long>> texcoords;

    struct NodeRecord {
        int vertex[10], texcoord[10], count;
        long a, b, c, d;
    };
    std::vector<NodeRecord> records;
    for (const TreeNode &node : tree) {
        const Face &face = node.face;
        if (face.corners.size() < 3 || face.corners.size() > 10) {
            std::fprintf(stderr, "%s: a face has %zu corners\n", path, face.corners.size());
            return false;
        }
        NodeRecord record = {};
        record.count = (int)face.corners.size();
        record.a = to_fixed(face.normal.x);
        record.b = to_fixed(face.normal.y);
        record.c = to_fixed(face.normal.z);
        record.d = to_fixed(face.d);
        for (int k = 0; k < record.count; k++) {
            const Corner &corner = face.corners[k];
            auto position = std::make_tuple(to_fixed(corner.p.x), to_fixed(corner.p.y),
                                            to_fixed(corner.p.z));
            // The file counts v from the bottom edge of the skin.
            auto uv = std::make_pair(to_fixed(corner.u / SKIN_SIZE),
                                     to_fixed((SKIN_SIZE - corner.v) / SKIN_SIZE));
            auto [vertex, vertex_new] = vertex_index.emplace(position, (int)vertices.size());
            if (vertex_new)
                vertices.push_back(position);
            auto [texcoord, texcoord_new] = texcoord_index.emplace(uv, (int)texcoords.size());
            if (texcoord_new)
                texcoords.push_back(uv);
            record.vertex[k] = vertex->second;
            record.texcoord[k] = texcoord->second;

            double off = (record.a * (double)std::get<0>(position) +
                          record.b * (double)std::get<1>(position) +
                          record.c * (double)std::get<2>(position)) / (65536.0 * 65536.0) -
                         record.d / 65536.0;
            if (std::fabs(off) > PLANE_TOLERANCE) {
                std::fprintf(stderr, "%s: a corner lies %.4f off its plane\n", path, off);
                return false;
            }
        }
        records.push_back(record);
    }

    FILE *out = std::fopen(path, "w");
    if (!out) {
        std::perror(path);
        return false;
    }
    std::fprintf(out, "%zu\n", tree.size());
    for (size_t i = 0; i < tree.size(); i++) {
        const NodeRecord &r = records[i];
        // The tag carries the skin tile, which helps when reading a file by eye.
        std::fprintf(out, "%d %d %d %d ", tree[i].face.tile, tree[i].front, tree[i].back, r.count);
        for (int k = 0; k < 10; k++)
            std::fprintf(out, "%d ", r.vertex[k]);
        std::fprintf(out, " %ld %ld %ld %ld  ", r.a, r.b, r.c, r.d);
        for (int k = 0; k < 10; k++)
            std::fprintf(out, k < 9 ? "%d " : "%d\n", r.texcoord[k]);
    }
    std::fprintf(out, "%zu\n", vertices.size());
    for (auto &[x, y, z] : vertices)
        std::fprintf(out, "%ld %ld %ld 0 0 0\n", x, y, z);
    std::fprintf(out, "0\n%zu\n", texcoords.size());
    for (auto &[u, v] : texcoords)
        std::fprintf(out, "%ld %ld\n", u, v);
    bool ok = std::fclose(out) == 0;
    if (!ok)
        std::perror(path);
    return ok;
}
