// 2D vectors, 3x3 affine matrices, the camera's 4x4 matrices, scalar helpers, containment tests and the
// random number. The 3x3 matrices are stored row by row (m[row][col]); points are column vectors, so a point
// p maps to M*p with the translation in the third column. In Mtx33Concat(out, a, b), b applies first. The
// 4x4 ones (below) keep the camera's row-vector layout.
#pragma once

#include <cmath>

constexpr float KO_PI = 3.1415927f; // pi rounded to float

struct Vec2
{
    float x;
    float y;
};

struct Mtx33
{
    float m[3][3];
};

void Vec2Zero(Vec2* pResult);
void Vec2Set(Vec2* pResult, float x, float y);
void Vec2Add(Vec2* pResult, const Vec2* pVec0, const Vec2* pVec1);
void Vec2Sub(Vec2* pResult, const Vec2* pVec0, const Vec2* pVec1);
void Vec2Scale(Vec2* pResult, const Vec2* pVec0, float s);

void Mtx33Identity(Mtx33* pResult);
void Mtx33Trans(Mtx33* pResult, float x, float y);
void Mtx33Scale(Mtx33* pResult, float x, float y);
void Mtx33Rot(Mtx33* pResult, float angle);
void Mtx33Concat(Mtx33* pResult, const Mtx33* pMtx0, const Mtx33* pMtx1);

// The per-frame helpers, inline for the passes over whole pools.

// x brought back by one period when it lies outside [x0, x1].
inline float KoWrap(float x, float x0, float x1)
{
    if (x < x0) return x + (x1 - x0);
    if (x > x1) return x - (x1 - x0);
    return x;
}

// pResult = T(moveX, moveY) x S(zoom, zoom) x T(x, y) x R(angle) x S(scale, scale), written out (without
// the rotation when angle is 0): an instance's own matrix seen through a view (zoom 1, move 0 for none).
inline void Mtx33ViewTransRotScale(Mtx33* pResult, float zoom, float moveX, float moveY, float x, float y,
                                   float angle, float scale)
{
    float c = scale, s = 0.0f;
    if (angle != 0.0f)
    {
        c = std::cos(angle) * scale;
        s = std::sin(angle) * scale;
    }
    float(&m)[3][3] = pResult->m;
    m[0][0]         = zoom * c;
    m[0][1]         = zoom * -s;
    m[0][2]         = zoom * x + moveX;
    m[1][0]         = zoom * s;
    m[1][1]         = zoom * c;
    m[1][2]         = zoom * y + moveY;
    m[2][0]         = 0.0f;
    m[2][1]         = 0.0f;
    m[2][2]         = 1.0f;
}
// *pMtx = T(moveX, moveY) x S(zoom, zoom) x *pMtx for a matrix whose third row is (0, 0, 1), as every
// product of translations, rotations and scales has.
inline void Mtx33ZoomMove(Mtx33* pMtx, float zoom, float moveX, float moveY)
{
    float(&m)[3][3] = pMtx->m;
    for (int col = 0; col < 3; ++col)
    {
        m[0][col] *= zoom;
        m[1][col] *= zoom;
    }
    m[0][2] += moveX;
    m[1][2] += moveY;
}

float KoDegToRad(float degrees);
float KoSin(float radians);
float KoCos(float radians);
float KoTan(float radians);
// rand() brought to 15 bits, / 32767: from 0.0 to 1.0 in steps of 1/32767, both ends included, whatever the
// C library's RAND_MAX. The generator is never seeded.
float KoRandFloat();

// Point inside the rectangle of centre pRect and full size sizeX x sizeY (edges count as inside).
bool KoTestPointToRect(const Vec2* pPos, const Vec2* pRect, float sizeX, float sizeY);
// Two rectangles by centre and full size overlap (touching edges count).
bool KoTestRectToRect(const Vec2* pPos0, float sizeX0, float sizeY0, const Vec2* pPos1, float sizeX1,
                      float sizeY1);

// 4 x 4 matrices of the camera, in the row-vector layout: a point p maps to p M, m[3][0..2] is the
// translation, and Mtx44Multiply(out, a, b) = a b applies a first.
struct Mtx44
{
    float m[4][4];
};

void Mtx44Multiply(Mtx44* pOut, const Mtx44* pA, const Mtx44* pB);
// The published right-handed camera matrices, and the general inverse (determinant 0 -> false, pOut
// unchanged).
void Mtx44PerspectiveFovRH(Mtx44* pOut, float fovY, float aspect, float zn, float zf);
void Mtx44LookAtRH(Mtx44* pOut, const float eye[3], const float at[3], const float up[3]);
bool Mtx44Inverse(Mtx44* pOut, const Mtx44* pIn);
