// contactsheet: draws every mesh file of data/Meshes into one picture, each in a tile with its unit square
// and origin marked, followed by two scenes put together as the game places things: a stretch of the
// level (camera zoom 5, 32 x 24 units on screen) and the main menu (160 x 120 units).
//
//   contactsheet ASSETS DATA OUT.ppm
#include "AssetLib.h"
#include "level/Monsters.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace Asset;

static const float PI = 3.14159265f;

// 2D affine transform: x' = a x + c y + tx, y' = b x + d y + ty
struct Mtx
{
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

static Mtx Mul(const Mtx& m, const Mtx& n) // m after n
{
    Mtx r;
    r.a  = m.a * n.a + m.c * n.b;
    r.b  = m.b * n.a + m.d * n.b;
    r.c  = m.a * n.c + m.c * n.d;
    r.d  = m.b * n.c + m.d * n.d;
    r.tx = m.a * n.tx + m.c * n.ty + m.tx;
    r.ty = m.b * n.tx + m.d * n.ty + m.ty;
    return r;
}

// T(x, y) R(rot) S(scale), the instance transform of the game
static Mtx Inst(float x, float y, float rot, float scale)
{
    Mtx m;
    float cs = std::cos(rot) * scale, sn = std::sin(rot) * scale;
    m.a  = cs;
    m.b  = sn;
    m.c  = -sn;
    m.d  = cs;
    m.tx = x;
    m.ty = y;
    return m;
}

static std::map<std::string, std::vector<Tri>> sMeshes;
static int sCulled = 0;

// Draws a mesh under a world transform; the view maps world (-80..80, -60..60) onto the picture area.
static void Draw(Canvas* cv, int ox, int oy, const std::string& name, const Mtx& world, int blend = 0)
{
    auto it = sMeshes.find(name);
    if (it == sMeshes.end()) return;
    for (const Tri& t : it->second)
    {
        float xy[6];
        uint32_t col[3];
        for (int v = 0; v < 3; ++v)
        {
            float x       = world.a * t.v[v].x + world.c * t.v[v].y + world.tx;
            float y       = world.b * t.v[v].x + world.d * t.v[v].y + world.ty;
            xy[2 * v]     = ox + (x + 80.0f) * 5.0f;
            xy[2 * v + 1] = oy + (60.0f - y) * 5.0f;
            col[v]        = t.v[v].c;
        }
        CanvasTri(cv, xy, col, blend);
    }
}

static void DrawTroglin(Canvas* cv, int ox, int oy, const Mtx& cam, float x, float y, float legRot,
                        float armRot)
{
    Mtx body = Mul(cam, Inst(x, y, 0, 2));
    Draw(cv, ox, oy, "herobodymesh", body);
    Draw(cv, ox, oy, "herolegmesh", Mul(body, Inst(0.1f, -0.075f, legRot, 1)));
    Draw(cv, ox, oy, "herolegmesh", Mul(body, Inst(-0.1f, -0.075f, -legRot, 1)));
    Mtx arm = Mul(body, Inst(0.15f, 0.075f, armRot, 1));
    Draw(cv, ox, oy, "heroarmmesh", arm);
    Draw(cv, ox, oy, "heroarmmesh", Mul(body, Inst(-0.15f, 0.075f, 0, 1)));
    Draw(cv, ox, oy, "heroweapon", Mul(arm, Inst(0.2f, -0.2f, -PI / 2, 0.9f)));
}

// A monster of the kind standing in the cell whose centre is (x, cellY), as the game lays it.
static void DrawMonster(Canvas* cv, int ox, int oy, const Mtx& cam, const MonsterKind& kind, float x,
                        float cellY, int power)
{
    const std::string file = kind.mesh;
    Mtx m                  = Mul(cam, Inst(x, cellY + kind.lift, 0, kind.size));
    Draw(cv, ox, oy, file.substr(0, file.size() - 4), m);
    Draw(cv, ox, oy, "new-" + std::to_string(power / 10) + "mesh", Mul(m, Inst(-0.25f, 0.9f, 0, 0.4f)));
    Draw(cv, ox, oy, "new-" + std::to_string(power % 10) + "mesh", Mul(m, Inst(0.25f, 0.9f, 0, 0.4f)));
}

static void LevelScene(Canvas* cv, int ox, int oy)
{
    CanvasFillRect(cv, ox, oy, ox + 800, oy + 600, 0xFF000000);
    Draw(cv, ox, oy, "skymesh", Inst(-80, -130, 0, 120));
    // camera: zoom 5 around (14, 10): the view shows x -2..30, y -2..22
    const float camX = 14, camY = 10;
    Mtx cam = Mul(Inst(0, 0, 0, 5), Inst(-camX, -camY, 0, 1));
    for (int c = -2; c < 31; ++c)
    {
        if (c == 9 || c == 10) continue; // a gap
        Draw(cv, ox, oy, "terrain1mesh", Mul(cam, Inst(c + 0.5f, 0.5f, 0, 1)));
        if (c > 20) Draw(cv, ox, oy, "terrain1mesh", Mul(cam, Inst(c + 0.5f, 1.5f, 0, 1)));
    }
    for (int c = 12; c < 17; ++c) Draw(cv, ox, oy, "terrain1mesh", Mul(cam, Inst(c + 0.5f, 6.5f, 0, 1)));
    // the party: leader in front with the axe lowered, followers carry it raised
    DrawTroglin(cv, ox, oy, cam, 5.5f, 1.5f, 0.3f, 0.0f);
    DrawTroglin(cv, ox, oy, cam, 4.3f, 1.5f, -0.3f, 3.0f);
    DrawTroglin(cv, ox, oy, cam, 3.1f, 2.6f, 0.6f, 2.2f);
    // every kind of monster in the order of the game's table, on the ground and then on the ledge, with the
    // power it has against a party of four; the sheet's tiles show the kinds that find no place here
    const float places[][2] = {{8.0f, 1.5f},  {12.5f, 1.5f}, {15.0f, 1.5f}, {17.5f, 1.5f},
                               {20.0f, 1.5f}, {22.5f, 2.5f}, {25.0f, 2.5f}, {27.5f, 2.5f},
                               {14.5f, 7.5f}, {12.5f, 7.5f}, {16.5f, 7.5f}};
    for (int k = 0; k < MONSTER_KIND_NUM && k < int(sizeof places / sizeof places[0]); ++k)
        DrawMonster(cv, ox, oy, cam, MONSTER_KINDS[k], places[k][0], places[k][1],
                    MonsterPowerFor(MONSTER_KINDS[k], 4));
    Draw(cv, ox, oy, "invulnmesh", Mul(cam, Inst(7.5f, 4.5f, 0, 1)));
    Draw(cv, ox, oy, "flagmesh", Mul(cam, Inst(1.5f, 1.5f, 0, 1)));
    // a thrown axe, its dust trail and some particles (drawn additively, as the game does)
    Draw(cv, ox, oy, "heroweapon", Mul(cam, Inst(9.0f, 8.0f, -PI / 4 - 0.6f, 2)));
    Draw(cv, ox, oy, "starmesh", Mul(cam, Inst(8.0f, 5.2f, 0.3f, 0.4f)), 2);
    Draw(cv, ox, oy, "starmesh", Mul(cam, Inst(6.9f, 4.0f, 0, 0.2f)), 2);
    for (int i = 0; i < 10; ++i)
    {
        float a = i * 2 * PI / 10;
        Draw(cv, ox, oy, "skullheadmesh",
             Mul(cam, Inst(23 + std::cos(a) * 1.2f, 8 + std::sin(a) * 1.2f, 0, 0.8f)), 2);
    }
}

static void MenuScene(Canvas* cv, int ox, int oy)
{
    CanvasFillRect(cv, ox, oy, ox + 800, oy + 600, 0xFF000000);
    Draw(cv, ox, oy, "herobodymesh", Inst(0, 40, 0, 30));
    Draw(cv, ox, oy, "logomesh", Inst(0, 30, 0, 100));
    const char* buttons[6] = {"newplaymesh",   "howtoplaymesh",  "optionsmesh",
                              "highscoremesh", "newcreditsmesh", "newexitmesh"};
    for (int i = 0; i < 6; ++i) Draw(cv, ox, oy, buttons[i], Inst(0, -10.0f * i, 0, i == 1 ? 45.0f : 40.0f));
    Draw(cv, ox, oy, "heroweapon", Inst(31, -9.3f, 0, 20));
    // the how-to-play pictures and the overlay buttons at their own scales, to the sides
    Draw(cv, ox, oy, "fullheromesh", Inst(-60, -30, 0, 10));
    Draw(cv, ox, oy, "darkmagemesh", Inst(-50, -30, 0, 10));
    Draw(cv, ox, oy, "neonbeast2mesh", Inst(-40, -30, 0, 10));
    const char* overlay[6] = {"resumemesh", "restartmesh", "menumesh", "newsoundonmesh", "yesmesh", "nomesh"};
    for (int i = 0; i < 6; ++i) Draw(cv, ox, oy, overlay[i], Inst(58, 10 - 9.0f * i, 0, 30));
}

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        fprintf(stderr, "usage: contactsheet ASSETS DATA OUT.ppm\n");
        return 2;
    }
    std::string err;
    if (!LoadFont(std::string(argv[1]) + "/font.txt", &err))
    {
        fprintf(stderr, "contactsheet: %s\n", err.c_str());
        return 1;
    }
    std::string meshDir = std::string(argv[2]) + "/Meshes";
    std::vector<std::string> names;
    for (const std::string& f : ListDir(meshDir, ".txt"))
    {
        if (f == "colours.txt" || f == "readmesh80x80.txt") continue;
        std::string text;
        ReadFile(meshDir + "/" + f, &text);
        std::string name = f.substr(0, f.size() - 4);
        sMeshes[name]    = ParseMeshText(text, FormatForFile(f));
        names.push_back(name);
    }

    const int TILE = 200, COLS = 8;
    int rows = ((int)names.size() + COLS - 1) / COLS;
    Canvas cv;
    int sheetH = rows * (TILE + 14);
    CanvasInit(&cv, COLS * TILE, sheetH + 610, 0xFF202020);
    for (size_t i = 0; i < names.size(); ++i)
    {
        int tx = (int)(i % COLS) * TILE, ty = (int)(i / COLS) * (TILE + 14);
        const std::vector<Tri>& tris = sMeshes[names[i]];
        float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
        for (const Tri& t : tris)
            for (const Vtx& v : t.v)
            {
                minX = std::min(minX, v.x);
                maxX = std::max(maxX, v.x);
                minY = std::min(minY, v.y);
                maxY = std::max(maxY, v.y);
            }
        // meshes within the unit square (with a margin) share one scale; larger ones are fitted
        float ppu = 150, cx = tx + TILE / 2.0f, cy = ty + TILE / 2.0f;
        if (minX < -0.62f || maxX > 0.62f || minY < -0.62f || maxY > 0.62f)
        {
            ppu = 190.0f / std::max(maxX - minX, maxY - minY);
            cx  = tx + TILE / 2.0f - (minX + maxX) * 0.5f * ppu;
            cy  = ty + TILE / 2.0f + (minY + maxY) * 0.5f * ppu;
        }
        for (int y = 0; y < TILE; y += 10)
            for (int x = 0; x < TILE; x += 10)
                CanvasFillRect(&cv, tx + x, ty + y, tx + x + 10, ty + y + 10,
                               ((x + y) / 10) % 2 ? 0xFF3A3A3A : 0xFF444444);
        // unit square and origin
        int l = (int)(cx - 0.5f * ppu), r = (int)(cx + 0.5f * ppu), t = (int)(cy - 0.5f * ppu),
            b = (int)(cy + 0.5f * ppu);
        CanvasFillRect(&cv, l, t, r, t + 1, 0xFF606080);
        CanvasFillRect(&cv, l, b, r, b + 1, 0xFF606080);
        CanvasFillRect(&cv, l, t, l + 1, b, 0xFF606080);
        CanvasFillRect(&cv, r, t, r + 1, b + 1, 0xFF606080);
        for (const Tri& tr : tris)
        {
            float xy[6];
            uint32_t col[3];
            for (int v = 0; v < 3; ++v)
            {
                xy[2 * v]     = cx + tr.v[v].x * ppu;
                xy[2 * v + 1] = cy - tr.v[v].y * ppu;
                col[v]        = tr.v[v].c;
            }
            if (!CanvasTri(&cv, xy, col, 1))
            {
                ++sCulled;
                fprintf(stderr, "contactsheet: %s has a clockwise triangle\n", names[i].c_str());
            }
        }
        CanvasFillRect(&cv, (int)cx - 4, (int)cy, (int)cx + 5, (int)cy + 1, 0xFFFF00FF);
        CanvasFillRect(&cv, (int)cx, (int)cy - 4, (int)cx + 1, (int)cy + 5, 0xFFFF00FF);
        CanvasText(&cv, tx + 3, ty + TILE + 3, 1, names[i] + " " + std::to_string(tris.size()), 0xFFE0E0E0);
    }
    LevelScene(&cv, 0, sheetH + 5);
    MenuScene(&cv, 800, sheetH + 5);
    if (!CanvasWritePpm(cv, argv[3]))
    {
        fprintf(stderr, "contactsheet: cannot write %s\n", argv[3]);
        return 1;
    }
    return sCulled ? 1 : 0;
}
