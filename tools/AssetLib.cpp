#include "AssetLib.h"
#include "level/Monsters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>

namespace Asset
{

static std::vector<uint32_t> sPalette;
static std::map<char, uint32_t> sPaletteChars;
static std::map<char, std::vector<std::string>> sGlyphs;

static const int GLYPH_W     = 5;
static const int GLYPH_H     = 7;
static const int EDITOR_GRID = 80;

// ---- small text helpers ----------------------------------------------------------------------------------

static std::vector<std::string> SplitTokens(const std::string& line)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size())
    {
        while (i < line.size() && isspace((unsigned char)line[i])) ++i;
        if (i >= line.size()) break;
        if (line[i] == '"')
        {
            size_t j = line.find('"', i + 1);
            if (j == std::string::npos) j = line.size();
            out.push_back(line.substr(i, j - i + 1));
            i = j + 1;
            continue;
        }
        size_t j = i;
        while (j < line.size() && !isspace((unsigned char)line[j])) ++j;
        out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

static std::string StripComment(const std::string& line)
{
    bool inQuote = false;
    for (size_t i = 0; i < line.size(); ++i)
    {
        if (line[i] == '"') inQuote = !inQuote;
        if (line[i] == '#' && !inQuote) return line.substr(0, i);
    }
    return line;
}

static bool ParseHex(const std::string& tok, uint32_t* value)
{
    const char* s = tok.c_str();
    if (tok.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s += 2;
    if (*s == 0) return false;
    char* end       = nullptr;
    unsigned long v = strtoul(s, &end, 16);
    if (*end != 0 || v > 0xFFFFFFFFul) return false;
    *value = (uint32_t)v;
    return true;
}

static bool ParseFloat(const std::string& tok, float* value)
{
    char* end = nullptr;
    *value    = strtof(tok.c_str(), &end);
    return !tok.empty() && *end == 0;
}

bool ReadFile(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    *text = ss.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    return bool(out);
}

std::vector<std::string> ListDir(const std::string& dir, const std::string& suffix)
{
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d))
    {
        std::string n = e->d_name;
        if (n.size() > suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

static std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string cur;
    for (char ch : text)
    {
        if (ch == '\n')
        {
            lines.push_back(cur);
            cur.clear();
        }
        else if (ch != '\r')
            cur += ch;
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

// ---- palette and font ------------------------------------------------------------------------------------

bool LoadPalette(const std::string& path, std::string* err)
{
    std::string text;
    if (!ReadFile(path, &text))
    {
        *err = "cannot read " + path;
        return false;
    }
    sPalette.clear();
    sPaletteChars.clear();
    int lineNo = 0;
    for (const std::string& raw : SplitLines(text))
    {
        ++lineNo;
        std::vector<std::string> tok = SplitTokens(StripComment(raw));
        if (tok.empty()) continue;
        uint32_t c = 0;
        if (tok.size() < 2 || tok[0].size() != 1 || !ParseHex(tok[1], &c) || tok[0] == ".")
        {
            *err = path + ":" + std::to_string(lineNo) + ": expected CHAR 0xAARRGGBB";
            return false;
        }
        if (sPaletteChars.count(tok[0][0]))
        {
            *err = path + ":" + std::to_string(lineNo) + ": character used twice";
            return false;
        }
        sPaletteChars[tok[0][0]] = c;
        sPalette.push_back(c);
    }
    return true;
}

const std::vector<uint32_t>& PaletteColours()
{
    return sPalette;
}

bool PaletteLookup(char ch, uint32_t* colour)
{
    auto it = sPaletteChars.find(ch);
    if (it == sPaletteChars.end()) return false;
    *colour = it->second;
    return true;
}

bool LoadFont(const std::string& path, std::string* err)
{
    std::string text;
    if (!ReadFile(path, &text))
    {
        *err = "cannot read " + path;
        return false;
    }
    sGlyphs.clear();
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const std::string& l = lines[i];
        if (l.compare(0, 6, "glyph ") != 0) continue;
        if (l.size() != 7)
        {
            *err = path + ":" + std::to_string(i + 1) + ": glyph needs one character";
            return false;
        }
        char ch = l[6];
        std::vector<std::string> rows;
        for (int r = 0; r < GLYPH_H; ++r)
        {
            size_t k = i + 1 + r;
            if (k >= lines.size() || lines[k].size() != (size_t)GLYPH_W)
            {
                *err = path + ":" + std::to_string(k + 1) + ": glyph rows are 5 characters";
                return false;
            }
            rows.push_back(lines[k]);
        }
        sGlyphs[ch] = rows;
        i += GLYPH_H;
    }
    return true;
}

static void BitmapInit(Bitmap* bm, int w, int h)
{
    bm->w = w;
    bm->h = h;
    bm->px.assign((size_t)w * h, 0);
}

bool RenderText(const std::string& text, uint32_t ink, int style, uint32_t styleColour, Bitmap* out,
                std::string* err)
{
    int width = 0, glyphW = (style & 4) ? GLYPH_W + 1 : GLYPH_W;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == ' ')
            width += 3;
        else
        {
            if (!sGlyphs.count(text[i]))
            {
                *err = std::string("the font has no glyph '") + text[i] + "'";
                return false;
            }
            width += glyphW;
        }
        if (i + 1 < text.size()) width += 1;
    }
    int margin = (style & 3) == 2 ? 1 : 0;
    int extra  = (style & 3) == 1 ? 1 : 0;
    Bitmap ink1;
    BitmapInit(&ink1, width + 2 * margin + extra, GLYPH_H + 2 * margin + extra);
    int x = margin;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == ' ')
        {
            x += 4;
            continue;
        }
        const std::vector<std::string>& g = sGlyphs[text[i]];
        for (int r = 0; r < GLYPH_H; ++r)
            for (int c = 0; c < GLYPH_W; ++c)
                if (g[r][c] == '#')
                {
                    ink1.px[(size_t)(r + margin) * ink1.w + x + c] = ink;
                    if (style & 4) ink1.px[(size_t)(r + margin) * ink1.w + x + c + 1] = ink; // bold: doubled
                }
        x += glyphW + 1;
    }
    *out = ink1;
    style &= 3;
    if (style == 0) return true;
    for (int y = 0; y < ink1.h; ++y)
        for (int xx = 0; xx < ink1.w; ++xx)
        {
            if (ink1.px[(size_t)y * ink1.w + xx]) continue;
            bool touch = false;
            for (int dy = -1; dy <= 1 && !touch; ++dy)
                for (int dx = -1; dx <= 1 && !touch; ++dx)
                {
                    if (style == 1 && !(dx == -1 && dy == -1)) continue; // shadow: ink up-left of it
                    int sx = xx + dx, sy = y + dy;
                    if (sx >= 0 && sy >= 0 && sx < ink1.w && sy < ink1.h && ink1.px[(size_t)sy * ink1.w + sx])
                        touch = true;
                }
            if (touch) out->px[(size_t)y * ink1.w + xx] = styleColour;
        }
    return true;
}

