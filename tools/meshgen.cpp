// meshgen: builds the game's mesh files and small text files under data/ from the sprites under assets/.
//
//   meshgen ASSETS DATA            write data/Meshes/*.txt, colours.txt, readmesh80x80.txt, highscore.txt
//   meshgen ASSETS DATA --check    write nothing; report every file that differs from what would be written
//
// Sprites whose name starts with '_' are building blocks for others and are not written.
#include "AssetLib.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Asset;

struct OutFile
{
    std::string path; // relative to the data folder
    std::string text;
};

static bool BuildHighScores(const std::string& src, std::string* out, std::string* err)
{
    std::string text;
    if (!ReadFile(src, &text))
    {
        *err = "cannot read " + src;
        return false;
    }
    // name and score tokens; names are one upper-case word, as the name entry makes them
    std::vector<std::string> tok;
    std::string cur;
    for (char ch : text + " ")
    {
        if (isspace((unsigned char)ch))
        {
            if (!cur.empty()) tok.push_back(cur);
            cur.clear();
        }
        else
            cur += ch;
    }
    if (tok.size() != 10)
    {
        *err = src + ": five entries of a name and a score are needed";
        return false;
    }
    long last = 0x7FFFFFFF;
    for (size_t i = 0; i < tok.size(); i += 2)
    {
        for (char ch : tok[i])
            if (ch < 'A' || ch > 'Z')
            {
                *err = src + ": names are upper-case letters A to Z: " + tok[i];
                return false;
            }
        char* end  = nullptr;
        long score = strtol(tok[i + 1].c_str(), &end, 10);
        if (*end != 0 || score < 0 || score > last)
        {
            *err = src + ": scores are whole meters, best first: " + tok[i + 1];
            return false;
        }
        last = score;
        *out += tok[i] + "\n" + std::to_string(score) + "\n";
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && strcmp(argv[3], "--check") != 0))
    {
        fprintf(stderr, "usage: meshgen ASSETS DATA [--check]\n");
        return 2;
    }
    std::string assets = argv[1], data = argv[2];
    bool check = argc == 4;
    std::string err;
    if (!LoadPalette(assets + "/palette.txt", &err) || !LoadFont(assets + "/font.txt", &err))
    {
        fprintf(stderr, "meshgen: %s\n", err.c_str());
        return 1;
    }
    if (PaletteColours().size() < 30)
    {
        fprintf(stderr, "meshgen: the palette needs at least 30 colours for the mesh editor\n");
        return 1;
    }

    std::vector<OutFile> files;
    std::string spriteDir = assets + "/meshes";
    for (const std::string& f : ListDir(spriteDir, ".sprite"))
    {
        if (f[0] == '_') continue;
        std::string name = f.substr(0, f.size() - 7);
        Mesh mesh;
        if (!BuildSprite(spriteDir, name, &mesh, &err))
        {
            fprintf(stderr, "meshgen: %s\n", err.c_str());
            return 1;
        }
        files.push_back({"Meshes/" + name + ".txt", WriteMesh(mesh)});
        if (!check) fprintf(stderr, "%-28s %5zu triangles\n", (name + ".txt").c_str(), mesh.tris.size());
    }

    std::string colours;
    for (int i = 0; i < 30; ++i)
    {
        char buf[16];
        snprintf(buf, sizeof buf, "0x%08x\n", PaletteColours()[i]);
        colours += buf;
    }
    files.push_back({"Meshes/colours.txt", colours});

    std::string grid = "width: 80\nheight: 80\n";
    for (int r = 0; r < 80; ++r)
        for (int c = 0; c < 80; ++c) grid += c < 79 ? "0 " : "0\n";
    files.push_back({"Meshes/readmesh80x80.txt", grid});

    std::string scores;
    if (!BuildHighScores(assets + "/highscore.txt", &scores, &err))
    {
        fprintf(stderr, "meshgen: %s\n", err.c_str());
        return 1;
    }
    files.push_back({"highscore.txt", scores});

    int differ = 0;
    for (const OutFile& f : files)
    {
        std::string path = data + "/" + f.path;
        if (check)
        {
            std::string old;
            if (!ReadFile(path, &old) || old != f.text)
            {
                fprintf(stderr, "meshgen: %s differs from what the assets give\n", path.c_str());
                ++differ;
            }
        }
        else if (!WriteFile(path, f.text))
        {
            fprintf(stderr, "meshgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    if (check && differ)
    {
        fprintf(stderr, "meshgen: %d file(s) out of date; run `make assets` and commit data/\n", differ);
        return 1;
    }
    return 0;
}
