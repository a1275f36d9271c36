// A bare level world for the monster, particle and axe tests: the type table without meshes, an empty
// pool, monster list, party, axes and particles, and helpers to stand troglins and monsters in it.
#pragma once

#include <gtest/gtest.h>

#include "engine/KoFrameRateController.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "level/Factory.h"
#include "level/GameState_Level.h"
#include "level/Hero.h"
#include "level/ParticleSys.h"

struct MonsterWorld : ::testing::Test
{
    static constexpr float DT = 0.01f;

    void SetUp() override
    {
        for (int i = 0; i < GAME_OBJ_NUM_MAX; ++i) sGameObjList[i] = GameObj{uint32_t(i), nullptr};
        CommonLevel::DestroyAllInst();
        Factory::FreeMonsterList();
        gHeroes.clear();
        gHeroes.reserve(48); // records must not move while the tests hold pointers to them
        gLeader     = nullptr;
        gPartyPower = 0;
        ResetAxes();
        ParticleSys::ParticleFree();
        gKillCount       = 0;
        gInvulnerable    = false;
        gInvulnTime      = 10.0f;
        gGameOver        = false;
        gDeathCause      = 0;
        gTutorialEnabled = false;
        gTutorialShowing = false;
        gShakeTime       = -11.0f;
        gShakeRest       = {-1.0f, -1.0f};
        gCamPosX = gCamPosY = 0.0f;
        gCamZoom            = 1.0f;
        gFrameTime          = DT;
        gKoFrameTime        = DT;
        gThrowTimer         = 0.0f;
        gTrailTimer         = 0.0f;
        gSparkleTimer       = 0.0f;
    }

    void TearDown() override
    {
        Factory::FreeMonsterList();
        gHeroes.clear();
        gLeader = nullptr;
        CommonLevel::DestroyAllInst();
    }

    // The front troglin at (x, y).
    Hero* AddLeader(float x, float y)
    {
        gHeroes.push_back(Hero{});
        Hero* h = &gHeroes.back();
        CreateHero(h, HERO_KIND_LEADER);
        h->body->posCurr = {x, y};
        gLeader          = h;
        return h;
    }

    // A recruit-tile troglin that has joined the party, at (x, y).
    Hero* AddFollower(float x, float y)
    {
        gHeroes.push_back(Hero{});
        Hero* h = &gHeroes.back();
        CreateHero(h, HERO_KIND_RECRUIT);
        h->body->posCurr = {x, y};
        h->body->flag |= FLAG_IN_PARTY;
        h->order = ++gPartyPower;
        return h;
    }

    // A monster of the given type and power, listed like a laid one.
    MonsterInfo* AddMonster(float x, float y, int power, int type = TYPE_MONSTER)
    {
        MonsterInfo* m = CreateMonster(x, y, power, type, 2.0f);
        gMonsterList.push_back(m);
        return m;
    }

    static int DigitOf(const GameObjInst* pDigit) { return int(pDigit->pObject->type) - TYPE_DIGIT_0; }
    static int ShownPower(const MonsterInfo* m)
    {
        return DigitOf(m->pInst->pChild[0]) * 10 + DigitOf(m->pInst->pChild[1]);
    }
    static bool Active(const GameObjInst* pInst) { return pInst && (pInst->flag & FLAG_ACTIVE); }
};