// ---- meshes ----------------------------------------------------------------------------------------------

std::vector<PixRect> MergeRects(const Bitmap& bm)
{
    std::vector<PixRect> out;
    std::vector<char> used(bm.px.size(), 0);
    auto at = [&](int x, int y) { return (size_t)y * bm.w + x; };
    for (int y = 0; y < bm.h; ++y)
        for (int x = 0; x < bm.w; ++x)
        {
            uint32_t c = bm.px[at(x, y)];
            if (c == 0 || used[at(x, y)]) continue;
            int w = 1;
            while (x + w < bm.w && bm.px[at(x + w, y)] == c && !used[at(x + w, y)]) ++w;
            int h = 1;
            for (;;)
            {
                if (y + h >= bm.h) break;
                bool ok = true;
                for (int k = 0; k < w && ok; ++k)
                    ok = bm.px[at(x + k, y + h)] == c && !used[at(x + k, y + h)];
                if (!ok) break;
                ++h;
            }
            for (int yy = y; yy < y + h; ++yy)
                for (int xx = x; xx < x + w; ++xx) used[at(xx, yy)] = 1;
            out.push_back({x, y, w, h, c});
        }
    return out;
}

void AddRect(std::vector<Tri>* tris, float l, float b, float r, float t, uint32_t c)
{
    tris->push_back({{{l, b, c}, {r, b, c}, {r, t, c}}});
    tris->push_back({{{l, b, c}, {r, t, c}, {l, t, c}}});
}

