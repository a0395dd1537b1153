/* models_test.cpp: the nine shipped models are sound trees of outward faces that stand in
   their square, face where their actors go and wear their skin tiles. */
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "render/actor_drawing.h"
#include "render_test_support.h"

namespace {

struct Shipped {
    const char *file;
    double lowest_top, highest_top;    /* the model's top lies this high above its square */
};

const Shipped SHIPPED[MODEL_COUNT] = {
    {"robot.bsp", 45, 56},  {"mibo.bsp", 30, 40},    {"chicken.bsp", 30, 42},
    {"sweet.bsp", 15, 25},  {"jar.bsp", 35, 45},     {"bomb.bsp", 25, 36},
    {"end.bsp", 55, 65},    {"robcr.bsp", 30, 40},   {"robst.bsp", 60, 70},
};

/* Points and directions in the library's float vectors (u, v and c unused). */
V3D_f vec(double x, double y, double z) { return {(float)x, (float)y, (float)z, 0, 0, 0}; }
V3D_f point(fixed x, fixed y, fixed z) { return vec(fixtof(x), fixtof(y), fixtof(z)); }
V3D_f point(const V3D &v) { return point(v.x, v.y, v.z); }
V3D_f operator-(V3D_f a, V3D_f b) { return vec(a.x - b.x, a.y - b.y, a.z - b.z); }
V3D_f operator+(V3D_f a, V3D_f b) { return vec(a.x + b.x, a.y + b.y, a.z + b.z); }
V3D_f operator*(V3D_f a, double s) { return vec(a.x * s, a.y * s, a.z * s); }
float dot(V3D_f a, V3D_f b) { return dot_product_f(a.x, a.y, a.z, b.x, b.y, b.z); }
float length(V3D_f a) { return vector_length_f(a.x, a.y, a.z); }
V3D_f cross(V3D_f a, V3D_f b)
{
    V3D_f c{};
    cross_product_f(a.x, a.y, a.z, b.x, b.y, b.z, &c.x, &c.y, &c.z);
    return c;
}

/* One model read with the game's parser, with its numbers in floats for measuring. */
class Model {
public:
    explicit Model(int slot)
    {
        const std::string path = std::string(TIRVEX_GAME_DIR "/bsp/") + SHIPPED[slot].file;
        FILE *in = std::fopen(path.c_str(), "r");
        const char *error = in ? parse_bsp_model(in, nullptr, &model) : "cannot be opened";
        if (in)
            std::fclose(in);
        if (error)
            fault = path + ": " + error;
        for (int i = 0; i < model.vertex_count; i++) {
            const V3D_f v = point(model.vertices[i]);
            low = vec(std::fmin(low.x, v.x), std::fmin(low.y, v.y), std::fmin(low.z, v.z));
            high = vec(std::fmax(high.x, v.x), std::fmax(high.y, v.y), std::fmax(high.z, v.z));
        }
    }
    ~Model() { free_bsp_model(&model); }

    V3D_f vertex(int node, int k) const { return point(model.vertices[model.nodes[node].vertex_index[k]]); }
    V3D_f normal(int node) const
    {
        const BspPlane &p = model.nodes[node].plane;
        return point(p.a, p.b, p.c);
    }
    double distance(int node, V3D_f p) const { return dot(normal(node), p) - fixtof(model.nodes[node].plane.d); }
    V3D_f centroid(int node) const
    {
        V3D_f sum{};
        for (int k = 0; k < model.nodes[node].vertex_count; k++)
            sum = sum + vertex(node, k);
        return sum * (1.0 / model.nodes[node].vertex_count);
    }
    double area(int node) const
    {
        V3D_f sum{};
        for (int k = 1; k + 1 < model.nodes[node].vertex_count; k++)
            sum = sum + cross(vertex(node, k) - vertex(node, 0), vertex(node, k + 1) - vertex(node, 0));
        return length(sum) / 2;
    }
    /* Calls visit with the index of node and of every node below it. */
    template <class Visit> void walk(const BspNode *node, Visit visit) const
    {
        if (!node)
            return;
        visit((int)(node - model.nodes));
        walk(node->front, visit);
        walk(node->back, visit);
    }

    /* The skin tile all corners of the node's polygon lie in, or -1 when they straddle tiles
       or touch a tile's outermost texel. The corners' mean picks the tile to try. */
    int tile(int node) const
    {
        const BspNode &n = model.nodes[node];
        auto texel = [&](int k) { return model.texcoords[n.texcoord_index[k]]; };
        double mean_u = 0, mean_v = 0;
        for (int k = 0; k < n.vertex_count; k++)
            mean_u += fixtof(texel(k).u) / n.vertex_count, mean_v += fixtof(texel(k).v) / n.vertex_count;
        int column = (int)(mean_u / 32), row = (int)(mean_v / 32);
        for (int k = 0; k < n.vertex_count; k++) {
            double inner_u = fixtof(texel(k).u) - 32 * column, inner_v = fixtof(texel(k).v) - 32 * row;
            if (std::fmin(inner_u, inner_v) < 1 - 1e-3 || std::fmax(inner_u, inner_v) > 31 + 1e-3)
                return -1;
        }
        return column <= 3 && row <= 3 ? 4 * row + column : -1;
    }

