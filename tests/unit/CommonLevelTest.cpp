// Object types, the generic pool operations and the main pool's create, destroy and transform pass. A full
// pool's check is the bad-input scenario of maps that overflow it.
#include <gtest/gtest.h>

#include "engine/KoMath.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"

namespace
{

// Where the transform puts the point (x, y) of its instance.
Vec2 At(const GameObjInst* p, float x, float y)
{
    const Mtx33& m = p->transform;
    return {m.m[0][0] * x + m.m[0][1] * y + m.m[0][2], m.m[1][0] * x + m.m[1][1] * y + m.m[1][2]};
}

void ExpectAt(const GameObjInst* p, float x, float y, float wantX, float wantY)
{
    Vec2 v = At(p, x, y);
    EXPECT_NEAR(v.x, wantX, 1e-4f) << x << "," << y;
    EXPECT_NEAR(v.y, wantY, 1e-4f) << x << "," << y;
}

class PoolTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CommonLevel::ResetAll();
        gCamPosX   = 0.0f;
        gCamPosY   = 0.0f;
        gCamZoom   = 1.0f;
        gFrameTime = 0.0f;
    }
    void TearDown() override { SetUp(); }
    static size_t Index(const GameObjInst* p) { return size_t(p - sGameObjInstList); }
};

TEST_F(PoolTest, DestroyTakesChildrenAndGrandchildrenWithItAndCreateClearsTheLinksTheLastUserLeft)
{
    GameObjInst* monster = CommonLevel::CreateInst(TYPE_MONSTER_FIRST, 1.0f, nullptr, nullptr, 0.0f);
    GameObjInst* tens    = CommonLevel::CreateInst(TYPE_DIGIT_1, 1.0f, nullptr, nullptr, 0.0f);
    GameObjInst* ones    = CommonLevel::CreateInst(TYPE_DIGIT_2, 1.0f, nullptr, nullptr, 0.0f);
    GameObjInst* mark    = CommonLevel::CreateInst(TYPE_DIGIT_3, 1.0f, nullptr, nullptr, 0.0f);
    GameObjInst* other   = CommonLevel::CreateInst(TYPE_TERRAIN, 1.0f, nullptr, nullptr, 0.0f);
    int info             = 0;
    monster->pData       = &info;
    monster->pChild[0]   = tens;
    monster->pChild[1]   = ones;
    ones->pChild[0]      = mark;
    for (GameObjInst* child : {tens, ones, mark}) child->pParent = monster;

    CommonLevel::DestroyInst(monster);
    for (GameObjInst* p : {monster, tens, ones, mark})
        EXPECT_TRUE(!p->flag && !p->pData && !p->pParent && !p->pChild[0] && !p->pChild[1]) << Index(p);
    EXPECT_EQ(other->flag, FLAG_ACTIVE);

    // Twice, null, and a record that names itself as its child are all harmless.
    CommonLevel::DestroyInst(monster);
    CommonLevel::DestroyInst(nullptr);
    other->pChild[0] = other;
    CommonLevel::DestroyInst(other);
    EXPECT_EQ(other->flag, 0u);

    // Create takes the lowest free slot; a record freed by the generic destroy keeps its links until
    // CreateInst hands it out again.
    Vec2 pos{1.0f, 2.0f};
    GameObjInst* a = CommonLevel::CreateInst(TYPE_TERRAIN, 2.0f, &pos, nullptr, 0.5f);
    EXPECT_TRUE(a == monster && a->pObject == &sGameObjList[TYPE_TERRAIN] && a->posCurr.y == 2.0f);
    a->pData     = a;
    a->pChild[1] = other;
    KoGameObjInstDestroy(a);
    GameObjInst* b = CommonLevel::CreateInst(TYPE_DIAMOND, 1.0f, nullptr, nullptr, 0.0f);
    EXPECT_TRUE(b == a && b->flag == FLAG_ACTIVE && !b->pData && !b->pChild[1]);
}