float TriArea2(const Tri& t)
{
    return (t.v[1].x - t.v[0].x) * (t.v[2].y - t.v[0].y) - (t.v[2].x - t.v[0].x) * (t.v[1].y - t.v[0].y);
}

struct SpriteCtx
{
    std::string dir;
    std::string file;
    std::map<char, uint32_t> local;
    int depth = 0;
};

static bool Fail(const SpriteCtx& ctx, int line, const std::string& msg, std::string* err)
{
    *err = ctx.file + ":" + std::to_string(line) + ": " + msg;
    return false;
}

static bool ParseColour(const SpriteCtx& ctx, const std::string& tok, uint32_t* c)
{
    if (tok.size() == 1)
    {
        auto it = ctx.local.find(tok[0]);
        if (it != ctx.local.end())
        {
            *c = it->second;
            return true;
        }
        return PaletteLookup(tok[0], c);
    }
    return ParseHex(tok, c);
}

// Turns a pixel image placed with its bottom-left corner at (x0, y0) into rectangles and triangles.
// Text ink painted with a colour ramp from the top of the letters to their bottom.
struct InkRamp
{
    uint32_t marker = 0, top = 0, bottom = 0;
};

static uint32_t Lerp(uint32_t a, uint32_t b, float u)
{
    uint32_t c = 0;
    for (int sh = 0; sh <= 24; sh += 8)
    {
        float v = ((a >> sh) & 0xFF) * (1 - u) + ((b >> sh) & 0xFF) * u;
        c |= (uint32_t)std::lround(v) << sh;
    }
    return c;
}

static void EmitBitmap(const Bitmap& bm, double x0, double y0, double pw, double ph, Mesh* out,
                       const InkRamp* ramp = nullptr)
{
    size_t firstTri = out->tris.size();
    for (const PixRect& r : MergeRects(bm))
    {
        float l  = (float)(x0 + r.x * pw);
        float rt = (float)(x0 + (r.x + r.w) * pw);
        float t  = (float)(y0 + (bm.h - r.y) * ph);
        float b  = (float)(y0 + (bm.h - r.y - r.h) * ph);
        AddRect(&out->tris, l, b, rt, t, r.c);
        out->rects.push_back({(l + rt) * 0.5f, (b + t) * 0.5f, rt - l, t - b, r.c});
    }
    if (!ramp) return;
    float bottom = (float)y0, height = (float)(bm.h * ph);
    for (size_t i = firstTri; i < out->tris.size(); ++i)
        for (Vtx& v : out->tris[i].v)
            if (v.c == ramp->marker) v.c = Lerp(ramp->bottom, ramp->top, (v.y - bottom) / height);
}

static bool BuildSpriteRec(SpriteCtx& ctx, const std::string& name, Mesh* out, std::string* err);

static bool Include(const SpriteCtx& parent, int lineNo, const std::vector<std::string>& tok, Mesh* out,
                    std::string* err)
{
    float dx, dy, sc, rot;
    if (tok.size() != 6 || !ParseFloat(tok[2], &dx) || !ParseFloat(tok[3], &dy) || !ParseFloat(tok[4], &sc) ||
        !ParseFloat(tok[5], &rot))
        return Fail(parent, lineNo, "usage: include NAME DX DY SCALE DEGREES", err);
    if (parent.depth > 8) return Fail(parent, lineNo, "includes nest too deep", err);
    SpriteCtx ctx;
    ctx.dir   = parent.dir;
    ctx.depth = parent.depth + 1;
    Mesh sub;
    if (!BuildSpriteRec(ctx, tok[1], &sub, err)) return false;
    double a  = rot * 3.14159265358979 / 180.0;
    double ca = std::cos(a), sa = std::sin(a);
    if (std::fabs(sa) < 1e-9) sa = 0;
    if (std::fabs(ca) < 1e-9) ca = 0;
    for (Tri t : sub.tris)
    {
        for (Vtx& v : t.v)
        {
            double x = v.x * sc, y = v.y * sc;
            v.x = (float)(dx + x * ca - y * sa);
            v.y = (float)(dy + x * sa + y * ca);
        }
        out->tris.push_back(t);
    }
    if (sa == 0)
        for (RectRec r : sub.rects)
        {
            double sx = sc * ca;
            out->rects.push_back({(float)(dx + r.cx * sx), (float)(dy + r.cy * sx),
                                  (float)(r.w * std::fabs(sx)), (float)(r.h * std::fabs(sx)), r.c});
        }
    return true;
}