    /* Mean of the corners of all polygons painted with the tile. */
    V3D_f tile_centre(int wanted) const
    {
        V3D_f sum{};
        double weight = 0;
        for (int i = 0; i < model.node_count; i++)
            if (tile(i) == wanted)
                sum = sum + centroid(i) * area(i), weight += area(i);
        return weight > 0 ? sum * (1.0 / weight) : vec(1e9, 1e9, 1e9);
    }

    BspModel model = {};
    V3D_f low = vec(1e9, 1e9, 1e9), high = vec(-1e9, -1e9, -1e9);    /* the corners' bounding box */
    std::string fault;
};

/* The first polygon a ray from outside meets must face it, or the viewer would look through a
   skipped back face into the model. Returns the number of rays that meet a back face first. */
int rays_seeing_back_faces(const Model &m, int *rays_cast)
{
    // Directions spread evenly over the sphere (a Fibonacci lattice).
    const int directions = 40;
    int wrong = 0;
    *rays_cast = 0;
    for (int target = 0; target < m.model.node_count; target++) {
        V3D_f aim = m.centroid(target);
        for (int k = 0; k < directions; k++) {
            double y = 1 - 2 * (k + 0.5) / directions, r = std::sqrt(1 - y * y);
            double angle = k * 2.399963;
            V3D_f toward = vec(r * std::cos(angle), y, r * std::sin(angle));
            V3D_f origin = aim + toward * 400.0;
            V3D_f ray = toward * -1.0;
            double nearest = 1e30;
            bool front_at_nearest = false, ambiguous = false;
            for (int i = 0; i < m.model.node_count; i++) {
                V3D_f n = m.normal(i);
                double along = dot(n, ray);
                if (std::fabs(along) < 1e-6)
                    continue;
                double t = -m.distance(i, origin) / along;
                V3D_f hit = origin + ray * t;
                // Inside the convex polygon: on the inner side of every edge.
                const BspNode &node = m.model.nodes[i];
                double margin = 1e9;
                for (int e = 0; e < node.vertex_count; e++) {
                    V3D_f a = m.vertex(i, e), edge = m.vertex(i, (e + 1) % node.vertex_count) - a;
                    margin = std::fmin(margin, dot(cross(edge, hit - a), n) / length(edge));
                }
                if (margin <= -1e-3)
                    continue;
                bool front = along < 0;
                // Coplanar faces meet at one depth; the one facing the eye is drawn.
                if (t < nearest - 0.01)
                    nearest = t, front_at_nearest = front, ambiguous = margin < 1e-3;
                else if (t < nearest + 0.01)
                    front_at_nearest = front_at_nearest || front, ambiguous = ambiguous && margin < 1e-3;
            }
            if (nearest > 1e29 || ambiguous)
                continue;
            (*rays_cast)++;
            wrong += !front_at_nearest;
        }
    }
    return wrong;
}

/* Where a model point ends up, seen from the actor's position, once the actor is drawn with
   y angle angle_y: through the actor drawing's own matrix. */
V3D_f turned(V3D_f p, int angle_y)
{
    Actor actor{};
    actor.angle_y = itofix(angle_y);
    MATRIX matrix;
    actor_matrix(&actor, &matrix);
    fixed x, y, z;
    apply_matrix(&matrix, ftofix(p.x), ftofix(p.y), ftofix(p.z), &x, &y, &z);
    return point(x, y, z);
}

class ShippedModels : public testing::TestWithParam<int> {};

std::string slot_name(const testing::TestParamInfo<int> &info)
{
    std::string file = SHIPPED[info.param].file;
    return file.substr(0, file.find('.'));
}

}  // namespace

