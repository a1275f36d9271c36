// The mesh editor's palette reader: it fills the leading colours in file order and leaves the others
// as they were.
#include "FuzzFile.h"
#include "states/GameState_Mesheditor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (uint32_t& c : gMeshPalette) c = 0;
    FUZZ_CHECK(MeshEditorReadPalette(FuzzWriteFile("colours.txt", data, size)));
    return 0;
}