// "grid X0 Y0 PIXEL [PIXELHEIGHT]", its rows of colour characters up to "end": *pI is the grid's line and
// becomes its end's.
static bool SpriteGrid(const SpriteCtx& ctx, const std::vector<std::string>& lines, size_t* pI,
                       const std::vector<std::string>& tok, Mesh* out, std::string* err)
{
    const size_t i   = *pI;
    const int lineNo = (int)i + 1;
    float x0, y0, pw, ph;
    if ((tok.size() != 4 && tok.size() != 5) || !ParseFloat(tok[1], &x0) || !ParseFloat(tok[2], &y0) ||
        !ParseFloat(tok[3], &pw) || pw <= 0)
        return Fail(ctx, lineNo, "usage: grid X0 Y0 PIXEL [PIXELHEIGHT]", err);
    ph = pw;
    if (tok.size() == 5 && (!ParseFloat(tok[4], &ph) || ph <= 0))
        return Fail(ctx, lineNo, "bad pixel height", err);
    std::vector<std::string> rows;
    size_t k = i + 1;
    for (; k < lines.size(); ++k)
    {
        std::string row = lines[k];
        while (!row.empty() && (row.back() == ' ' || row.back() == '\r')) row.pop_back();
        if (row == "end") break;
        rows.push_back(row);
    }
    if (k >= lines.size()) return Fail(ctx, lineNo, "grid without end", err);
    Bitmap bm;
    size_t w = 0;
    for (const std::string& r : rows) w = std::max(w, r.size());
    BitmapInit(&bm, (int)w, (int)rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
        {
            char ch = rows[r][c];
            if (ch == '.' || ch == ' ') continue;
            uint32_t col;
            if (!ParseColour(ctx, std::string(1, ch), &col))
                return Fail(ctx, (int)(i + 2 + r), std::string("unknown colour '") + ch + "'", err);
            bm.px[r * w + c] = col;
        }
    EmitBitmap(bm, x0, y0, pw, ph, out);
    *pI = k;
    return true;
}

// "rect X0 Y0 X1 Y1 COLOUR"; "vgrad" and "hgrad" with a second colour (at the top, at the right).
static bool SpriteRect(const SpriteCtx& ctx, int lineNo, const std::vector<std::string>& tok, Mesh* out,
                       std::string* err)
{
    const std::string& cmd = tok[0];
    bool grad              = cmd != "rect";
    float l, b, r, t;
    uint32_t c0, c1 = 0;
    if (tok.size() != (grad ? 7u : 6u) || !ParseFloat(tok[1], &l) || !ParseFloat(tok[2], &b) ||
        !ParseFloat(tok[3], &r) || !ParseFloat(tok[4], &t) || !ParseColour(ctx, tok[5], &c0) ||
        (grad && !ParseColour(ctx, tok[6], &c1)) || r <= l || t <= b)
        return Fail(ctx, lineNo, "usage: " + cmd + " X0 Y0 X1 Y1 COLOUR" + (grad ? " COLOUR" : ""), err);
    if (!grad)
    {
        AddRect(&out->tris, l, b, r, t, c0);
        out->rects.push_back({(l + r) * 0.5f, (b + t) * 0.5f, r - l, t - b, c0});
    }
    else
    {
        // vgrad: c0 at the bottom, c1 at the top; hgrad: c0 left, c1 right
        uint32_t lb = c0, rb = cmd == "vgrad" ? c0 : c1, rt = c1, lt = cmd == "vgrad" ? c1 : c0;
        out->tris.push_back({{{l, b, lb}, {r, b, rb}, {r, t, rt}}});
        out->tris.push_back({{{l, b, lb}, {r, t, rt}, {l, t, lt}}});
    }
    return true;
}

// "text CX CY PIXEL INK[/BOTTOM] [bold+]plain|shadow|outline COLOUR "TEXT"": the text in the pixel font.
static bool SpriteText(const SpriteCtx& ctx, int lineNo, const std::vector<std::string>& tok, Mesh* out,
                       std::string* err)
{
    float cx, cy, p;
    uint32_t ink = 0, sc = 0;
    int style = -1;
    InkRamp ramp;
    bool ramped = false;
    if (tok.size() == 8)
    {
        std::string st = tok[5];
        int bold       = st.compare(0, 5, "bold+") == 0 || st == "bold" ? 4 : 0;
        if (st.compare(0, 5, "bold+") == 0) st = st.substr(5);
        if (st == "plain" || st == "bold") style = 0;
        if (st == "shadow") style = 1;
        if (st == "outline") style = 2;
        if (style >= 0) style |= bold;
        // INK may be a ramp TOP/BOTTOM
        size_t slash = tok[4].find('/');
        if (slash != std::string::npos)
        {
            ramped = ParseColour(ctx, tok[4].substr(0, slash), &ramp.top) &&
                     ParseColour(ctx, tok[4].substr(slash + 1), &ramp.bottom);
            if (!ramped) style = -1;
            ramp.marker = 0x01020304u; // no palette colour is this transparent
        }
    }
    if (style < 0 || !ParseFloat(tok[1], &cx) || !ParseFloat(tok[2], &cy) || !ParseFloat(tok[3], &p) ||
        p <= 0 || (!ramped && !ParseColour(ctx, tok[4], &ink)) || !ParseColour(ctx, tok[6], &sc) ||
        tok[7].size() < 2 || tok[7].front() != '"' || tok[7].back() != '"')
        return Fail(ctx, lineNo,
                    "usage: text CX CY PIXEL INK[/BOTTOM] [bold+]plain|shadow|outline COLOUR \"TEXT\"", err);
    if (ramped) ink = ramp.marker;
    Bitmap bm;
    std::string msg;
    if (!RenderText(tok[7].substr(1, tok[7].size() - 2), ink, style, sc, &bm, &msg))
        return Fail(ctx, lineNo, msg, err);
    // keep the letters on the pixel lattice of the surrounding art
    double x0 = std::floor((cx - bm.w * p * 0.5) / p + 0.5) * p;
    double y0 = std::floor((cy - bm.h * p * 0.5) / p + 0.5) * p;
    EmitBitmap(bm, x0, y0, p, p, out, ramped ? &ramp : nullptr);
    return true;
}

static bool BuildSpriteRec(SpriteCtx& ctx, const std::string& name, Mesh* out, std::string* err)
{
    ctx.file = ctx.dir + "/" + name + ".sprite";
    std::string text;
    if (!ReadFile(ctx.file, &text))
    {
        *err = "cannot read " + ctx.file;
        return false;
    }
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i)
    {
        int lineNo                   = (int)i + 1;
        std::vector<std::string> tok = SplitTokens(StripComment(lines[i]));
        if (tok.empty()) continue;
        const std::string& cmd = tok[0];
        if (cmd == "format")
        {
            if (tok.size() != 2) return Fail(ctx, lineNo, "usage: format mesh|rects|flag|editor", err);
            if (tok[1] == "mesh")
                out->format = FORMAT_MESH;
            else if (tok[1] == "rects")
                out->format = FORMAT_RECTS;
            else if (tok[1] == "flag")
                out->format = FORMAT_FLAG;
            else if (tok[1] == "editor")
                out->format = FORMAT_EDITOR;
            else
                return Fail(ctx, lineNo, "unknown format " + tok[1], err);
        }
        else if (cmd == "colour")
        {
            uint32_t c;
            if (tok.size() != 3 || tok[1].size() != 1 || tok[1] == "." || !ParseHex(tok[2], &c))
                return Fail(ctx, lineNo, "usage: colour CHAR 0xAARRGGBB", err);
            ctx.local[tok[1][0]] = c;
        }
        else if (cmd == "grid")
        {
            if (!SpriteGrid(ctx, lines, &i, tok, out, err)) return false;
        }
        else if (cmd == "rect" || cmd == "vgrad" || cmd == "hgrad")
        {
            if (!SpriteRect(ctx, lineNo, tok, out, err)) return false;
        }
        else if (cmd == "tri")
        {
            if (tok.size() != 10) return Fail(ctx, lineNo, "usage: tri X Y C X Y C X Y C", err);
            Tri t;
            for (int v = 0; v < 3; ++v)
                if (!ParseFloat(tok[1 + 3 * v], &t.v[v].x) || !ParseFloat(tok[2 + 3 * v], &t.v[v].y) ||
                    !ParseColour(ctx, tok[3 + 3 * v], &t.v[v].c))
                    return Fail(ctx, lineNo, "bad triangle corner", err);
            float a = TriArea2(t);
            if (std::fabs(a) < 1e-9f) return Fail(ctx, lineNo, "triangle without area", err);
            if (a < 0) std::swap(t.v[1], t.v[2]);
            out->tris.push_back(t);
        }
        else if (cmd == "text")
        {
            if (!SpriteText(ctx, lineNo, tok, out, err)) return false;
        }
        else if (cmd == "include")
        {
            if (!Include(ctx, lineNo, tok, out, err)) return false;
        }
        else
            return Fail(ctx, lineNo, "unknown command " + cmd, err);
    }
    return true;
}

