#include "states/GameState_Mesheditor.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "engine/KoAssert.h"
#include "engine/KoGraphics.h"
#include "engine/KoInput.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "framework/HighScore.h"
#include "framework/MeshFile.h"
#include "framework/TextFile.h"
#include "platform/PlatFiles.h"
#include "states/EditorHelp.h"

static const char* const PALETTE_PATH = "Meshes/colours.txt";
static const char* const GRID_PATH    = "Meshes/readmesh80x80.txt";
static const char* const EXPORT_PATH  = "Meshes/outmesh.txt";

// The zoom keys stop here: at 0 the cursor conversion would divide by zero, below it the grid turns over.
static const float MESH_ZOOM_MIN = 1.0f;

static const char* const MESH_LEGEND = "Mesh editor\n"
                                       "left button   paint a cell\n"
                                       "right button  erase a cell\n"
                                       "click a colour below the grid to paint with it\n"
                                       "arrows        move the view\n"
                                       "- and +       zoom\n"
                                       "A             save Meshes/outmesh.txt\n"
                                       "F1 level   F2 tile editor   F11 full screen\n"
                                       "H             show or hide these keys";

static bool sViewFullScreen; // the screen mode the view was set for

int gMeshGridW;
int gMeshGridH;
MeshCell* gMeshCells;
GameObjInst** gMeshCellInst;
uint32_t gMeshPalette[MESH_PALETTE_NUM];
int gMeshColour;
Vec2 gMeshCursor;
float gMeshCamX;
float gMeshCamY;
float gMeshZoom;

static GameObj sMeshObjList[MESH_OBJ_NUM_MAX];
static int sMeshObjNum;
static GameObjInst sMeshObjInstList[MESH_OBJ_INST_NUM_MAX];

