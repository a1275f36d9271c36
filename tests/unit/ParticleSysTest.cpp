// Particles (emission, shrinking, pool limits) and thrown axes (throw decision, flight and hit).
#include "MonsterWorld.h"

#include <cmath>
#include <tuple>

using ParticleTest = MonsterWorld;
using AxeTest      = MonsterWorld;

static const Particle& Slot(int i)
{
    return ParticleSys::ParticleList()[i];
}

TEST_F(ParticleTest, BurstRingFliesOutwardsAndShrinksAway)
{
    ParticleSys::EmitBurst(24, 0.3f, 5.0f, 7.0f);
    ASSERT_EQ(LiveParticles(TYPE_PARTICLE_SKULL), 24);
    Vec2 sum = {0, 0}; // a ring evenly round the point: the offsets add up to nothing
    for (int i = 0; i < 24; ++i)
    {
        const Vec2 d = {Slot(i).posCurr.x - 5.0f, Slot(i).posCurr.y - 7.0f}, v = Slot(i).velCurr;
        EXPECT_NEAR(std::hypot(d.x, d.y), 0.3f, 1e-5f) << i;
        EXPECT_NEAR(d.x * v.y - d.y * v.x, 0.0f, 1e-5f) << i; // straight outwards
        EXPECT_GT(d.x * v.x + d.y * v.y, 0.0f) << i;
        sum = {sum.x + d.x, sum.y + d.y};
    }
    EXPECT_LT(std::hypot(sum.x, sum.y), 1e-4f);
    // Skull heads only shrink: seven halvings from 0.8, about 1.4 s, and they are gone.
    int frames = 0;
    for (; LiveParticles(TYPE_PARTICLE_SKULL) > 0 && frames < 1000; ++frames) ParticleSys::Update();
    EXPECT_TRUE(frames >= 140 && frames <= 150) << frames;
}

TEST_F(ParticleTest, FullPoolEmitsNothingAndRestartsTheSparkleClock)
{
    for (int i = 0; i < PARTICLE_NUM_MAX / 16; ++i) ParticleSys::EmitBurst(16, 0.5f, 0.0f, 0.0f);
    EXPECT_EQ(LiveParticles(TYPE_PARTICLE_SKULL), PARTICLE_NUM_MAX);
    ParticleSys::EmitBurst(24, 0.3f, 0.0f, 0.0f);
    gSparkleTimer = 0.049f;
    ParticleSys::EmitSparkle(1.0f, 0.0f, 0.0f);
    EXPECT_TRUE(LiveParticles(TYPE_PARTICLE_SKULL) == PARTICLE_NUM_MAX &&
                LiveParticles(TYPE_PARTICLE_STAR) == 0);
    EXPECT_EQ(gSparkleTimer, 0.0f);
}

TEST_F(ParticleTest, FreedSlotsAreTakenLowestFirstAndLiveOnesAboveThemKeepMoving)
{
    auto type = [](int i) { return Slot(i).flag ? int(Slot(i).pObject->type) : -1; };
    ParticleSys::EmitBurst(10, 0.5f, 0.0f, 0.0f); // slots 0 to 9, skull heads: 1.4 s
    gAxesInFlight = 1;
    gTrailTimer   = 0.0f;
    ParticleSys::EmitTrail(1.0f, 0.0f, 0.0f); // slots 10 and 11, dust: six halvings from 0.4, 1.2 s
    int frames = 0;
    for (; Slot(10).flag && frames < 1000; ++frames)
    {
        ParticleSys::Update();
        EXPECT_LE(std::fabs(Slot(10).dirCurr), 3.1415927f) << "its turn wraps round";
    }
    EXPECT_TRUE(frames >= 115 && frames <= 125) << frames;
    EXPECT_TRUE(type(9) == TYPE_PARTICLE_SKULL && type(11) == -1);

    ParticleSys::EmitBurst(4, 0.5f, 0.0f, 0.0f);
    for (int i = 10; i < 14; ++i) EXPECT_EQ(type(i), TYPE_PARTICLE_SKULL) << i;
    while (Slot(0).flag) ParticleSys::Update();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(type(i), -1) << i;
    const float x = Slot(13).posCurr.x;
    ParticleSys::Update();
    EXPECT_NE(Slot(13).posCurr.x, x) << "the younger heads above the freed slots still move";
    gSparkleTimer = 1.0f;
    ParticleSys::EmitSparkle(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(type(0), TYPE_PARTICLE_STAR);
}

TEST_F(AxeTest, ThrowNeedsAStrongMonsterInReach)
{
    AddTroglin(1.0f, 3.0f, HERO_KIND_LEADER);
    Hero* thrower = AddTroglin(0.0f, 3.0f, HERO_KIND_RECRUIT);
    gPartyPower   = 6; // half of it is 3
    // The monster's x and power, and whether the axe flies.
    const std::tuple<float, int, bool> cases[] = {{12.5f, 5, true}, {14.0f, 1, false}, {14.0f, 3, false},
                                                  {14.0f, 4, true}, {21.0f, 9, false}, {4.9f, 9, false},
                                                  {12.0f, 5, false}};
    for (const auto& [x, power, thrown] : cases)
    {
        for (MonsterInfo* m : gMonsterList)
            if (Monsters::IsAlive(m)) CommonLevel::DestroyInst(m->pInst);
        CommonLevel::DestroyInst(gAxes[0].pAxe);
        ResetAxes();
        AddMonster(x, 3.0f, power);
        gThrowTimer = 2.5f;
        ThrowAxe(thrower);
        EXPECT_EQ(gAxes[0].pAxe != nullptr, thrown) << "monster at " << x << " power " << power;
    }
    EXPECT_EQ(gThrowTimer, 2.5f) << "a target too close to reach in 0.5 s holds the shared clock";
}

TEST_F(AxeTest, AxeLandsWhereTheMonsterStoodAndTakesOnePoint)
{
    AddTroglin(1.0f, 3.0f, HERO_KIND_LEADER);
    Hero* thrower  = AddTroglin(0.0f, 3.0f, HERO_KIND_RECRUIT);
    MonsterInfo* m = AddMonster(15.0f, 6.0f, 5); // 0.6 s of flight
    gThrowTimer    = 2.5f;
    ThrowAxe(thrower);
    ASSERT_TRUE(gAxes[0].pAxe && gAxesInFlight == 1);

    m->pInst->velCurr.x = 3.0f; // it walks away meanwhile
    Vec2 last           = gAxes[0].pAxe->posCurr;
    for (int frame = 0; frame < 200 && gAxes[0].pAxe; ++frame)
    {
        last = gAxes[0].pAxe->posCurr;
        UpdateAxes();
        CommonLevel::UpdateAllInst();
    }
    EXPECT_LT(std::hypot(last.x - 15.0f, last.y - 6.0f), 0.3f);
    EXPECT_TRUE(ShownPower(m) == 4 && gAxesInFlight == 0);
    EXPECT_GT(LiveParticles(TYPE_PARTICLE_DUST), 0) << "a dust trail follows the axe";
}