bool BuildSprite(const std::string& spriteDir, const std::string& name, Mesh* out, std::string* err)
{
    SpriteCtx ctx;
    ctx.dir = spriteDir;
    *out    = Mesh();
    if (!BuildSpriteRec(ctx, name, out, err)) return false;
    if (out->format == FORMAT_FLAG && out->rects.size() != 2)
    {
        *err = ctx.file + ": a flag is exactly two rectangles, this one has " +
               std::to_string(out->rects.size());
        return false;
    }
    if (out->tris.empty())
    {
        *err = ctx.file + ": draws nothing";
        return false;
    }
    return true;
}

static std::string Num(float v)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.6g", (double)v + 0.0);
    if (strcmp(buf, "-0") == 0) return "0";
    return buf;
}

static std::string Hex(uint32_t c)
{
    char buf[16];
    snprintf(buf, sizeof buf, "0x%x", c);
    return buf;
}

static bool InsideTri(const Tri& t, float x, float y)
{
    float d0 = (t.v[1].x - t.v[0].x) * (y - t.v[0].y) - (t.v[1].y - t.v[0].y) * (x - t.v[0].x);
    float d1 = (t.v[2].x - t.v[1].x) * (y - t.v[1].y) - (t.v[2].y - t.v[1].y) * (x - t.v[1].x);
    float d2 = (t.v[0].x - t.v[2].x) * (y - t.v[2].y) - (t.v[0].y - t.v[2].y) * (x - t.v[2].x);
    return (d0 >= 0 && d1 >= 0 && d2 >= 0) || (d0 <= 0 && d1 <= 0 && d2 <= 0);
}

