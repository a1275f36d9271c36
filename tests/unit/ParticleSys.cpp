// Particles (emission, shrinking, pool limits, camera) and thrown axes (throw decision, flight, hit).
#include "MonsterWorld.h"

#include <cmath>

using ParticleTest = MonsterWorld;
using AxeTest      = MonsterWorld;

namespace
{
int LiveParticles(uint32_t type)
{
    int n = 0;
    for (int i = 0; i < PARTICLE_NUM_MAX; ++i)
    {
        const Particle& p = ParticleSys::ParticleList()[i];
        if (p.flag && p.pObject->type == type) ++n;
    }
    return n;
}
const Particle& Slot(int i)
{
    return ParticleSys::ParticleList()[i];
}
} // namespace

TEST_F(ParticleTest, BurstRingFliesOutwardsAndShrinksAway)
{
    ParticleSys::EmitBurst(24, 0.3f, 5.0f, 7.0f);
    ASSERT_EQ(LiveParticles(TYPE_PARTICLE_SKULL), 24);
    for (int i = 0; i < 24; ++i)
    {
        float a = float(i) * 15.0f * 3.1415927f / 180.0f;
        EXPECT_NEAR(Slot(i).posCurr.x, 5.0f + 0.3f * std::cos(a), 1e-5f) << i;
        EXPECT_NEAR(Slot(i).posCurr.y, 7.0f + 0.3f * std::sin(a), 1e-5f) << i;
        EXPECT_NEAR(Slot(i).velCurr.x, 2.0f * std::cos(a), 1e-5f) << i;
        EXPECT_NEAR(Slot(i).velCurr.y, 2.0f * std::sin(a), 1e-5f) << i;
        EXPECT_EQ(Slot(i).flag, uint32_t(FLAG_ACTIVE | FLAG_WORLD));
        EXPECT_FLOAT_EQ(Slot(i).scale, 0.8f);
    }
    EXPECT_FLOAT_EQ(Slot(0).posCurr.x, 5.3f); // the first one straight to the right
    EXPECT_FLOAT_EQ(Slot(0).posCurr.y, 7.0f);

    // Skull heads only shrink: seven halvings, about 1.4 s, and they are gone.
    float lastScale = 0.8f;
    int frames      = 0;
    while (LiveParticles(TYPE_PARTICLE_SKULL) > 0 && frames < 1000)
    {
        ParticleSys::Update();
        ++frames;
        if (Slot(0).flag)
        {
            EXPECT_LE(Slot(0).scale, lastScale);
        }
        lastScale = Slot(0).scale;
        EXPECT_EQ(Slot(0).dirCurr, 0.0f);
    }
    EXPECT_GE(frames, 140);
    EXPECT_LE(frames, 150);
    EXPECT_GT(Slot(0).posCurr.x, 5.3f + 2.0f * 1.3f) << "it flew outwards all the while";
}

TEST_F(ParticleTest, DustHalvesSixTimesThenVanishes)
{
    gAxesInFlight = 1;
    gTrailTimer   = 0.0f;
    ParticleSys::EmitTrail(1.0f, 0.0f, 0.0f); // 0.01 reaches the threshold of one axe
    ASSERT_EQ(LiveParticles(TYPE_PARTICLE_DUST), 2);
    EXPECT_EQ(gTrailTimer, 0.0f);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_LE(std::hypot(Slot(i).posCurr.x, Slot(i).posCurr.y), 1.0f + 1e-5f);
        EXPECT_FLOAT_EQ(Slot(i).velCurr.y, 0.8f);
    }

    // Record every scale the first dust particle passes through.
    std::vector<float> scales = {Slot(0).scale};
    int frames                = 0;
    while (Slot(0).flag && frames < 1000)
    {
        ParticleSys::Update();
        ++frames;
        if (Slot(0).scale != scales.back()) scales.push_back(Slot(0).scale);
        EXPECT_GE(Slot(0).dirCurr, -3.1415927f);
        EXPECT_LE(Slot(0).dirCurr, 3.1415927f);
        // Sideways drift stops or turns back at a halving, never grows.
        EXPECT_TRUE(Slot(0).velCurr.x == 0.5f || Slot(0).velCurr.x == -0.5f || Slot(0).velCurr.x == 0.0f);
    }
    const std::vector<float> expected = {0.4f, 0.2f, 0.1f, 0.05f, 0.025f, 0.0125f, 0.00625f};
    EXPECT_EQ(scales, expected);
    EXPECT_GE(frames, 120);
    EXPECT_LE(frames, 128);
}

