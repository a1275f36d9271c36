// Faults of the disk under the editors' files (the table's: the high-score tests): each writer says why it
// failed, and the file it would have replaced stays whole, with no temporary file left beside it.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "Scenario.h"
#include "framework/CommonLevel.h"
#include "level/Terrain.h"
#include "platform/PlatFiles.h"
#include "states/GameState_Mesheditor.h"
#include "states/GameState_TileEditor.h"

namespace
{

// A writer of the file at path (empty on success, otherwise why not); or a fault set up around the file at
// path (which holds "old"), giving the path to write.
using Step = std::function<std::string(const std::string& path)>;
rlimit sFileLimit; // the file size limit that the full disk's row lowers

TEST(SaveFaults, EveryWriterKeepsTheOldFileAndSaysWhy)
{
    Scenario::TempDir dir;
    static int cells[MAP_CELLS];
    cells[5] = 26;
    ASSERT_TRUE(Scenario::WriteFile(dir / "grid.txt", "width: 2\nheight: 1\n1 0"));
    ASSERT_TRUE(MeshEditorReadGrid((dir / "grid.txt").c_str()));

    const std::pair<const char*, Step> writers[] = {
        {"tile map", [](const std::string& path) { return TileEditorWriteMap(path.c_str(), cells); }},
        {"mesh export", [](const std::string& path) { return MeshEditorExport(path.c_str()); }},
    };
    const std::tuple<const char*, Step, std::string> faults[] = {
        // and what the writer says
        {"full disk", // no byte beyond the first fits: each write fails as on a full disk
         [](const std::string& path)
         {
             rlimit one = {1, RLIM_INFINITY};
             return signal(SIGXFSZ, SIG_IGN), getrlimit(RLIMIT_FSIZE, &sFileLimit),
                    setrlimit(RLIMIT_FSIZE, &one), path;
         },
         strerror(EFBIG)},
        {"folder in the way",
         [](const std::string& path) { return unlink(path.c_str()), mkdir(path.c_str(), 0700), path; }, ""},
        {"read-only file", [](const std::string& path) { return chmod(path.c_str(), 0444), path; },
         "it is read-only"},
        {"a file where the folder belongs", [](const std::string& path) { return path + "/highscore.txt"; },
         strerror(ENOTDIR)},
    };
    for (const auto& [writer, write] : writers)
        for (const auto& [fault, make, said] : faults)
        {
            Scenario::TempDir sub;
            ASSERT_TRUE(Scenario::WriteFile(sub / "highscore.txt", "old"));
            std::string path = make(sub / "highscore.txt");
            std::string why  = write(path);
            setrlimit(RLIMIT_FSIZE, &sFileLimit);
            EXPECT_TRUE(!why.empty() && why.size() >= said.size() &&
                        why.compare(why.size() - said.size(), said.size(), said) == 0)
                << writer << ", " << fault << ": " << why;
            struct stat st;
            EXPECT_TRUE(stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode) ||
                        Scenario::ReadFile(path) == "old")
                << writer << ", " << fault;
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub.path), {}), 1) << writer << fault;
        }
    // An export of a grid with nothing painted, or of one too large for the game to read back (about
    // 190 MB), keeps the mesh it would have replaced.
    ASSERT_TRUE(Scenario::WriteFile(dir / "out.txt", "0 0 0xff 1 0 0xff 1 1 0xff\n"));
    std::string full = "width: 1024\nheight: 1024\n";
    for (int i = 0; i < 1024 * 1024; ++i) full += "1 ";
    for (const std::string& grid : {std::string("width: 1\nheight: 1\n0"), full})
    {
        ASSERT_TRUE(Scenario::WriteFile(dir / "grid.txt", grid) &&
                    MeshEditorReadGrid((dir / "grid.txt").c_str()));
        const std::string why = MeshEditorExport((dir / "out.txt").c_str());
        EXPECT_NE(why.find(grid == full ? "than the 16 MiB the game reads" : "nothing is painted"), why.npos);
        EXPECT_EQ(Scenario::ReadFile(dir / "out.txt"), "0 0 0xff 1 0 0xff 1 1 0xff\n");
    }
    MeshEditorFreeGrid();
    // A link loop where a folder belongs is named as one, not as a file in the way.
    ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
    EXPECT_EQ(PlatMakeDirs(dir / "loop/save"),
              "cannot make the folder " + dir / "loop/save" + ": " + PlatErrorText(ELOOP));
}

} // namespace