std::string WriteMesh(const Mesh& mesh)
{
    std::string s;
    if (mesh.format == FORMAT_RECTS || mesh.format == FORMAT_FLAG)
    {
        for (const RectRec& r : mesh.rects)
            s += Num(r.cx) + " " + Num(r.cy) + " " + Num(r.w) + " " + Num(r.h) + " " + Hex(r.c) + "\n";
        return s;
    }
    if (mesh.format == FORMAT_EDITOR)
    {
        // Sample the art at each cell centre of the editor's grid (the last triangle drawn wins) and write
        // the painted cells in the editor's own export layout: top row first, one token per line.
        for (int r = 0; r < EDITOR_GRID; ++r)
            for (int c = 0; c < EDITOR_GRID; ++c)
            {
                double x0 = (double)c / EDITOR_GRID - 0.5, x1 = x0 + 1.0 / EDITOR_GRID;
                double y0 = 0.5 - (double)r / EDITOR_GRID, y1 = y0 - 1.0 / EDITOR_GRID;
                float mx = (float)((x0 + x1) * 0.5), my = (float)((y0 + y1) * 0.5);
                uint32_t col = 0;
                for (const Tri& t : mesh.tris)
                    if (InsideTri(t, mx, my)) col = t.v[0].c;
                if (col == 0) continue;
                const double vx[6] = {x1, x0, x0, x0, x1, x1};
                const double vy[6] = {y0, y0, y1, y1, y1, y0};
                for (int v = 0; v < 6; ++v)
                    s += Num((float)vx[v]) + "\n" + Num((float)vy[v]) + "\n" + Hex(col) + "\n";
            }
        return s;
    }
    for (const Tri& t : mesh.tris)
    {
        for (int v = 0; v < 3; ++v)
            s += Num(t.v[v].x) + " " + Num(t.v[v].y) + " " + Hex(t.v[v].c) + (v < 2 ? " " : "\n");
    }
    return s;
}

