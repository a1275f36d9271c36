#include "states/GameState_TileEditor.h"

#include <cstdio>
#include <string>

#include "engine/KoAssert.h"
#include "engine/KoInput.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/MeshFile.h"
#include "level/Hero.h"
#include "level/Monsters.h"
#include "level/Pickups.h"
#include "level/Terrain.h"
#include "platform/PlatFiles.h"
#include "states/EditorHelp.h"

static const char* const MAP_OUT_PATH = "Tilemaps/map_out.txt";

static const char* const TILE_LEGEND = "Tile editor\n"
                                       "left button   paint the chosen object\n"
                                       "right button  erase a cell\n"
                                       "J and L       choose the object to paint\n"
                                       "arrows        scroll   - and +   zoom\n"
                                       "A             save Tilemaps/map_out.txt\n"
                                       "R             rebuild the view   Esc  quit\n"
                                       "F1 level   F3 mesh editor   F11 full screen\n"
                                       "H             show or hide these keys";

// One instance per painted cell; null where the cell is empty.
static GameObjInst* mapData[MAP_CELLS];
static int sPaletteIndex;
static Vec2 sCursor;
static GameObjInst* spObjOnCursor;
static float sZoom;

// Zoom keys stop here: the cursor conversion divides by the zoom, and a zoom of 0 or below would turn the
// map upside down or divide by zero.
static const float TILE_EDITOR_ZOOM_MIN = 1.0f;

TilePaint TileEditorPalette(int index)
{
    static const TilePaint TROGLINS[] = {{TILE_PARTY_START, TYPE_LEADER_BODY},
                                         {TILE_RECRUIT, TYPE_TROGLIN_BODY}};
    static const TilePaint TILES[]    = {
           {TILE_TERRAIN, TYPE_TERRAIN}, {TILE_DIAMOND, TYPE_DIAMOND}, {TILE_FLAG, TYPE_FLAG}};
    if (index < 1 || index > TILE_EDITOR_PALETTE_NUM) return {TILE_EMPTY, 0};
    if (index <= 2) return TROGLINS[index - 1];
    const int kind = index - 3;
    if (kind < MONSTER_KIND_NUM) return {MONSTER_KINDS[kind].code, TYPE_MONSTER_FIRST + kind};
    return TILES[kind - MONSTER_KIND_NUM];
}

int TileEditorTypeOfCode(int code)
{
    for (int index = 1; index <= TILE_EDITOR_PALETTE_NUM; ++index)
        if (TileEditorPalette(index).code == code) return TileEditorPalette(index).type;
    return -1;
}

int TileEditorPaletteStep(int index, int step)
{
    index += step;
    if (index > TILE_EDITOR_PALETTE_NUM) index = 1;
    if (index < 1) index = TILE_EDITOR_PALETTE_NUM;
    return index;
}

int TileEditorCellAt(const Vec2* pMapPos)
{
    if (!(pMapPos->x >= 0.0f && pMapPos->x < float(MAP_WIDTH) && pMapPos->y >= 0.0f &&
          pMapPos->y < float(MAP_HEIGHT)))
        return -1;
    int cell = (MAP_HEIGHT - 1 - int(pMapPos->y)) * MAP_WIDTH + int(pMapPos->x);
    return cell < MAP_CELLS ? cell : -1;
}

std::string TileEditorWriteMap(const char* path, const int* cells)
{
    std::string text;
    char field[16];
    for (int i = 0; i < MAP_CELLS; ++i)
    {
        snprintf(field, sizeof(field), cells[i] <= 9 ? " %d " : "%d ", cells[i]);
        text += field;
        if ((i + 1) % MAP_WIDTH == 0) text += '\n';
    }
    return PlatReplaceFile(path, text.data(), text.size());
}

