/* models_test.cpp: the model file reader (what a good file loads to, and every broken file refused
   with its own message, without a crash), and the nine shipped models: sound trees of outward
   faces that stand in their square, face where their actors go and wear their skin tiles. */
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/datafile.h"
#include "game_test_support.h"
#include "render/actor_drawing.h"
#include "render/bsp/bsp_model.h"
#include "render_test_support.h"

namespace {

/* A square pyramid: a quad base and four triangles; every node is reached from node 0 once,
   node 4 last, as a leaf. Texcoord 0 is (0, 0), 1 is (1.0, 1.0), 2 is (0.5, 0.25). */
const char *const PYRAMID =
    "5\n"
    "9 1 -1 4 0 1 2 3 0 0 0 0 0 0  0 65536 0 0  0 1 2 0 0 0 0 0 0 0\n"
    "1 2 -1 3 0 4 1 0 0 0 0 0 0 0  0 -46341 -46341 0  0 1 2 0 0 0 0 0 0 0\n"
    "2 -1 3 3 1 4 2 0 0 0 0 0 0 0  46341 -46341 0 0  0 1 2 0 0 0 0 0 0 0\n"
    "3 -1 4 3 2 4 3 0 0 0 0 0 0 0  0 -46341 46341 0  0 1 2 0 0 0 0 0 0 0\n"
    "4 -1 -1 3 3 4 0 0 0 0 0 0 0 0  -46341 -46341 0 0  0 1 2 0 0 0 0 0 0 0\n"
    "5\n"
    "-655360 0 -655360 1 2 3\n"
    "655360 0 -655360 0 0 0\n"
    "655360 0 655360 0 0 0\n"
    "-655360 0 655360 0 0 0\n"
    "0 -1310720 0 -7 99999 -1\n"
    "0\n"
    "3\n"
    "0 0\n"
    "65536 65536\n"
    "32768 16384\n";

/* Parses text as a model file through a memory stream. */
const char *parse_text(const std::string &text, BITMAP *texture, BspModel *model)
{
    FILE *in = fmemopen((void *)text.data(), text.size(), "r");
    const char *error = parse_bsp_model(in, texture, model);
    std::fclose(in);
    return error;
}

std::vector<std::string> numbers_of(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> numbers;
    for (std::string word; in >> word;)
        numbers.push_back(word);
    return numbers;
}

/* The numbers joined by the separators, taken in turn. */
std::string joined(const std::vector<std::string> &numbers,
                   const std::vector<std::string> &separators = {" "})
{
    std::string out;
    for (size_t i = 0; i < numbers.size(); i++)
        out += numbers[i] + separators[i % separators.size()];
    return out;
}

/* The pyramid (or a file made from it) with number k (0-based, in file order) replaced by value. */
std::string pyramid_with(size_t k, const std::string &value, const std::string &base = PYRAMID)
{
    std::vector<std::string> numbers = numbers_of(base);
    numbers[k] = value;
    return joined(numbers);
}

/* Positions of numbers in the pyramid: count, then 28 per node, and so on. */
size_t node_field(int node, int field) { return 1 + 28 * node + field; }
const size_t VERTEX_COUNT = 1 + 28 * 5;
const size_t ROOT = VERTEX_COUNT + 1 + 6 * 5;
const size_t TEXCOORD_COUNT = ROOT + 1;

class BspReader : public testing::Test {
protected:
    void SetUp() override
    {
        game_test::start_headless_library();
        texture = create_bitmap_ex(8, 64, 32);
    }
    void TearDown() override
    {
        free_bsp_model(&model);
        destroy_bitmap(texture);
    }
    BITMAP *texture = nullptr;
    BspModel model = {};
};

}  // namespace