MeshFormat FormatForFile(const std::string& fileName)
{
    for (const MonsterKind& kind : MONSTER_KINDS)
        if (kind.round && fileName == kind.mesh) return FORMAT_RECTS;
    if (fileName == "flagmesh.txt") return FORMAT_FLAG;
    return FORMAT_MESH;
}

std::vector<Tri> ParseMeshText(const std::string& text, MeshFormat format)
{
    std::vector<Tri> tris;
    std::istringstream in(text);
    std::string tok;
    auto readF = [&](float* f) { return bool(in >> tok) && ParseFloat(tok, f); };
    auto readC = [&](uint32_t* c) { return bool(in >> tok) && ParseHex(tok, c); };
    if (format == FORMAT_RECTS || format == FORMAT_FLAG)
    {
        if (format == FORMAT_RECTS)
        {
            const float step   = 0.25132742f;
            const uint32_t red = 0xFF8C2318;
            for (int k = 0; k < 25; ++k)
                tris.push_back({{{0, 0, red},
                                 {0.5f * std::cos(k * step), 0.5f * std::sin(k * step), red},
                                 {0.5f * std::cos((k + 1) * step), 0.5f * std::sin((k + 1) * step), red}}});
        }
        int records = 0;
        for (;;)
        {
            float cx, cy, w, h;
            uint32_t c;
            if (!readF(&cx) || !readF(&cy) || !readF(&w) || !readF(&h) || !readC(&c)) break;
            AddRect(&tris, cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, c);
            if (format == FORMAT_FLAG && ++records == 2) break;
        }
        return tris;
    }
    for (;;)
    {
        Tri t;
        bool ok = true;
        for (int v = 0; v < 3 && ok; ++v) ok = readF(&t.v[v].x) && readF(&t.v[v].y) && readC(&t.v[v].c);
        if (!ok) break;
        tris.push_back(t);
    }
    return tris;
}

// ---- rasteriser ------------------------------------------------------------------------------------------

void CanvasInit(Canvas* cv, int w, int h, uint32_t colour)
{
    cv->w = w;
    cv->h = h;
    cv->px.assign((size_t)w * h, colour | 0xFF000000u);
}

static void Plot(Canvas* cv, int x, int y, uint32_t c, int blend)
{
    if (x < 0 || y < 0 || x >= cv->w || y >= cv->h) return;
    uint32_t& d = cv->px[(size_t)y * cv->w + x];
    float a     = (float)(c >> 24) / 255.0f;
    if (blend == 0) a = 1.0f;
    uint32_t out = 0xFF000000u;
    for (int sh = 0; sh <= 16; sh += 8)
    {
        float s = (float)((c >> sh) & 0xFF), t = (float)((d >> sh) & 0xFF);
        float v = blend == 2 ? t + s * a : t * (1 - a) + s * a;
        out |= (uint32_t)std::min(255.0f, v + 0.5f) << sh;
    }
    d = out;
}