static GameObjInst* CreateEditorInst(int type, const Vec2* pPos)
{
    GameObjInst* pInst = KoGameObjInstCreate(uint32_t(type), 1.0f, pPos, nullptr, 0.0f, sGameObjList,
                                             sGameObjInstList, GAME_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    if (pInst) pInst->flag |= FLAG_WORLD;
    return pInst;
}

void CreateObjectOnCursor()
{
    int type = TileEditorPalette(sPaletteIndex).type;
    if (spObjOnCursor)
    {
        spObjOnCursor->pObject = &sGameObjList[type];
        return;
    }
    spObjOnCursor = CreateEditorInst(type, &sCursor);
    KO_ASSERT(spObjOnCursor);
}

void CreateObjectInst(float x, float y, int cell)
{
    GameObjInst** ppInst = &mapData[cell];
    if (*ppInst) return; // already painted: erase it first
    Vec2 pos              = {x, y};
    const TilePaint paint = TileEditorPalette(sPaletteIndex);
    *ppInst               = CreateEditorInst(paint.type, &pos);
    KO_ASSERT(*ppInst);
    Terrain::GetMap(0)[cell] = paint.code;
}

void InitializeEditorMap()
{
    const int* cells = Terrain::GetMap(0);
    for (int i = 0; i < MAP_CELLS; ++i)
    {
        mapData[i] = nullptr;
        // Values the palette does not paint (hand-edited files) stay in the map but show nothing.
        const int type = TileEditorTypeOfCode(cells[i]);
        if (type < 0) continue;
        Vec2 pos   = {float(i % MAP_WIDTH) + 0.5f, float(MAP_HEIGHT - 1 - i / MAP_WIDTH) + 0.5f};
        mapData[i] = CreateEditorInst(type, &pos);
        KO_ASSERT(mapData[i]);
    }
}

void GameStateTileEditorLoad()
{
    CommonLevel::ResetAll();
    Terrain::ClearMaps();
    LoadHero();
    Monsters::Load();
    Terrain::LoadEditorTerrain();
    Pickups::Load();
    // The flag is painted here only: the level lays nothing for it.
    MeshLoadType(&sGameObjList[TYPE_FLAG], TYPE_FLAG, &sGameObjNum, LoadFlagMesh, "Meshes/flagmesh.txt",
                 MESH_LOADER_FLAG, __LINE__);
    EditorHelp::Load();
}

void GameStateTileEditorInit()
{
    sPaletteIndex = TILE_EDITOR_PALETTE_NUM;
    gCamPosX      = 12.0f;
    gCamPosY      = 8.5f;
    InitializeEditorMap();
    sZoom         = 7.0f;
    spObjOnCursor = nullptr;
    Vec2Zero(&sCursor);
    EditorHelp::Init("tile editor", TILE_LEGEND);
}

void GameStateTileEditorUpdate()
{
    EditorHelp::Update();
    Vec2 world;
    KoInputGetCursorPosition(&world);
    sCursor.x = (gCamPosX * sZoom + world.x) / sZoom;
    sCursor.y = (gCamPosY * sZoom + world.y) / sZoom;

    if (KoInputCheckTriggered(VK_ESCAPE)) gGameStateNext = GS_QUIT;
    if (KoInputCheckTriggered(VK_R)) gGameStateNext = GS_RESTART;
    if (KoInputCheckTriggered(VK_F1)) gGameStateNext = GS_LEVEL;
    if (KoInputCheckTriggered(VK_F3)) gGameStateNext = GS_MESH_EDITOR;
    if (KoInputCheckCurr(VK_LEFT)) gCamPosX -= 0.5f;
    if (KoInputCheckCurr(VK_RIGHT)) gCamPosX += 0.5f;
    if (KoInputCheckCurr(VK_DOWN)) gCamPosY -= 0.005f;
    if (KoInputCheckCurr(VK_UP)) gCamPosY += 0.005f;
    if (KoInputCheckTriggered(VK_OEM_MINUS) && sZoom - 1.0f >= TILE_EDITOR_ZOOM_MIN) sZoom -= 1.0f;
    if (KoInputCheckTriggered(VK_OEM_PLUS)) sZoom += 1.0f;
    if (KoInputCheckTriggered(VK_A))
    {
        std::string why;
        std::string path = UserFileWritePath(MAP_OUT_PATH, &why);
        if (!path.empty()) why = TileEditorWriteMap(path.c_str(), Terrain::GetMap(0));
        EditorHelp::SaveResult(path.empty() ? MAP_OUT_PATH : path.c_str(), why);
    }
    if (KoInputCheckTriggered(VK_L))
    {
        sPaletteIndex = TileEditorPaletteStep(sPaletteIndex, 1);
        CreateObjectOnCursor();
    }
    if (KoInputCheckTriggered(VK_J))
    {
        sPaletteIndex = TileEditorPaletteStep(sPaletteIndex, -1);
        CreateObjectOnCursor();
    }

    int cell = TileEditorCellAt(&sCursor);
    if (KoInputMouseCheckCurr(2) && cell >= 0)
    {
        Terrain::GetMap(0)[cell] = 0;
        if (mapData[cell])
        {
            KoGameObjInstDestroy(mapData[cell]);
            mapData[cell] = nullptr;
        }
    }
    if (spObjOnCursor) spObjOnCursor->posCurr = sCursor;
    if (KoInputMouseCheckCurr(1) && sPaletteIndex != 0 && cell >= 0)
        CreateObjectInst(float(int(sCursor.x)) + 0.5f, float(int(sCursor.y)) + 0.5f, cell);

    CommonLevel::UpdateAllInst();
    gCamZoom = sZoom;
}

void GameStateTileEditorDraw()
{
    KoGameObjInstDrawAll(sGameObjInstList, GAME_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    EditorHelp::Draw();
}

void GameStateTileEditorFree()
{
    Monsters::FreeList();
    CommonLevel::DestroyAllInst();
    spObjOnCursor = nullptr;
}

void GameStateTileEditorUnload()
{
    EditorHelp::Unload();
    KoGameObjFreeAll(sGameObjList, GAME_OBJ_NUM_MAX);
}
