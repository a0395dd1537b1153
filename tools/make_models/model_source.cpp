/* model_source.cpp: reads a model source (the .model files of assets/models) into raw faces.

   A model source is a list of closed solids; the compiler unites their faces into one BSP tree.
   Lines starting with a blank continue the statement above; '#' starts a comment.

     model NAME          the model's name, used in messages
     front AXIS          -x, +x, -z or +z: the model-space direction the actor faces; the tile
                         choices front/back/left/right below are relative to it

     box   at X Y Z  size W H D           a box centred at X Y Z
     hull  at X Y Z  points x y z ...     the convex hull of the points (relative to X Y Z)
     lathe at X Y Z  axis x|y|z  sides N  [turn DEG] [loop] [start=T] [end=T]
           ring R H T ...                 profile rings: radius, offset along the axis, and
                                          the tile of the band up to the next ring
           patch T FROM TO FACETS         facets around angle 0 of bands FROM ... TO-1 show
                                          one picture of tile T (a face on a round body)

   Options of every solid: `rot RX RY RZ` turns it (degrees, about x then y then z) before it
   is moved to X Y Z; `mirror` adds its mirror image across the model's centre plane (the
   plane through the origin across the model's right hand).
   Tiles of boxes and hulls, by where a face points: all=T sides=T front=T back=T left=T
   right=T top=T bottom=T (the most specific wins; left and right are the model's own hands).

   World units: one square is 100; y grows downward, so a model stands on y = 0 and rises
   into negative y. Lathe angle 0 points to the front for a y axis and up for x and z axes.

   Skins are 128 x 128 texels: a 4 x 4 grid of 32 x 32 tiles, tile t at texel column
   32 * (t % 4), row 32 * (t / 4) from the top. Every face, or every group of faces of a patch
   or a cap, gets its whole tile less a one-texel margin, upright for a viewer in front of it
   (on faces looking up or down the tile's top points to the model's front). */
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "solids.h"

namespace {

struct Statement {
    int line;
    std::vector<std::string> words;
};

std::vector<Statement> read_statements(const char *path)
{
    FILE *in = std::fopen(path, "r");
    if (!in)
        fail("%s: cannot open", path);
    std::vector<Statement> statements;
    char text[1024];
    int line = 0;
    while (std::fgets(text, sizeof text, in)) {
        line++;
        if (!std::strchr(text, '\n') && !std::feof(in))
            fail("%s:%d: line too long", path, line);
        if (char *comment = std::strchr(text, '#'))
            *comment = 0;
        std::vector<std::string> words;
        for (char *word = std::strtok(text, " \t\r\n"); word; word = std::strtok(nullptr, " \t\r\n"))
            words.push_back(word);
        if (words.empty())
            continue;
        bool continues = text[0] == ' ' || text[0] == '\t';
        if (continues) {
            if (statements.empty())
                fail("%s:%d: a continuation line with nothing to continue", path, line);
            statements.back().words.insert(statements.back().words.end(), words.begin(),
                                           words.end());
        } else {
            statements.push_back({line, words});
        }
    }
    std::fclose(in);
    return statements;
}

/* Walks the words of one statement; every fault names the file and line. */
struct Cursor {
    const char *path;
    const Statement *statement;
    size_t next;