void CanvasFillRect(Canvas* cv, int x0, int y0, int x1, int y1, uint32_t colour)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) Plot(cv, x, y, colour, 1);
}

bool CanvasTri(Canvas* cv, const float xy[6], const uint32_t col[3], int blend)
{
    float area = (xy[2] - xy[0]) * (xy[5] - xy[1]) - (xy[4] - xy[0]) * (xy[3] - xy[1]);
    if (area >= 0) return false; // clockwise on screen (y down), or degenerate
    int minX = std::max(0, (int)std::floor(std::min({xy[0], xy[2], xy[4]})));
    int maxX = std::min(cv->w - 1, (int)std::ceil(std::max({xy[0], xy[2], xy[4]})));
    int minY = std::max(0, (int)std::floor(std::min({xy[1], xy[3], xy[5]})));
    int maxY = std::min(cv->h - 1, (int)std::ceil(std::max({xy[1], xy[3], xy[5]})));
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x)
        {
            float px = x + 0.5f, py = y + 0.5f;
            float w0 = (xy[4] - xy[2]) * (py - xy[3]) - (xy[5] - xy[3]) * (px - xy[2]);
            float w1 = (xy[0] - xy[4]) * (py - xy[5]) - (xy[1] - xy[5]) * (px - xy[4]);
            float w2 = (xy[2] - xy[0]) * (py - xy[1]) - (xy[3] - xy[1]) * (px - xy[0]);
            if (w0 > 0 || w1 > 0 || w2 > 0) continue;
            w0 /= area;
            w1 /= area;
            w2 /= area;
            uint32_t c = 0;
            for (int sh = 0; sh <= 24; sh += 8)
            {
                float v = w0 * ((col[0] >> sh) & 0xFF) + w1 * ((col[1] >> sh) & 0xFF) +
                          w2 * ((col[2] >> sh) & 0xFF);
                c |= (uint32_t)std::min(255.0f, std::max(0.0f, v + 0.5f)) << sh;
            }
            Plot(cv, x, y, c, blend);
        }
    return true;
}

void CanvasMesh(Canvas* cv, const std::vector<Tri>& tris, float ox, float oy, float pxPerUnit, float rot,
                int blend)
{
    float ca = std::cos(rot), sa = std::sin(rot);
    for (const Tri& t : tris)
    {
        float xy[6];
        uint32_t col[3];
        for (int v = 0; v < 3; ++v)
        {
            float x = t.v[v].x * ca - t.v[v].y * sa, y = t.v[v].x * sa + t.v[v].y * ca;
            xy[2 * v]     = ox + x * pxPerUnit;
            xy[2 * v + 1] = oy - y * pxPerUnit;
            col[v]        = t.v[v].c;
        }
        CanvasTri(cv, xy, col, blend);
    }
}

void CanvasText(Canvas* cv, int x, int y, int scale, const std::string& text, uint32_t colour)
{
    for (char ch : text)
    {
        char up = (char)toupper((unsigned char)ch);
        auto it = sGlyphs.find(up);
        if (it != sGlyphs.end())
            for (int r = 0; r < GLYPH_H; ++r)
                for (int c = 0; c < GLYPH_W; ++c)
                    if (it->second[r][c] == '#')
                        CanvasFillRect(cv, x + c * scale, y + r * scale, x + (c + 1) * scale,
                                       y + (r + 1) * scale, colour);
        x += (GLYPH_W + 1) * scale;
    }
}

bool CanvasWritePpm(const Canvas& cv, const std::string& path)
{
    std::string s = "P6\n" + std::to_string(cv.w) + " " + std::to_string(cv.h) + "\n255\n";
    for (uint32_t p : cv.px)
    {
        s += (char)((p >> 16) & 0xFF);
        s += (char)((p >> 8) & 0xFF);
        s += (char)(p & 0xFF);
    }
    return WriteFile(path, s);
}

} // namespace Asset
