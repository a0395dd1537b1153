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

struct Point {
    double x, y, z;
};

Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point operator*(Point a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point cross(Point a, Point b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

/* One model read with the game's parser, with its numbers in doubles for measuring. */
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
    }
    ~Model() { free_bsp_model(&model); }

    static Point point(const V3D &v) { return {fixtof(v.x), fixtof(v.y), fixtof(v.z)}; }
    Point vertex(int node, int k) const { return point(model.vertices[model.nodes[node].vertex_index[k]]); }
    Point normal(int node) const
    {
        const BspPlane &p = model.nodes[node].plane;
        return {fixtof(p.a), fixtof(p.b), fixtof(p.c)};
    }
    double distance(int node, Point p) const { return dot(normal(node), p) - fixtof(model.nodes[node].plane.d); }
    Point centroid(int node) const
    {
        Point sum = {0, 0, 0};
        for (int k = 0; k < model.nodes[node].vertex_count; k++)
            sum = sum + vertex(node, k);
        return sum * (1.0 / model.nodes[node].vertex_count);
    }
    double area(int node) const
    {
        Point sum = {0, 0, 0};
        for (int k = 1; k + 1 < model.nodes[node].vertex_count; k++)
            sum = sum + cross(vertex(node, k) - vertex(node, 0), vertex(node, k + 1) - vertex(node, 0));
        return std::sqrt(dot(sum, sum)) / 2;
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
    Point tile_centre(int wanted) const
    {
        Point sum = {0, 0, 0};
        double weight = 0;
        for (int i = 0; i < model.node_count; i++)
            if (tile(i) == wanted)
                sum = sum + centroid(i) * area(i), weight += area(i);
        return weight > 0 ? sum * (1.0 / weight) : Point{1e9, 1e9, 1e9};
    }

    /* The least and the greatest coordinate on the axis (0 x, 1 y, 2 z). */
    double lowest(int axis) const { return -highest(axis, -1); }
    double highest(int axis, double sign = 1) const
    {
        double best = -1e9;
        for (int i = 0; i < model.vertex_count; i++) {
            const V3D &v = model.vertices[i];
            best = std::fmax(best, sign * fixtof(axis == 0 ? v.x : axis == 1 ? v.y : v.z));
        }
        return best;
    }

    BspModel model = {};
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
        Point aim = m.centroid(target);
        for (int k = 0; k < directions; k++) {
            double y = 1 - 2 * (k + 0.5) / directions, r = std::sqrt(1 - y * y);
            double angle = k * 2.399963;
            Point toward = {r * std::cos(angle), y, r * std::sin(angle)};
            Point origin = aim + toward * 400.0;
            Point ray = toward * -1.0;
            double nearest = 1e30;
            bool front_at_nearest = false, ambiguous = false;
            for (int i = 0; i < m.model.node_count; i++) {
                Point n = m.normal(i);
                double along = dot(n, ray);
                if (std::fabs(along) < 1e-6)
                    continue;
                double t = -m.distance(i, origin) / along;
                Point hit = origin + ray * t;
                // Inside the convex polygon: on the inner side of every edge.
                const BspNode &node = m.model.nodes[i];
                bool inside = true;
                double margin = 1e9;
                for (int e = 0; e < node.vertex_count && inside; e++) {
                    Point a = m.vertex(i, e), b = m.vertex(i, (e + 1) % node.vertex_count);
                    Point edge = b - a;
                    double side = dot(cross(edge, hit - a), n) / std::sqrt(dot(edge, edge));
                    inside = side > -1e-3;
                    margin = std::fmin(margin, side);
                }
                if (!inside)
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
Point turned(Point p, int angle_y)
{
    Actor actor{};
    actor.angle_y = itofix(angle_y);
    MATRIX matrix;
    actor_matrix(&actor, &matrix);
    fixed x, y, z;
    apply_matrix(&matrix, ftofix(p.x), ftofix(p.y), ftofix(p.z), &x, &y, &z);
    return {fixtof(x), fixtof(y), fixtof(z)};
}

class ShippedModels : public testing::TestWithParam<int> {
protected:
    void SetUp() override { start_render_library(); }
};

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
        Point n = m.normal(i);
        EXPECT_NEAR(dot(n, n), 1.0, 1e-3) << "node " << i;
        EXPECT_GT(m.area(i), 0.005) << "node " << i;
        for (int k = 0; k < node.vertex_count; k++) {
            EXPECT_NEAR(m.distance(i, m.vertex(i, k)), 0.0, 0.02)
                << "node " << i << " corner " << k << " off its own plane";
            // Corners turn one way about the normal: convex and wound to match it.
            Point a = m.vertex(i, k), b = m.vertex(i, (k + 1) % node.vertex_count),
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
    EXPECT_TRUE(floats ? m.highest(1) <= -2.0 && m.highest(1) >= -8.0 : m.highest(1) == 0.0) << m.highest(1);
    EXPECT_TRUE(-m.lowest(1) >= shipped.lowest_top && -m.lowest(1) <= shipped.highest_top) << -m.lowest(1);
    for (int axis : {0, 2})
        EXPECT_TRUE(m.lowest(axis) >= -50.0 && m.highest(axis) <= 50.0) << "axis " << axis;
    for (int i = 0; i < m.model.node_count; i++)
        EXPECT_GE(m.tile(i), 0) << "node " << i << " straddles tiles or their borders";
}

INSTANTIATE_TEST_SUITE_P(AllNine, ShippedModels, testing::Range(0, (int)MODEL_COUNT), slot_name);

TEST(ShippedModelPoses, CrouchedIsLowerAndWiderStretchedTallerAndThinner)
{
    Model standing(MODEL_PLAYER), crouched(MODEL_PLAYER_CROUCHED),
        stretched(MODEL_PLAYER_STRETCHED);
    ASSERT_TRUE(standing.fault.empty() && crouched.fault.empty() && stretched.fault.empty());
    double height = -standing.lowest(1), width = standing.highest(0) - standing.lowest(0);
    EXPECT_LT(-crouched.lowest(1), height - 10);
    EXPECT_GT(crouched.highest(0) - crouched.lowest(0), width + 4);
    EXPECT_GT(-stretched.lowest(1), height + 8);
    EXPECT_LT(stretched.highest(0) - stretched.lowest(0), width - 4);
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
        Point lead = m.tile_centre(1);
        Point middle = {0, lead.y, 0};
        for (int way : {0, 64, 128, 192}) {
            const int angle = robot ? 64 - way : way;
            Point offset = turned(lead, angle) - turned(middle, angle);
            double a = way * 3.14159265358979 / 128;
            Point ahead = {robot ? -std::sin(a) : std::sin(a), 0, std::cos(a)};
            EXPECT_GT(dot(offset, ahead), 5.0) << "slot " << slot << " way " << way;
            Point aside = offset - ahead * dot(offset, ahead);
            EXPECT_LT(std::sqrt(dot(aside, aside)), 1.0) << "slot " << slot << " leads off centre";
        }
    }
}