TEST_F(ParticleTest, SharedClocksPaceTrailsAndSparkles)
{
    // Two axes in flight: every call adds the frame time and the pair goes to whichever call crosses 0.02.
    gAxesInFlight = 2;
    gFrameTime    = 0.008f;
    ParticleSys::EmitTrail(1.0f, 0.0f, 0.0f);
    ParticleSys::EmitTrail(1.0f, 50.0f, 0.0f);
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_DUST), 0);
    ParticleSys::EmitTrail(1.0f, 100.0f, 0.0f);
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_DUST), 2);
    EXPECT_GT(Slot(0).posCurr.x, 98.0f);

    // Sparkles: one star per 0.05 s over all callers.
    gFrameTime = 0.02f;
    for (int i = 0; i < 10; ++i) ParticleSys::EmitSparkle(1.0f, 0.0f, 0.0f); // 0.2 s
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_STAR), 3);
}

TEST_F(ParticleTest, FullPoolEmitsNothingAndRestartsTheSparkleClock)
{
    for (int i = 0; i < PARTICLE_NUM_MAX / 16; ++i) ParticleSys::EmitBurst(16, 0.5f, 0.0f, 0.0f);
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_SKULL), PARTICLE_NUM_MAX);
    ParticleSys::EmitBurst(24, 0.3f, 0.0f, 0.0f);
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_SKULL), PARTICLE_NUM_MAX);
    gSparkleTimer = 0.049f;
    ParticleSys::EmitSparkle(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(gSparkleTimer, 0.0f);
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_STAR), 0);

    // Freed slots are taken again from the start of the pool.
    ParticleSys::ParticleFree();
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_SKULL), 0);
    ParticleSys::EmitBurst(1, 0.0f, 0.0f, 0.0f);
    EXPECT_NE(Slot(0).flag, 0u);
}

TEST_F(ParticleTest, CameraAppliesToTheTransform)
{
    gCamPosX = 10.0f;
    gCamPosY = 13.0f;
    gCamZoom = 5.0f;
    ParticleSys::EmitBurst(1, 0.0f, 12.0f, 14.0f); // velocity (2, 0)
    ParticleSys::Update();
    const Particle& p = Slot(0);
    EXPECT_FLOAT_EQ(p.posCurr.x, 12.0f + 2.0f * DT);
    // The particle's centre maps to zoom * (position - camera).
    EXPECT_NEAR(p.transform.m[0][2], 5.0f * (p.posCurr.x - 10.0f), 1e-4f);
    EXPECT_NEAR(p.transform.m[1][2], 5.0f * (14.0f - 13.0f), 1e-4f);
    EXPECT_NEAR(p.transform.m[0][0], 5.0f * 0.8f, 1e-5f);
}

// A follower at x 0, the front troglin just ahead of it.
struct AxeParty
{
    Hero* lead;
    Hero* thrower;
};

static void ClearMonstersAndAxes()
{
    for (MonsterInfo* m : gMonsterList)
        if (IsMonsterAlive(m)) CommonLevel::DestroyInst(m->pInst);
    Factory::FreeMonsterList();
    for (AxeSlot& slot : gAxes) CommonLevel::DestroyInst(slot.pAxe);
    ResetAxes();
}

static AxeParty StandParty(MonsterWorld& w)
{
    AxeParty p;
    p.lead    = w.AddLeader(1.0f, 3.0f);
    p.thrower = w.AddFollower(0.0f, 3.0f);
    return p;
}

TEST_F(AxeTest, AxeFliesToWhereTheMonsterStoodAndWeakensIt)
{
    AxeParty party = StandParty(*this);
    MonsterInfo* m = AddMonster(15.0f, 6.0f, 5); // 15 ahead of the thrower: 0.6 s flight
    gThrowTimer    = 2.5f;
    ThrowAxe(party.thrower);
    ASSERT_NE(gAxes[0].pAxe, nullptr);
    EXPECT_EQ(gAxes[0].pTarget, m);
    EXPECT_EQ(gAxesInFlight, 1);
    EXPECT_FLOAT_EQ(gThrowTimer, DT);
    EXPECT_EQ(party.thrower->swingTimer, 0.5);
    GameObjInst* axe = gAxes[0].pAxe;
    EXPECT_EQ(axe->pObject->type, uint32_t(TYPE_WEAPON));
    EXPECT_TRUE(axe->flag & FLAG_WORLD);
    EXPECT_FLOAT_EQ(axe->velCurr.x, 25.0f);
    EXPECT_FLOAT_EQ(axe->velCurr.y, 25.0f);
    EXPECT_FLOAT_EQ(gAxes[0].timeLeft, 0.6f);

    // The monster walks away; the axe still lands where it stood and still takes a point.
    m->pInst->velCurr.x = 3.0f;
    Vec2 last           = axe->posCurr;
    int frames          = 0;
    while (gAxes[0].pAxe && frames < 200)
    {
        last = gAxes[0].pAxe->posCurr;
        UpdateAxes();
        CommonLevel::UpdateAllInst();
        ++frames;
    }
    EXPECT_NEAR(frames, 61, 1);
    EXPECT_NEAR(last.x, 15.0f, 0.3f);
    EXPECT_NEAR(last.y, 6.0f, 0.3f);
    EXPECT_EQ(m->power, 4);
    EXPECT_EQ(ShownPower(m), 4);
    EXPECT_EQ(gAxesInFlight, 0);
    EXPECT_FALSE(Active(axe));
    EXPECT_GT(LiveParticles(TYPE_PARTICLE_DUST), 0) << "a dust trail follows the axe";
}