TEST_F(BspReader, LoadsTheTreeCornersTexelsAndBoundsHoweverTheNumbersAreSplitOverLines)
{
    // Blank lines after the last record are no fault.
    const std::vector<std::vector<std::string>> layouts = {
        {" "}, {"\n"}, {"\t", "\r\n", "   ", "\n\n \t"}};
    for (const std::vector<std::string> &separators : layouts) {
        free_bsp_model(&model);
        ASSERT_EQ(parse_text(joined(numbers_of(PYRAMID), separators) + "\n\r\n \t\n", texture, &model), nullptr);
        ASSERT_EQ(model.node_count, 5);
        BspNode *n = model.nodes;
        EXPECT_TRUE(model.root == &n[0] && n[0].front == &n[1] && n[0].back == nullptr);
        EXPECT_TRUE(n[2].front == nullptr && n[2].back == &n[3] && n[3].back == &n[4]);
        EXPECT_TRUE(n[4].front == nullptr && n[4].back == nullptr);
        EXPECT_TRUE(n[0].vertex_count == 4 && n[1].vertex_count == 3);
        EXPECT_TRUE(n[2].plane.a == 46341 && n[2].plane.b == -46341 && n[3].plane.c == 46341);
        EXPECT_TRUE(n[2].vertex_index[0] == 1 && n[2].vertex_index[1] == 4 && n[2].vertex_index[2] == 2);
        EXPECT_TRUE(n[0].texcoord_index[1] == 1 && n[0].texcoord_index[2] == 2 && n[0].texcoord_index[3] == 0);
        EXPECT_TRUE(model.vertex_count == 5 && model.vertices[4].y == -1310720);
        // Texcoords become texels of the 64 x 32 texture, v counted from the top.
        ASSERT_EQ(model.texcoord_count, 3);
        EXPECT_TRUE(model.texcoords[0].u == 0 && model.texcoords[0].v == itofix(32));
        EXPECT_TRUE(model.texcoords[1].u == itofix(64) && model.texcoords[1].v == 0);
        EXPECT_TRUE(model.texcoords[2].u == itofix(32) && model.texcoords[2].v == itofix(24));
        // Four base corners at y 0 and the apex at y -20: mean y -4; the apex is farthest, 16 away.
        EXPECT_TRUE(model.centre.x == 0 && model.centre.y == itofix(-4) && model.centre.z == 0);
        EXPECT_NEAR(fixtof(model.radius), 16.0, 1e-4);
    }
}

TEST_F(BspReader, EveryBrokenFileIsRefusedWithItsFault)
{
    std::string pyramid = PYRAMID;
    auto cut_before = [&](const char *text) { return pyramid.substr(0, pyramid.find(text)); };
    auto at_node = [](int node, int field, const char *value) {
        return pyramid_with(node_field(node, field), value);
    };
    // Each fault with files showing it at the edges of what the reader accepts.
    const std::vector<std::pair<const char *, std::vector<std::string>>> cases = {
        {"file ends early", {"", cut_before("46341 -46341 0 0"), cut_before("655360 0 655360 0"),
                             cut_before("0\n3\n0 0"), pyramid.substr(0, pyramid.rfind(" 16384"))}},
        {"node count out of range", {pyramid_with(0, "0"), pyramid_with(0, "2000000000")}},
        {"child index out of range", {at_node(0, 1, "5"), at_node(1, 2, "-2")}},
        {"corner count out of range", {at_node(1, 3, "2"), at_node(1, 3, "11")}},
        {"vertex index out of range", {at_node(2, 6, "5"), at_node(0, 4, "-1")}},
        {"texcoord index out of range", {at_node(4, 20, "3"), at_node(3, 18, "-4")}},
        {"vertex count out of range",
         {pyramid_with(VERTEX_COUNT, "0"), pyramid_with(VERTEX_COUNT, "99999999")}},
        {"root index out of range", {pyramid_with(ROOT, "5"), pyramid_with(ROOT, "-1")}},
        {"texcoord count out of range",
         {pyramid_with(TEXCOORD_COUNT, "-1"), pyramid_with(TEXCOORD_COUNT, "1000000")}},
        {"malformed number", {pyramid_with(3, "front"), pyramid_with(3, "12x"), pyramid_with(3, "-"),
                              pyramid_with(3, "--1"), pyramid_with(VERTEX_COUNT + 1, "1.5")}},
        {"number out of range", {pyramid_with(VERTEX_COUNT + 1, "2147483648")}},
        // A node that is its own child, a leaf pointing back at node 0, a node with two parents.
        {"node reached twice in the tree", {at_node(3, 1, "3"), at_node(4, 2, "0"), at_node(1, 2, "2")}},
        // Mends the fault where a model with more after its last record loaded silently.
        {"text after the last texcoord", {pyramid + "7\n", pyramid + "\n\n  x", pyramid + "0 0"}},
    };
    for (const auto &[expected, texts] : cases) {
        for (const std::string &text : texts) {
            BspModel broken = {};
            const char *fault = parse_text(text, texture, &broken);
            ASSERT_NE(fault, nullptr) << expected << " in\n" << text;
            EXPECT_STREQ(fault, expected) << text;
            // A refused file leaves nothing behind.
            EXPECT_TRUE(!broken.nodes && !broken.vertices && broken.node_count == 0) << text;
        }
    }
}

