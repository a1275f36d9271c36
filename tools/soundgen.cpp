// soundgen: synthesises the game's sounds from the recipes under assets/sounds into data/Sounds.
//
//   soundgen ASSETS DATA [RECIPE...]     all recipes (*.snd), or only the named ones
//
// A recipe whose output name ends in .mp3 is rendered to WAV and encoded with lame.
#include "AssetLib.h"
#include "Synth.h"

#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

static bool RunLame(const std::string& wav, const std::string& mp3)
{
    std::vector<std::string> args = {"lame", "--quiet", "-m", "m", "-b", "112", "--noreplaygain", wav, mp3};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, "lame", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        fprintf(stderr, "usage: soundgen ASSETS DATA [RECIPE...]\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/sounds", out = std::string(argv[2]) + "/Sounds";
    std::vector<std::string> recipes;
    if (argc > 3)
        for (int i = 3; i < argc; ++i) recipes.push_back(std::string(argv[i]) + ".snd");
    else
        recipes = Asset::ListDir(dir, ".snd");
    for (const std::string& r : recipes)
    {
        std::string text, err, name;
        if (!Asset::ReadFile(dir + "/" + r, &text))
        {
            fprintf(stderr, "soundgen: cannot read %s/%s\n", dir.c_str(), r.c_str());
            return 1;
        }
        std::vector<float> buf;
        float peak;
        if (!Synth::RenderRecipe(text, r, &buf, &name, &peak, &err))
        {
            fprintf(stderr, "soundgen: %s\n", err.c_str());
            return 1;
        }
        Synth::Normalise(&buf, peak);
        bool mp3         = name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0;
        std::string path = out + "/" + name;
        std::string wav  = mp3 ? out + "/.soundgen-" + std::to_string(getpid()) + ".wav" : path;
        if (!Asset::WriteFile(wav, Synth::EncodeWav(buf)))
        {
            fprintf(stderr, "soundgen: cannot write %s\n", wav.c_str());
            return 1;
        }
        if (mp3)
        {
            bool ok = RunLame(wav, path);
            unlink(wav.c_str());
            if (!ok)
            {
                fprintf(stderr, "soundgen: lame could not encode %s (is lame installed?)\n", path.c_str());
                return 1;
            }
        }
        fprintf(stderr, "%-26s %6.2f s\n", name.c_str(), (double)buf.size() / Synth::RATE);
    }
    return 0;
}