TEST_P(ShippedModels, AreTreesOfSmallFlatConvexFacesEachReachedOnceAndSplitByItsParent)
{
    Model m(GetParam());
    ASSERT_TRUE(m.fault.empty()) << m.fault;
    EXPECT_EQ(m.model.root, &m.model.nodes[0]);
    EXPECT_LE(m.model.node_count, 260) << "a low-poly model";
    std::vector<int> reached(m.model.node_count, 0);
    m.walk(m.model.root, [&](int i) { reached[i]++; });
    for (int i = 0; i < m.model.node_count; i++) {
        EXPECT_EQ(reached[i], 1) << "node " << i << " is drawn exactly once";
        const BspNode &node = m.model.nodes[i];
        // Four frustum planes add a corner each and the drawing takes nine at most.
        EXPECT_TRUE(node.vertex_count >= 3 && node.vertex_count <= 5) << "node " << i;
        V3D_f n = m.normal(i);
        EXPECT_NEAR(dot(n, n), 1.0, 1e-3) << "node " << i;
        EXPECT_GT(m.area(i), 0.005) << "node " << i;
        for (int k = 0; k < node.vertex_count; k++) {
            EXPECT_NEAR(m.distance(i, m.vertex(i, k)), 0.0, 0.02)
                << "node " << i << " corner " << k << " off its own plane";
            // Corners turn one way about the normal: convex and wound to match it.
            V3D_f a = m.vertex(i, k), b = m.vertex(i, (k + 1) % node.vertex_count),
                  c = m.vertex(i, (k + 2) % node.vertex_count);
            EXPECT_GT(dot(cross(b - a, c - b), n), -1e-3) << "node " << i << " corner " << k;
        }
        // Front subtrees lie in front of the node's plane, back subtrees behind it.
        for (int side : {1, -1})
            m.walk(side > 0 ? node.front : node.back, [&](int j) {
                for (int k = 0; k < m.model.nodes[j].vertex_count; k++)
                    EXPECT_GT(side * m.distance(i, m.vertex(j, k)), -0.05)
                        << "corner " << k << " of node " << j << " on the wrong side of node " << i;
            });
    }
}

TEST_P(ShippedModels, ShowOnlyOutwardFacesStandInTheirSquareAndWearOneSkinTileAFace)
{
    Model m(GetParam());
    ASSERT_TRUE(m.fault.empty()) << m.fault;
    int rays = 0;
    EXPECT_EQ(rays_seeing_back_faces(m, &rays), 0);
    EXPECT_GT(rays, 10 * m.model.node_count) << "the rays must find the model";

    const Shipped &shipped = SHIPPED[GetParam()];
    const bool floats = std::string(shipped.file) == "sweet.bsp";    // the sweet floats a little
    EXPECT_TRUE(floats ? m.high.y <= -2.0 && m.high.y >= -8.0 : m.high.y == 0.0) << m.high.y;
    EXPECT_TRUE(-m.low.y >= shipped.lowest_top && -m.low.y <= shipped.highest_top) << -m.low.y;
    EXPECT_TRUE(m.low.x >= -50 && m.high.x <= 50 && m.low.z >= -50 && m.high.z <= 50) << "off its square";
    for (int i = 0; i < m.model.node_count; i++)
        EXPECT_GE(m.tile(i), 0) << "node " << i << " straddles tiles or their borders";
}

INSTANTIATE_TEST_SUITE_P(AllNine, ShippedModels, testing::Range(0, (int)MODEL_COUNT), slot_name);

TEST(ShippedModelPoses, CrouchedIsLowerAndWiderStretchedTallerAndThinner)
{
    Model standing(MODEL_PLAYER), crouched(MODEL_PLAYER_CROUCHED),
        stretched(MODEL_PLAYER_STRETCHED);
    ASSERT_TRUE(standing.fault.empty() && crouched.fault.empty() && stretched.fault.empty());
    double height = -standing.low.y, width = standing.high.x - standing.low.x;
    EXPECT_LT(-crouched.low.y, height - 10);
    EXPECT_GT(crouched.high.x - crouched.low.x, width + 4);
    EXPECT_GT(-stretched.low.y, height + 8);
    EXPECT_LT(stretched.high.x - stretched.low.x, width - 4);
}

/* The robot is drawn with angle 64 - h for heading h, which faces grid direction (-sin h, cos h);
   mibos and zippers with angle d for map direction d, which steps (sin d, cos d). Tile 1 of each
   skin (the robot's visor in all three poses, the mibo's face, the zipper's head) must lead. */
TEST(ShippedModelFacing, EveryMovingActorLooksWhereItGoes)
{
    for (int slot : {MODEL_PLAYER, MODEL_PLAYER_CROUCHED, MODEL_PLAYER_STRETCHED, MODEL_MIBO,
                     MODEL_ZIPPER}) {
        const bool robot = slot != MODEL_MIBO && slot != MODEL_ZIPPER;
        Model m(slot);
        ASSERT_TRUE(m.fault.empty()) << m.fault;
        V3D_f lead = m.tile_centre(1);
        V3D_f middle = vec(0, lead.y, 0);
        for (int way : {0, 64, 128, 192}) {
            const int angle = robot ? 64 - way : way;
            V3D_f offset = turned(lead, angle) - turned(middle, angle);
            double a = way * 3.14159265358979 / 128;
            V3D_f ahead = vec(robot ? -std::sin(a) : std::sin(a), 0, std::cos(a));
            EXPECT_GT(dot(offset, ahead), 5.0) << "slot " << slot << " way " << way;
            V3D_f aside = offset - ahead * dot(offset, ahead);
            EXPECT_LT(length(aside), 1.0) << "slot " << slot << " leads off centre";
        }
    }
}
