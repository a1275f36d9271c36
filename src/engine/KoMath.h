// 2D vectors, 3x3 affine matrices, scalar helpers, containment tests and the random number.
// Matrices are stored row by row (m[row][col]); points are column vectors, so a point p maps to M*p with
// the translation in the third column. In Mtx33Concat(out, a, b), b applies first.
#pragma once

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

float KoDegToRad(float degrees);
float KoSin(float radians);
float KoCos(float radians);
float KoTan(float radians);
float KoWrap(float x, float x0, float x1);
// rand() / 32767.0: from 0.0 to 1.0, both ends included. The generator is never seeded.
float KoRandFloat();

// Point inside the rectangle of centre pRect and full size sizeX x sizeY (edges count as inside).
bool KoTestPointToRect(const Vec2* pPos, const Vec2* pRect, float sizeX, float sizeY);
// Two rectangles by centre and full size overlap (touching edges count).
bool KoTestRectToRect(const Vec2* pPos0, float sizeX0, float sizeY0, const Vec2* pPos1, float sizeX1,
                      float sizeY1);