TEST_F(AxeTest, ThrowNeedsAStrongMonsterInReach)
{
    AxeParty party = StandParty(*this);
    gPartyPower    = 6; // half the party power is 3

    struct Case
    {
        float x;
        int power;
        bool thrown;
        const char* why;
    } cases[] = {
        {12.0f, 5, false, "0.48 s flight is too short"},
        {12.5f, 5, true, "exactly 0.5 s flies"},
        {14.0f, 1, false, "power 1 is never targeted"},
        {14.0f, 3, false, "not above half the party power"},
        {14.0f, 4, true, "above half the party power"},
        {21.0f, 9, false, "20 or more ahead of the front troglin"},
        {4.9f, 9, false, "not more than 4 ahead of the front troglin"},
    };
    for (const Case& c : cases)
    {
        ClearMonstersAndAxes();
        AddMonster(c.x, 3.0f, c.power);
        gThrowTimer = 2.5f;
        ThrowAxe(party.thrower);
        EXPECT_EQ(gAxes[0].pAxe != nullptr, c.thrown) << c.why;
        if (c.x == 12.0f)
        {
            EXPECT_EQ(gThrowTimer, 2.5f) << "a too-close target holds the clock";
        }
    }

    // The nearest strong monster is the target; a beaten one is not.
    ClearMonstersAndAxes();
    MonsterInfo* gone = AddMonster(14.0f, 3.0f, 9);
    MonsterInfo* far  = AddMonster(18.0f, 3.0f, 9);
    MonsterInfo* near = AddMonster(16.0f, 3.0f, 9);
    CommonLevel::DestroyInst(gone->pInst);
    (void)far;
    gThrowTimer = 2.5f;
    ThrowAxe(party.thrower);
    EXPECT_EQ(gAxes[0].pTarget, near);

    // The clock must pass 2 s before anyone throws again.
    ThrowAxe(party.thrower);
    EXPECT_EQ(gAxes[1].pAxe, nullptr);
}

TEST_F(AxeTest, FollowersShareTheThrowClock)
{
    Hero* lead = AddLeader(4.0f, 3.0f);
    (void)lead;
    Hero* followers[4];
    for (int i = 0; i < 4; ++i) followers[i] = AddFollower(3.0f - i, 3.0f);
    AddMonster(22.0f, 3.0f, 50);
    // Three seconds of frames: every follower calls once per frame, the shared clock runs four times
    // as fast, so about one throw per half second.
    int thrown = 0;
    for (int frame = 0; frame < 300; ++frame)
    {
        for (Hero* f : followers)
        {
            int before = gAxesInFlight;
            ThrowAxe(f);
            thrown += gAxesInFlight - before;
        }
        UpdateAxes();
        CommonLevel::UpdateAllInst();
    }
    EXPECT_GE(thrown, 5);
    EXPECT_LE(thrown, 6);
}

TEST_F(AxeTest, HitOnAnAlreadyBeatenMonsterLowersOnlyItsRecord)
{
    AxeParty party = StandParty(*this);
    MonsterInfo* m = AddMonster(15.0f, 3.0f, 2);
    gThrowTimer    = 2.5f;
    ThrowAxe(party.thrower);
    ASSERT_NE(gAxes[0].pAxe, nullptr);
    CommonLevel::DestroyInst(m->pInst);
    MonsterInfo* other = AddMonster(15.0f, 3.0f, 7); // takes the beaten monster's slot
    ASSERT_EQ(other->pInst, m->pInst);
    for (int frame = 0; frame < 100 && gAxes[0].pAxe; ++frame)
    {
        UpdateAxes();
        CommonLevel::UpdateAllInst();
    }
    EXPECT_EQ(m->power, 1);
    EXPECT_EQ(other->power, 7);
    EXPECT_EQ(ShownPower(other), 7);

    // Power 1 is the floor.
    gThrowTimer = 2.5f;
    gAxes[0]    = AxeSlot{m, nullptr, 0.0f, {0.0f, 0.0f}};
    Vec2 zero = {0.0f, 0.0f}, pos = {0.0f, 3.0f};
    SpawnAxe(&gAxes[0], &zero, &zero, &pos, 0.005f);
    UpdateAxes();
    EXPECT_EQ(gAxes[0].pAxe, nullptr);
    EXPECT_EQ(m->power, 1);
}