TEST_F(BspReader, TheRootLineMayNameAnyNodeAndCyclesAreCaughtFromItAndFromNodeZero)
{
    // Cut node 4 off the tree and let it point at itself. Drawing from node 2 never gets there,
    // so the file is usable...
    const std::string cut_off = pyramid_with(node_field(4, 1), "4", pyramid_with(node_field(3, 2), "-1"));
    ASSERT_EQ(parse_text(pyramid_with(ROOT, "2", cut_off), texture, &model), nullptr);
    EXPECT_EQ(model.root, &model.nodes[2]);
    free_bsp_model(&model);
    // ...unless the root line names the looping node.
    EXPECT_STREQ(parse_text(pyramid_with(ROOT, "4", cut_off), texture, &model), "node reached twice in the tree");
    // And a loop through node 0 is caught whatever the root line says.
    const std::string through_zero = pyramid_with(ROOT, "2", pyramid_with(node_field(4, 1), "0"));
    EXPECT_STREQ(parse_text(through_zero, texture, &model), "node reached twice in the tree");
}

namespace {

/* Runs each test inside a private game directory, as the game runs in its own. */
class BspLoading : public game_test::GameDirectoryTest {
protected:
    /* Loads the file in a child process, which must stop the game (no screen: no page to wait
       on); what it left in error.log. */
    std::string fatal_log(const std::string &name)
    {
        EXPECT_EXIT({ screen = nullptr; load_bsp_model(MODEL_JAR, "jar", name.c_str(), nullptr); },
                    testing::ExitedWithCode(1), "");
        return game_test::read_file(dir / "error.log");
    }
};

}  // namespace

TEST_F(BspLoading, AFileThatCannotBeUsedStopsTheGameNamingItAndItsFault)
{
    std::filesystem::create_directory(dir / "bsp");
    std::ofstream("bsp/jar.bsp") << pyramid_with(node_field(2, 6), "77");
    EXPECT_EQ(fatal_log("bsp/jar.bsp"), "Fatal exception: bsp/jar.bsp: vertex index out of range\n\n");
    // A long name is cut with the rest of the message, not overrun.
    const std::string name = "bsp/" + std::string(200, 'm') + ".bsp";
    std::ofstream(name) << "3 junk";
    const std::string log = fatal_log(name);
    EXPECT_TRUE(log.rfind("Fatal exception: bsp/mmm", 0) == 0 && log.size() <= 180) << log;
}

TEST_F(BspLoading, LoadModelsAnnouncesItselfAndFillsAllNineSlotsFromTheGame)
{
    std::filesystem::current_path(TIRVEX_GAME_DIR);
    DATAFILE *saved = Datafile;
    Datafile = nullptr;    // without data every skin is assumed 128 x 128
    testing::internal::CaptureStdout();
    load_models();
    std::string printed = testing::internal::GetCapturedStdout();
    Datafile = saved;
    EXPECT_EQ(printed, "Load BSP models...\n");
    for (int slot = 0; slot < MODEL_COUNT; slot++) {
        EXPECT_GT(model_table[slot].node_count, 10) << slot;
        free_bsp_model(&model_table[slot]);
    }
}

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