// The camera shows world position (3, -4) in the middle at zoom 2: a world point p lands at 2 (p - camera).
TEST_F(PoolTest, TransformPassMovesComposesWithTheParentAndAppliesTheCameraOnce)
{
    gFrameTime = 0.5f;
    gCamPosX   = 3.0f;
    gCamPosY   = -4.0f;
    gCamZoom   = 2.0f;
    Vec2 ppos{10.0f, 5.0f}, pvel{2.0f, -2.0f}, cpos{1.0f, 0.5f}, spos{-20.0f, 30.0f};
    const float quarter      = 1.5707964f; // turned a quarter counter-clockwise
    GameObjInst* parent      = CommonLevel::CreateInst(TYPE_TROGLIN_BODY, 2.0f, &ppos, &pvel, quarter);
    GameObjInst* child       = CommonLevel::CreateInst(TYPE_ARM_0, 0.5f, &cpos, nullptr, 0.0f);
    GameObjInst* screen      = CommonLevel::CreateInst(TYPE_SKY, 3.0f, &spos, nullptr, 0.0f);
    GameObjInst* screenChild = CommonLevel::CreateInst(TYPE_ARM_1, 0.5f, &cpos, nullptr, 0.0f);
    GameObjInst* worldChild  = CommonLevel::CreateInst(TYPE_WEAPON, 0.5f, &cpos, nullptr, 0.0f);
    parent->flag |= FLAG_WORLD;
    child->flag |= FLAG_WORLD | FLAG_CHILD;
    child->pParent = parent;
    // A child takes the camera only when it lives in world space itself.
    screenChild->flag |= FLAG_CHILD;
    screenChild->pParent = parent;
    worldChild->flag |= FLAG_WORLD | FLAG_CHILD;
    worldChild->pParent = screen;

    CommonLevel::UpdateAllInst();
    // The parent moved half a second to (11, 4); its child's offset (1, 0.5) turns and grows with it to
    // (-1, 2): the child stands at (10, 6) in the world, and its own unit x goes up by 2 x 0.5.
    ExpectAt(parent, 0, 0, 2 * (11 - 3), 2 * (4 + 4));
    ExpectAt(child, 0, 0, 2 * (10 - 3), 2 * (6 + 4));
    ExpectAt(child, 1, 0, 2 * (10 - 3), 2 * (7 + 4));
    ExpectAt(screen, 0, 0, -20, 30); // no FLAG_WORLD: the camera stays out
    ExpectAt(screenChild, 0, 0, 10, 6);
    ExpectAt(worldChild, 0, 0, 2 * (-17 - 3), 2 * (31.5f + 4));
}

TEST_F(PoolTest, ThePassesStopAfterTheLastRecordThatCanBeActiveAndEveryWayOfEmptyingThePoolResetsIt)
{
    Vec2 vel{1.0f, 0.0f};
    GameObjInst* r[6];
    for (GameObjInst*& p : r) p = CommonLevel::CreateInst(TYPE_TERRAIN, 1.0f, nullptr, &vel, 0.0f);
    EXPECT_EQ(CommonLevel::ActiveEnd(), 6u);
    for (int i : {5, 4, 1}) CommonLevel::DestroyInst(r[i]);
    EXPECT_EQ(CommonLevel::ActiveEnd(), 6u); // destroying moves nothing; the next pass looks
    gFrameTime = 1.0f;
    CommonLevel::UpdateAllInst();
    EXPECT_EQ(CommonLevel::ActiveEnd(), 4u);

    // Creates fill the gap first, then move the end on; the tile editor's generic create counts too.
    EXPECT_EQ(CommonLevel::CreateInst(TYPE_TERRAIN, 1.0f, nullptr, &vel, 0.0f), r[1]);
    EXPECT_EQ(CommonLevel::ActiveEnd(), 4u);
    EXPECT_EQ(CommonLevel::CreateInst(TYPE_TERRAIN, 1.0f, nullptr, &vel, 0.0f), r[4]);
    GameObjInst* editor = KoGameObjInstCreate(TYPE_TERRAIN, 1.0f, nullptr, &vel, 0.0f, sGameObjList,
                                              sGameObjInstList, GAME_OBJ_INST_NUM_MAX, sizeof(GameObjInst));
    EXPECT_EQ(editor, r[5]);
    EXPECT_EQ(CommonLevel::ActiveEnd(), 6u);
    CommonLevel::UpdateAllInst(); // a record past the old end moves as soon as it is made
    EXPECT_TRUE(r[0]->posCurr.x == 2.0f && r[1]->posCurr.x == 1.0f && editor->posCurr.x == 1.0f);

    // Emptied by the last destroy and the pass, by DestroyAllInst (which also clears stale links on free
    // records) and by ResetAll.
    for (GameObjInst* p : r) CommonLevel::DestroyInst(p);
    CommonLevel::UpdateAllInst();
    EXPECT_EQ(CommonLevel::ActiveEnd(), 0u);
    GameObjInst* stale            = CommonLevel::CreateInst(TYPE_TERRAIN, 1.0f, nullptr, nullptr, 0.0f);
    stale->pChild[0]              = r[1];
    sGameObjInstList[100].pParent = r[0];
    CommonLevel::DestroyAllInst();
    EXPECT_EQ(CommonLevel::ActiveEnd(), 0u);
    for (const GameObjInst& inst : sGameObjInstList)
        ASSERT_TRUE(!inst.flag && !inst.pParent && !inst.pChild[0]) << &inst - sGameObjInstList;

    // ResetAll empties the types, the pool and the player's name.
    CommonLevel::CreateInst(TYPE_TERRAIN, 1.0f, nullptr, nullptr, 0.0f);
    sGameObjNum = 5;
    gPlayerName = "ANNA";
    CommonLevel::ResetAll();
    EXPECT_TRUE(CommonLevel::ActiveEnd() == 0 && sGameObjNum == 0 && gPlayerName.empty());
}

} // namespace