    bool done() const { return next >= statement->words.size(); }
    const std::string &peek() const { return statement->words[next]; }
    std::string word()
    {
        if (done())
            fail("%s:%d: the statement ends too early", path, statement->line);
        return statement->words[next++];
    }
    bool is_number() const
    {
        if (done())
            return false;
        char *end;
        std::strtod(peek().c_str(), &end);
        return *end == 0 && end != peek().c_str();
    }
    double number()
    {
        std::string w = word();
        char *end;
        double value = std::strtod(w.c_str(), &end);
        if (*end != 0 || end == w.c_str())
            fail("%s:%d: \"%s\" is not a number", path, statement->line, w.c_str());
        return value;
    }
    int integer()
    {
        double value = number();
        if (value != (int)value)
            fail("%s:%d: %g is not a whole number", path, statement->line, value);
        return (int)value;
    }
    Vec3 vector()
    {
        double x = number(), y = number();
        return {x, y, number()};
    }
};

int tile_number(Cursor &cursor, const std::string &text)
{
    char *end;
    long tile = std::strtol(text.c_str(), &end, 10);
    if (*end != 0 || end == text.c_str() || tile < 0 || tile >= TILE_COUNT)
        fail("%s:%d: \"%s\" is not a tile 0 ... 15", cursor.path, cursor.statement->line,
             text.c_str());
    return (int)tile;
}

/* key=value tile choices; returns false when the word is not one. */
bool read_tile_choice(Cursor &cursor, const std::string &word, TileChoice &choice, LatheShape *lathe)
{
    size_t equals = word.find('=');
    if (equals == std::string::npos)
        return false;
    std::string key = word.substr(0, equals);
    int tile = tile_number(cursor, word.substr(equals + 1));
    struct Key {
        const char *name;
        int *slot;
    };
    Key keys[] = {{"all", &choice.all},     {"sides", &choice.sides}, {"front", &choice.front},
                  {"back", &choice.back},   {"left", &choice.left},   {"right", &choice.right},
                  {"top", &choice.top},     {"bottom", &choice.bottom},
                  {"start", lathe ? &lathe->start_tile : nullptr},
                  {"end", lathe ? &lathe->end_tile : nullptr}};
    for (Key &k : keys)
        if (k.slot && key == k.name) {
            *k.slot = tile;
            return true;
        }
    fail("%s:%d: unknown tile choice \"%s\"", cursor.path, cursor.statement->line, key.c_str());
}

void read_solid(ModelSource &model, Cursor &cursor, const std::string &kind)
{
    Vec3 at = {0, 0, 0}, rotation = {0, 0, 0}, size = {0, 0, 0};
    bool mirror = false, have_size = false;
    TileChoice choice = {-1, -1, -1, -1, -1, -1, -1, -1};
    std::vector<Vec3> points;
    LatheShape lathe = {'y', 8, 0, false, {}, -1, -1, {}};
    bool is_lathe = kind == "lathe";
    int line = cursor.statement->line;

    while (!cursor.done()) {
        std::string word = cursor.word();
        if (word == "at") {
            at = cursor.vector();
        } else if (word == "rot") {
            rotation = cursor.vector();
        } else if (word == "mirror") {
            mirror = true;
        } else if (word == "size" && kind == "box") {
            size = cursor.vector();
            have_size = true;
        } else if (word == "points" && kind == "hull") {
            while (cursor.is_number())
                points.push_back(cursor.vector());
        } else if (word == "axis" && is_lathe) {
            std::string axis = cursor.word();
            if (axis != "x" && axis != "y" && axis != "z")
                fail("%s:%d: axis must be x, y or z", cursor.path, line);
            lathe.axis = axis[0];
        } else if (word == "sides" && is_lathe) {
            lathe.sides = cursor.integer();
        } else if (word == "turn" && is_lathe) {
            lathe.turn = cursor.number();
        } else if (word == "loop" && is_lathe) {
            lathe.loop = true;
        } else if (word == "ring" && is_lathe) {
            double r = cursor.number(), h = cursor.number();
            lathe.rings.push_back({r, h, tile_number(cursor, cursor.word())});
        } else if (word == "patch" && is_lathe) {
            int tile = tile_number(cursor, cursor.word());
            int from = cursor.integer(), to = cursor.integer();
            lathe.patches.push_back({tile, from, to, cursor.integer()});
        } else if (!read_tile_choice(cursor, word, choice, is_lathe ? &lathe : nullptr)) {
            fail("%s:%d: unexpected \"%s\"", cursor.path, line, word.c_str());
        }
    }

    size_t first = model.faces.size();
    if (kind == "box") {
        if (!have_size || size.x <= 0 || size.y <= 0 || size.z <= 0)
            fail("%s:%d: a box needs a size with three positive numbers", cursor.path, line);
        for (int k = 0; k < 8; k++)
            points.push_back({(k & 1 ? 0.5 : -0.5) * size.x, (k & 2 ? 0.5 : -0.5) * size.y,
                              (k & 4 ? 0.5 : -0.5) * size.z});
    }
    if (is_lathe) {
        if (const char *error = add_lathe(model, lathe))
            fail("%s:%d: %s", cursor.path, line, error);
    } else if (!add_hull(model, points)) {
        fail("%s:%d: the points span no volume", cursor.path, line);
    }
    place_faces(model, first, rotation, at);
    if (mirror)
        mirror_faces(model, first);
    if (!assign_tiles(model, first, choice))
        fail("%s:%d: a face of this solid has no tile (give all=T)", cursor.path, line);
}

}  // namespace

ModelSource read_model_source(const char *path)
{
    ModelSource model;
    model.name = path;
    model.front = {0, 0, -1};
    model.group_count = 0;
    model.solid_count = 0;
    for (const Statement &statement : read_statements(path)) {
        Cursor cursor = {path, &statement, 0};
        std::string command = cursor.word();
        if (command == "model") {
            model.name = cursor.word();
        } else if (command == "front") {
            std::string axis = cursor.word();
            if (axis == "-x")
                model.front = {-1, 0, 0};
            else if (axis == "+x")
                model.front = {1, 0, 0};
            else if (axis == "-z")
                model.front = {0, 0, -1};
            else if (axis == "+z")
                model.front = {0, 0, 1};
            else
                fail("%s:%d: front must be -x, +x, -z or +z", path, statement.line);
        } else if (command == "box" || command == "hull" || command == "lathe") {
            read_solid(model, cursor, command);
            continue;
        } else {
            fail("%s:%d: unknown statement \"%s\"", path, statement.line, command.c_str());
        }
        if (!cursor.done())
            fail("%s:%d: unexpected \"%s\"", path, statement.line, cursor.peek().c_str());
    }
    if (model.faces.empty())
        fail("%s: the model has no solids", path);
    return model;
}
