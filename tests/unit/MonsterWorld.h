// A bare level world for the monster, particle and axe tests: the type table without meshes, an empty
// pool, monster list, party, axes and particles, and helpers to stand troglins and monsters in it.
#pragma once

#include <gtest/gtest.h>

#include "engine/KoFrameRateController.h"
#include "framework/CommonLevel.h"
#include "framework/GameStateMgr.h"
#include "level/GameState_Level.h"
#include "level/Hero.h"
#include "level/LevelRun.h"
#include "level/Monsters.h"
#include "level/ParticleSys.h"
#include "level/UI.h"

struct MonsterWorld : ::testing::Test
{
    static constexpr float DT = 0.01f;

    void SetUp() override
    {
        for (int i = 0; i < GAME_OBJ_NUM_MAX; ++i) sGameObjList[i] = GameObj{uint32_t(i), nullptr};
        LevelResetRun(); // the pool, monsters, party (48 records that do not move) and axes emptied
        ParticleSys::ParticleFree();
        gTutorialEnabled = false;
        gFrameTime = gKoFrameTime = DT;
    }

    void TearDown() override { Monsters::FreeList(); }

    Hero* AddTroglin(float x, float y, int kind)
    {
        gHeroes.push_back(Hero{});
        Hero* h = &gHeroes.back();
        CreateHero(h, kind);
        h->body->posCurr = {x, y};
        if (kind == HERO_KIND_LEADER)
            gLeader = h;
        else
        {
            h->body->flag |= FLAG_IN_PARTY; // joined
            h->order = ++gPartyPower;
        }
        return h;
    }

    MonsterInfo* AddMonster(float x, float y, int power)
    {
        gMonsterList.push_back(Monsters::Create(x, y, power, 0));
        return gMonsterList.back();
    }

    static int ShownPower(const MonsterInfo* m)
    {
        return int(m->pInst->pChild[0]->pObject->type - TYPE_DIGIT_0) * 10 +
               int(m->pInst->pChild[1]->pObject->type - TYPE_DIGIT_0);
    }

    static int LiveParticles(uint32_t type)
    {
        int n = 0;
        for (int i = 0; i < PARTICLE_NUM_MAX; ++i)
        {
            const Particle& p = ParticleSys::ParticleList()[i];
            n += p.flag && p.pObject->type == type;
        }
        return n;
    }
};
