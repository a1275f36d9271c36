#include "engine/KoMath.h"

#include "engine/KoAssert.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

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

// ---------------------------------------------------------------------------------------------------------
// 4 x 4 matrices (row vectors: a point p maps to p M)

void Mtx44Multiply(Mtx44* pOut, const Mtx44* pA, const Mtx44* pB)
{
    Mtx44 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = pA->m[i][0] * pB->m[0][j] + pA->m[i][1] * pB->m[1][j] + pA->m[i][2] * pB->m[2][j] +
                        pA->m[i][3] * pB->m[3][j];
    *pOut = r;
}

void Mtx44PerspectiveFovRH(Mtx44* pOut, float fovY, float aspect, float zn, float zf)
{
    float yScale = 1.0f / tanf(fovY * 0.5f);
    float xScale = yScale / aspect;
    memset(pOut, 0, sizeof(*pOut));
    pOut->m[0][0] = xScale;
    pOut->m[1][1] = yScale;
    pOut->m[2][2] = zf / (zn - zf);
    pOut->m[2][3] = -1.0f;
    pOut->m[3][2] = zn * zf / (zn - zf);
}

static void Normalise(float v[3])
{
    float len = sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len > 0.0f)
        for (int i = 0; i < 3; ++i) v[i] /= len;
}

static void Cross(float out[3], const float a[3], const float b[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

static float Dot(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Mtx44LookAtRH(Mtx44* pOut, const float eye[3], const float at[3], const float up[3])
{
    float z[3] = {eye[0] - at[0], eye[1] - at[1], eye[2] - at[2]};
    Normalise(z);
    float x[3];
    Cross(x, up, z);
    Normalise(x);
    float y[3];
    Cross(y, z, x);
    for (int i = 0; i < 3; ++i)
    {
        pOut->m[i][0] = x[i];
        pOut->m[i][1] = y[i];
        pOut->m[i][2] = z[i];
        pOut->m[i][3] = 0.0f;
    }
    pOut->m[3][0] = -Dot(x, eye);
    pOut->m[3][1] = -Dot(y, eye);
    pOut->m[3][2] = -Dot(z, eye);
    pOut->m[3][3] = 1.0f;
}

bool Mtx44Inverse(Mtx44* pOut, const Mtx44* pIn)
{
    const float* a = &pIn->m[0][0];
    float inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    float det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0f) return false;
    float* o = &pOut->m[0][0];
    for (int i = 0; i < 16; ++i) o[i] = inv[i] / det;
    return true;
}
