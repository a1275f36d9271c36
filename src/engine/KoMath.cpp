#define KO_MODULE "src\\KoMath"
#include "engine/KoMath.h"

#include "engine/KoAssert.h"

#include <cmath>
#include <cstdlib>

void Vec2Zero(Vec2* pResult)
{
    pResult->x = 0.0f;
    pResult->y = 0.0f;
}

void Vec2Set(Vec2* pResult, float x, float y)
{
    pResult->x = x;
    pResult->y = y;
}

void Vec2Add(Vec2* pResult, const Vec2* pVec0, const Vec2* pVec1)
{
    Vec2Set(pResult, pVec0->x + pVec1->x, pVec0->y + pVec1->y);
}

void Vec2Sub(Vec2* pResult, const Vec2* pVec0, const Vec2* pVec1)
{
    Vec2Set(pResult, pVec0->x - pVec1->x, pVec0->y - pVec1->y);
}

void Vec2Scale(Vec2* pResult, const Vec2* pVec0, float s)
{
    Vec2Set(pResult, pVec0->x * s, pVec0->y * s);
}

void Mtx33Identity(Mtx33* pResult)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) pResult->m[r][c] = (r == c) ? 1.0f : 0.0f;
}

void Mtx33Trans(Mtx33* pResult, float x, float y)
{
    Mtx33Identity(pResult);
    pResult->m[0][2] = x;
    pResult->m[1][2] = y;
}

void Mtx33Scale(Mtx33* pResult, float x, float y)
{
    Mtx33Identity(pResult);
    pResult->m[0][0] = x;
    pResult->m[1][1] = y;
}

void Mtx33Rot(Mtx33* pResult, float angle)
{
    float c = KoCos(angle), s = KoSin(angle);
    Mtx33Identity(pResult);
    pResult->m[0][0] = c;
    pResult->m[0][1] = -s;
    pResult->m[1][0] = s;
    pResult->m[1][1] = c;
}

void Mtx33Concat(Mtx33* pResult, const Mtx33* pMtx0, const Mtx33* pMtx1)
{
    // Formed in a temporary: the result may be either operand.
    Mtx33 t;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            t.m[r][c] = pMtx0->m[r][0] * pMtx1->m[0][c] + pMtx0->m[r][1] * pMtx1->m[1][c] +
                        pMtx0->m[r][2] * pMtx1->m[2][c];
    *pResult = t;
}

float KoDegToRad(float degrees)
{
    return float(double(degrees) * double(KO_PI / 180.0f));
}
float KoSin(float radians)
{
    return float(std::sin(double(radians)));
}
float KoCos(float radians)
{
    return float(std::cos(double(radians)));
}
float KoTan(float radians)
{
    return float(std::tan(double(radians)));
}

float KoRandFloat()
{
    // The sequence is drawn in steps of 1/32767: rand() is brought to 15 bits first, so the result stays
    // within [0, 1] whatever the C library's RAND_MAX (glibc's is 2^31 - 1).
    constexpr int kDiv = RAND_MAX / 32768 + 1;
    return float(double(rand() / kDiv) / 32767.0);
}

bool KoTestPointToRect(const Vec2* pPos, const Vec2* pRect, float sizeX, float sizeY)
{
    KO_ASSERT(pPos && pRect && (sizeX >= 0.0f) && (sizeY >= 0.0f));
    float halfX = float(double(sizeX) * 0.5);
    float halfY = float(double(sizeY) * 0.5);
    Vec2 d;
    Vec2Sub(&d, pPos, pRect);
    return -halfX <= d.x && d.x <= halfX && -halfY <= d.y && d.y <= halfY;
}

bool KoTestRectToRect(const Vec2* pPos0, float sizeX0, float sizeY0, const Vec2* pPos1, float sizeX1,
                      float sizeY1)
{
    Vec2 d;
    Vec2Sub(&d, pPos1, pPos0);
    return std::fabs(d.x) <= sizeX0 * 0.5f + sizeX1 * 0.5f && std::fabs(d.y) <= sizeY0 * 0.5f + sizeY1 * 0.5f;
}
