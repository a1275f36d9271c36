// The mesh editor's grid reader: a grid of the size its header names, no cell with an instance and every
// filled cell white, or no grid at all; released again without a trace.
#include "FuzzFile.h"
#include "states/GameState_Mesheditor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FUZZ_CHECK(MeshEditorReadGrid(FuzzWriteFile("grid.txt", data, size)));
    FUZZ_CHECK(gMeshGridW >= 0 && gMeshGridH >= 0);
    FUZZ_CHECK((gMeshCells == nullptr) == (gMeshGridW * gMeshGridH == 0));
    for (int i = 0; i < gMeshGridW * gMeshGridH; ++i)
        FUZZ_CHECK(gMeshCellInst[i] == nullptr &&
                   (gMeshCells[i].state == 0 || gMeshCells[i].colour == 0xFFFFFFFF));
    MeshEditorFreeGrid();
    return 0;
}
