// The tile-map reader of the level and the tile editor. Whatever a file holds, the map the reader makes
// of it goes through the tile editor's writer and back unchanged.
#include "FuzzFile.h"
#include "level/Terrain.h"
#include "states/GameState_TileEditor.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int sCells[MAP_CELLS], sBack[MAP_CELLS];
    std::fill(sCells, sCells + MAP_CELLS, 0);
    std::fill(sBack, sBack + MAP_CELLS, 0);
    FUZZ_CHECK(Terrain::ReadMap(FuzzWriteFile("map.txt", data, size), sCells));

    const char* written = FuzzWriteFile("written.txt", nullptr, 0);
    FUZZ_CHECK(TileEditorWriteMap(written, sCells).empty());
    FUZZ_CHECK(Terrain::ReadMap(written, sBack));
    FUZZ_CHECK(std::equal(sCells, sCells + MAP_CELLS, sBack));
    return 0;
}
