// Builds the level's tile maps from their drawings: assets/maps/mapN.txt (N = 0 to 10) become
// data/Tilemaps/mapN.txt in the tile editor's format (20 lines of 140 fields; a value of 9 or less gets
// one more space in front; every value is followed by a space).
//
// A drawing is 20 lines of 140 characters, top row first; lines starting with ';' are comments.
//   .  empty            #  terrain tile     S  party start    r  recruit        d  diamond
// and each monster's own character (its glyph in MONSTER_KINDS, src/level/Monsters.h).
//
// usage: mapgen ASSETS_DIR DATA_DIR [--check]
//   --check: write nothing; exit 1 and name the first map whose file differs from its drawing.
#include "level/Monsters.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The map code of a drawing's character, or -1 for a character that stands for nothing.
static int CellValue(char c)
{
    for (const MapGlyph& tile : TILE_GLYPHS)
        if (tile.glyph == c) return tile.code;
    for (const MonsterKind& kind : MONSTER_KINDS)
        if (kind.glyph == c) return kind.code;
    return -1;
}

// The drawing as the map text, or an empty text with a message in *pError.
static std::string Convert(const std::string& path, std::string* pError)
{
    std::ifstream in(path);
    if (!in)
    {
        *pError = path + ": cannot be read";
        return std::string();
    }
    std::vector<std::string> rows;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line))
    {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (int(line.size()) != MAP_WIDTH)
        {
            *pError = path + ":" + std::to_string(lineNo) + ": a row must hold 140 cells";
            return std::string();
        }
        for (int c = 0; c < MAP_WIDTH; ++c)
            if (CellValue(line[c]) < 0)
            {
                *pError = path + ":" + std::to_string(lineNo) + ": unknown cell '" + line[c] + "'";
                return std::string();
            }
        rows.push_back(line);
    }
    if (int(rows.size()) != MAP_HEIGHT)
    {
        *pError = path + ": a map has 20 rows, found " + std::to_string(rows.size());
        return std::string();
    }
    std::string out;
    for (const std::string& row : rows)
    {
        for (char c : row)
        {
            int v = CellValue(c);
            if (v <= 9) out += ' ';
            out += std::to_string(v);
            out += ' ';
        }
        out += '\n';
    }
    return out;
}

int main(int argc, char** argv)
{
    if (argc < 3 || (argc == 4 && strcmp(argv[3], "--check") != 0) || argc > 4)
    {
        fprintf(stderr, "usage: mapgen ASSETS_DIR DATA_DIR [--check]\n");
        return 2;
    }
    bool check = argc == 4;
    for (int k = 0; k < MAP_NUM; ++k)
    {
        std::string error;
        std::string name = "map" + std::to_string(k) + ".txt";
        std::string text = Convert(std::string(argv[1]) + "/maps/" + name, &error);
        if (text.empty())
        {
            fprintf(stderr, "mapgen: %s\n", error.c_str());
            return 1;
        }
        std::string target = std::string(argv[2]) + "/Tilemaps/" + name;
        if (check)
        {
            std::ifstream in(target, std::ios::binary);
            std::stringstream current;
            current << in.rdbuf();
            if (!in || current.str() != text)
            {
                fprintf(stderr, "mapgen: %s differs from its drawing (run make assets)\n", target.c_str());
                return 1;
            }
            continue;
        }
        std::ofstream out(target, std::ios::binary);
        out << text;
        if (!out)
        {
            fprintf(stderr, "mapgen: %s cannot be written\n", target.c_str());
            return 1;
        }
    }
    return 0;
}
