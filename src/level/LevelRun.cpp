// The run's record and the one place that changes it.
#include "level/LevelRun.h"

#include <cstdio>

#include "framework/CommonLevel.h"

static LevelRun sRun;
const LevelRun& gLevelRun = sRun;

const char* DeathCauseName(DeathCause cause)
{
    static const char* const NAMES[] = {"none", "fell", "monster", "wall", "left"};
    return NAMES[cause];
}

namespace Run
{
void Reset()
{
    sRun            = LevelRun{};
    sRun.invulnTime = RUN_INVULN_SECONDS;
    sRun.deathCause = DEATH_NONE;
    sRun.speed      = RUN_SPEED_START;
    sRun.camVel     = {RUN_SPEED_START, 0.0f};
}

void Begin(float startX, int power)
{
    sRun.startX    = startX;
    sRun.powerPeak = power;
    sRun.reported  = false;
}

void End(DeathCause cause)
{
    if (sRun.gameOver) return;
    sRun.gameOver   = true;
    sRun.deathCause = cause;
}

void Freeze()
{
    sRun.frozen = true;
}

void SetPaused(bool paused)
{
    sRun.paused = paused;
}

void AddKill()
{
    ++sRun.kills;
}

void NotePower(int power)
{
    if (power > sRun.powerPeak) sRun.powerPeak = power;
}

void StartInvulnerability()
{
    sRun.invulnTime   = RUN_INVULN_SECONDS;
    sRun.invulnerable = true;
}

void StartShake()
{
    sRun.shakeTime = RUN_SHAKE_SECONDS;
    if (!sRun.shaking) sRun.shakeRest = {gCamPosX, gCamPosY};
    sRun.shaking = true;
}

bool Step(float dt, float leaderX)
{
    sRun.seconds += dt;
    sRun.distance = leaderX - sRun.startX;
    if (!sRun.invulnerable) return false;
    sRun.invulnTime -= dt;
    if (sRun.invulnTime >= 0.0f) return false;
    sRun.invulnTime   = RUN_INVULN_SECONDS;
    sRun.invulnerable = false;
    return true;
}

RunShake StepCamera(Vec2 pos, Vec2 vel, float dt)
{
    float v = sRun.camVel.x;
    if (pos.x + 2.0f < gCamPosX && v > 2.0f)
        v -= dt / 2.5f;
    else if (vel.x > v)
        v += 3.0f * dt;
    if (pos.x > gCamPosX)
        v += 1.5f * dt;
    else if (vel.x > 0.0f && vel.x < v && v > 2.0f)
        v -= 2.0f * dt;
    sRun.camVel.x = v;

    RunShake shake = RUN_SHAKE_NONE;
    if (sRun.shakeTime > 0.0f)
    {
        sRun.shakeTime -= dt;
        float r1 = KoRandFloat();
        float r2 = KoRandFloat();
        gCamPosX = sRun.shakeRest.x + 0.4f * r1 - 0.2f;
        gCamPosY = sRun.shakeRest.y + 0.4f * r2 - 0.2f;
        shake    = RUN_SHAKE_ON;
    }
    else if (sRun.shaking)
    {
        gCamPosX     = sRun.shakeRest.x;
        gCamPosY     = sRun.shakeRest.y;
        sRun.shaking = false;
        if (sRun.gameOver) sRun.frozen = true;
        shake = RUN_SHAKE_OVER;
    }

    gCamPosX += v * dt;
    gCamPosY += sRun.camVel.y * dt;
    gCamZoom = 5.0f;
    return shake;
}

void StepSpeed(float leaderVelX, float dt)
{
    if (leaderVelX < RUN_SPEED_GROWS_BELOW) sRun.speed += RUN_SPEED_GROWTH * dt;
}

bool Report()
{
    if (sRun.reported) return false;
    sRun.reported = true;
    fprintf(stderr, "run: meters=%d kills=%d power=%d seconds=%.1f cause=%s\n", int(sRun.distance),
            sRun.kills, sRun.powerPeak, double(sRun.seconds), DeathCauseName(sRun.deathCause));
    return true;
}
} // namespace Run