static GameObjInst* CreateMeshInst(int type, float scale, float x, float y, float dir)
{
    Vec2 pos = {x, y};
    return KoGameObjInstCreate(uint32_t(type), scale, &pos, nullptr, dir, sMeshObjList, sMeshObjInstList,
                               MESH_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
}

bool MeshEditorReadPalette(const char* path)
{
    std::string text, why;
    const std::string kept = "; the other swatches keep their colours";
    if (TextFileCheck(path, &text, &why) != TEXT_FILE_READ)
    {
        TextFileComplain(path, why + kept);
        return false;
    }
    size_t pos = 0;
    const char *b, *e;
    uint32_t colour;
    int k = 0;
    for (; k < MESH_PALETTE_NUM && TextNextToken(text, &pos, &b, &e) && MeshParseColour(b, e, &colour); ++k)
        gMeshPalette[k] = colour;
    if (k < MESH_PALETTE_NUM)
        TextFileComplain(path, "holds " + std::to_string(k) + " of the " + std::to_string(MESH_PALETTE_NUM) +
                                   " colours (then the end or no colour)" + kept);
    return true;
}

void MeshEditorFreeGrid()
{
    delete[] gMeshCells;
    delete[] gMeshCellInst;
    gMeshCells    = nullptr;
    gMeshCellInst = nullptr;
    gMeshGridW    = 0;
    gMeshGridH    = 0;
}

// A label: everything up to and including the next blank, at most 200 characters.
static void SkipLabel(const std::string& text, size_t* pPos)
{
    for (int n = 0; n < 200 && *pPos < text.size(); ++n)
        if (text[(*pPos)++] == ' ') break;
}

// The next token as a whole 32-bit decimal number.
static bool ReadInt(const std::string& text, size_t* pPos, int32_t* pValue)
{
    const char *b, *e;
    return TextNextToken(text, pPos, &b, &e) && TextParseInt(b, e, pValue);
}

bool MeshEditorReadGrid(const char* path)
{
    MeshEditorFreeGrid();
    std::string text, why;
    if (TextFileCheck(path, &text, &why) != TEXT_FILE_READ)
    {
        TextFileComplain(path, why + "; the grid stays empty");
        return false;
    }
    size_t pos = 0;
    int32_t w = 0, h = 0;
    SkipLabel(text, &pos);
    bool header = ReadInt(text, &pos, &w);
    if (header) SkipLabel(text, &pos);
    header = header && ReadInt(text, &pos, &h);
    if (!header || w <= 0 || h <= 0 || w > MESH_GRID_SIDE_MAX || h > MESH_GRID_SIDE_MAX)
    {
        TextFileComplain(path, "has no header \"width: W height: H\" of 1 to " +
                                   std::to_string(MESH_GRID_SIDE_MAX) +
                                   " cells a side; the grid stays empty");
        return true;
    }
    gMeshGridW    = w;
    gMeshGridH    = h;
    gMeshCells    = new MeshCell[size_t(w) * size_t(h)]();
    gMeshCellInst = new GameObjInst*[size_t(w) * size_t(h)]();
    int i         = 0;
    for (; i < w * h; ++i)
    {
        gMeshCells[i].colour = 0xFFFFFFFF;
        if (!ReadInt(text, &pos, &gMeshCells[i].state)) break;
    }
    if (i < w * h)
        TextFileComplain(path, "holds " + std::to_string(i) + " of its " + std::to_string(w * h) +
                                   " cells (then the end or no whole number); the others stay empty");
    return true;
}

// The cell under grid position (x, y), truncated toward zero; -1 outside the grid.
static int CellIndexAt(const Vec2* pGridPos, int* pCx, int* pCy)
{
    // Far-off cursors (huge pans) must not overflow the conversion to int.
    float fx = pGridPos->x, fy = pGridPos->y;
    if (!(fx > -2.0f && fx < float(INT_MAX / 2) && fy > -2.0f && fy < float(INT_MAX / 2)))
    {
        *pCx = *pCy = INT_MIN;
        return -1;
    }
    *pCx = int(fx);
    *pCy = int(fy);
    if (*pCy < 0 || *pCy >= gMeshGridH || *pCx < 0 || *pCx >= gMeshGridW) return -1;
    return (gMeshGridH - 1 - *pCy) * gMeshGridW + *pCx;
}

void MeshEditorPaint(const Vec2* pGridPos)
{
    int cx, cy;
    int i = CellIndexAt(pGridPos, &cx, &cy);
    if (i >= 0 && gMeshCells[i].state == 0)
    {
        gMeshCells[i].state  = 1;
        gMeshCells[i].colour = gMeshPalette[gMeshColour];
        // With the pool full the cell is painted (and exported) but not shown.
        gMeshCellInst[i] = CreateMeshInst(gMeshColour, 1.0f, float(cx), float(cy), 0.0f);
    }
    if (cy == -1 && cx >= 0 && cx < MESH_PALETTE_NUM) gMeshColour = cx;
}

void MeshEditorErase(const Vec2* pGridPos)
{
    int cx, cy;
    int i = CellIndexAt(pGridPos, &cx, &cy);
    if (i < 0 || gMeshCells[i].state != 1) return;
    gMeshCells[i].state = 0;
    if (gMeshCellInst[i])
    {
        KoGameObjInstDestroy(gMeshCellInst[i]);
        gMeshCellInst[i] = nullptr;
    }
}

std::string MeshEditorExport(const char* path)
{
    std::ostringstream out;
    for (int r = 0; r < gMeshGridH; ++r)
    {
        // The game reads no mesh file larger than this (a full 1024 x 1024 grid would be about 190 MB).
        if (size_t(out.tellp()) > DATA_FILE_MAX_BYTES)
            return "the export would be larger than the " + std::to_string(DATA_FILE_MAX_BYTES >> 20) +
                   " MiB the game reads; the file is kept";
        for (int c = 0; c < gMeshGridW; ++c)
        {
            const MeshCell& cell = gMeshCells[r * gMeshGridW + c];
            if (cell.state == 0) continue;
            double x0 = double(c) / gMeshGridW - 0.5, x1 = x0 + 1.0 / gMeshGridW;
            double y0 = 0.5 - double(r) / gMeshGridH, y1 = y0 - 1.0 / gMeshGridH;
            const double corners[6][2] = {{x1, y0}, {x0, y0}, {x0, y1}, {x0, y1}, {x1, y1}, {x1, y0}};
            for (const auto& v : corners)
                out << v[0] << '\n' << v[1] << '\n' << "0x" << std::hex << cell.colour << std::dec << '\n';
        }
    }
    // An empty export would leave the preview, and any mesh copied from the file, with nothing.
    std::string text = out.str();
    if (text.empty()) return "nothing is painted; the file is kept";
    return PlatReplaceFile(path, text.data(), text.size());
}

// The unit swatch of a palette colour: the square (0, 0) to (1, 1).
static void AddSwatch(uint32_t colour)
{
    KoGfxTriAdd(1.0f, 1.0f, colour, 0.0f, 1.0f, colour, 0.0f, 0.0f, colour);
    KoGfxTriAdd(0.0f, 0.0f, colour, 1.0f, 0.0f, colour, 1.0f, 1.0f, colour);
}

static void LoadLineType(int type, uint32_t colour)
{
    GameObj* pObj = &sMeshObjList[type];
    ++sMeshObjNum;
    pObj->type = uint32_t(type);
    KoGfxLineStart();
    KoGfxLineAdd(0.0f, 0.0f, colour, 1.0f, 0.0f, colour);
    pObj->pMesh = KoGfxLineEnd();
    KO_ASSERT_MESG_FN(pObj->pMesh, "fail to create object!!", "GameStateMesheditorLoad");
}

// The preview of the last export. The editor writes that file itself, so an empty export (no triangle)
// gives no preview and a large one shows its first triangles only: entering the editor never fails on it.
static void LoadPreviewType()
{
    GameObj* pObj = &sMeshObjList[MESH_TYPE_PREVIEW];
    ++sMeshObjNum;
    pObj->type = MESH_TYPE_PREVIEW;
    KoGfxTriStart();
    int triNum  = LoadMeshMax(UserFileReadPath(EXPORT_PATH).c_str(), KO_GFX_TRI_NUM_MAX);
    pObj->pMesh = KoGfxTriEnd();
    if (triNum > 0) KO_ASSERT_MESG_FN(pObj->pMesh, "fail to create object!!", "GameStateMesheditorLoad");
}

void GameStateMesheditorLoad()
{
    KoInputShowCursor(false);
    for (GameObj& obj : sMeshObjList) obj = GameObj{};
    sMeshObjNum = 0;
    KoGameObjInstDestroyAll(sMeshObjInstList, MESH_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    MeshEditorReadPalette(UserFileReadPath(PALETTE_PATH).c_str());

    for (int k = 0; k < MESH_PALETTE_NUM; ++k)
    {
        MeshTypeStart(&sMeshObjList[k], uint32_t(k), &sMeshObjNum);
        AddSwatch(gMeshPalette[k]);
        MeshTypeEnd(&sMeshObjList[k], MESH_LOADER_MESHEDITOR, __LINE__);
    }
    LoadLineType(MESH_TYPE_GRID_LINE, 0xFFFFFFFF);
    LoadLineType(MESH_TYPE_CENTRE_LINE, 0xFFFF0000);
    LoadPreviewType();

    GameObj* pPointer = &sMeshObjList[MESH_TYPE_POINTER];
    ++sMeshObjNum;
    pPointer->type = MESH_TYPE_POINTER;
    KoGfxLineStart();
    const uint32_t yellow = 0xFFFFE040;
    KoGfxLineAdd(0.0f, 0.0f, yellow, 1.0f, 0.0f, yellow);
    KoGfxLineAdd(1.0f, 0.0f, yellow, 1.0f, 1.0f, yellow);
    KoGfxLineAdd(1.0f, 1.0f, yellow, 0.0f, 1.0f, yellow);
    KoGfxLineAdd(0.0f, 1.0f, yellow, 0.0f, 0.0f, yellow);
    pPointer->pMesh = KoGfxLineEnd();
    KO_ASSERT_MESG_FN(pPointer->pMesh, "fail to create object!!", "GameStateMesheditorLoad");
    EditorHelp::Load();
}

// In the window the view starts where the editor always started; in full screen it fits the whole grid and
// the palette row below it.
void MeshEditorSetView()
{
    sViewFullScreen = gKoGfxFullScreen;
    gMeshCamX       = 12.0f;
    gMeshCamY       = 8.5f;
    gMeshZoom       = 4.0f;
    if (!gKoGfxFullScreen) return;
    float w   = float(gMeshGridW > MESH_PALETTE_NUM ? gMeshGridW : MESH_PALETTE_NUM);
    float h   = float(gMeshGridH);
    gMeshCamX = w / 2.0f;
    gMeshCamY = (h - 4.0f) / 2.0f; // from below the palette's row (y -5, room for the status line) to y h + 1
    float zx  = (gKoWinMaxX - gKoWinMinX) / (w + 2.0f);
    float zy  = (gKoWinMaxY - gKoWinMinY) / (h + 6.0f);
    gMeshZoom = zx < zy ? zx : zy;
}

void GameStateMesheditorInit()
{
    MeshEditorReadGrid(UserFileReadPath(GRID_PATH).c_str());
    MeshEditorSetView();
    EditorHelp::Init("mesh editor", MESH_LEGEND);

    if (sMeshObjList[MESH_TYPE_PREVIEW].pMesh) CreateMeshInst(MESH_TYPE_PREVIEW, 10.0f, 50.0f, 0.0f, 0.0f);
    for (int i = 0; i <= gMeshGridW; ++i)
    {
        int type = (i == gMeshGridW / 2) ? MESH_TYPE_CENTRE_LINE : MESH_TYPE_GRID_LINE;
        CreateMeshInst(type, float(gMeshGridH), float(i), 0.0f, KO_PI / 2.0f);
    }
    for (int j = 0; j <= gMeshGridH; ++j)
    {
        int type = (j == gMeshGridH / 2) ? MESH_TYPE_CENTRE_LINE : MESH_TYPE_GRID_LINE;
        CreateMeshInst(type, float(gMeshGridW), 0.0f, float(j), 0.0f);
    }
    for (int k = 0; k < MESH_PALETTE_NUM; ++k) CreateMeshInst(k, 1.0f, float(k), -2.0f, 0.0f);
}

void GameStateMesheditorUpdate()
{
    if (gKoGfxFullScreen != sViewFullScreen) MeshEditorSetView();
    EditorHelp::Update();
    Vec2 c;
    KoInputGetCursorPosition(&c);
    gMeshCursor.x = gMeshCamX + c.x / gMeshZoom;
    gMeshCursor.y = gMeshCamY + c.y / gMeshZoom;

    if (KoInputCheckTriggered(VK_F1)) gGameStateNext = GS_LEVEL;
    if (KoInputCheckTriggered(VK_F2)) gGameStateNext = GS_TILE_EDITOR;
    if (KoInputCheckCurr(VK_LEFT)) gMeshCamX -= 0.005f;
    if (KoInputCheckCurr(VK_RIGHT)) gMeshCamX += 0.005f;
    if (KoInputCheckCurr(VK_DOWN)) gMeshCamY -= 0.005f;
    if (KoInputCheckCurr(VK_UP)) gMeshCamY += 0.005f;
    if (KoInputCheckTriggered(VK_OEM_MINUS) && gMeshZoom - 1.0f >= MESH_ZOOM_MIN) gMeshZoom -= 1.0f;
    if (KoInputCheckTriggered(VK_OEM_PLUS)) gMeshZoom += 1.0f;
    if (KoInputMouseCheckCurr(1)) MeshEditorPaint(&gMeshCursor);
    if (KoInputMouseCheckCurr(2)) MeshEditorErase(&gMeshCursor);
    if (KoInputCheckTriggered(VK_A))
    {
        std::string why;
        std::string path = UserFileWritePath(EXPORT_PATH, &why);
        if (!path.empty()) why = MeshEditorExport(path.c_str());
        EditorHelp::SaveResult(path.empty() ? EXPORT_PATH : path.c_str(), why);
    }

    // Transforms in grid space (velocity is not applied), then the editor's own camera over all of them.
    KoGameObjInstTransformAll(sMeshObjInstList, MESH_OBJ_INST_NUM_MAX, sizeof(GameObjInst), 0.0f);
    Mtx33 camera, cameraScale, cameraTrans;
    Mtx33Scale(&cameraScale, gMeshZoom, gMeshZoom);
    Mtx33Trans(&cameraTrans, -gMeshCamX, -gMeshCamY);
    Mtx33Concat(&camera, &cameraScale, &cameraTrans);
    for (GameObjInst& inst : sMeshObjInstList)
        if (inst.flag & FLAG_ACTIVE) Mtx33Concat(&inst.transform, &camera, &inst.transform);
}

// The pointer over everything: a frame around the cell under the cursor with a chip of the colour that
// painting there would give.
static void DrawPointer()
{
    Mtx33 camera, scale, trans, m;
    Mtx33Scale(&scale, gMeshZoom, gMeshZoom);
    Mtx33Trans(&trans, -gMeshCamX, -gMeshCamY);
    Mtx33Concat(&camera, &scale, &trans);
    float cx = floorf(gMeshCursor.x), cy = floorf(gMeshCursor.y);
    Mtx33Trans(&trans, cx + 0.3f, cy + 0.3f);
    Mtx33Scale(&scale, 0.4f, 0.4f);
    Mtx33Concat(&m, &trans, &scale);
    Mtx33Concat(&m, &camera, &m);
    KoGfxSetTransform(&m);
    KoGfxDraw(sMeshObjList[gMeshColour].pMesh);
    for (float grow : {0.0f, 0.15f}) // two frames, so the pointer shows at every zoom
    {
        Mtx33Trans(&trans, cx - grow, cy - grow);
        Mtx33Scale(&scale, 1.0f + 2.0f * grow, 1.0f + 2.0f * grow);
        Mtx33Concat(&m, &trans, &scale);
        Mtx33Concat(&m, &camera, &m);
        KoGfxSetTransform(&m);
        KoGfxDraw(sMeshObjList[MESH_TYPE_POINTER].pMesh);
    }
    Mtx33Identity(&m);
    KoGfxSetTransform(&m);
}

void GameStateMesheditorDraw()
{
    KoGameObjInstDrawAll(sMeshObjInstList, MESH_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    DrawPointer();
    EditorHelp::Draw();
}

void GameStateMesheditorFree()
{
    MeshEditorFreeGrid();
    KoGameObjInstDestroyAll(sMeshObjInstList, MESH_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
}

void GameStateMesheditorUnload()
{
    EditorHelp::Unload();
    // The preview may have no mesh (an empty export): free only what was built.
    for (int type = 0; type < sMeshObjNum; ++type)
        if (sMeshObjList[type].pMesh) KoGfxFree(sMeshObjList[type].pMesh);
}
