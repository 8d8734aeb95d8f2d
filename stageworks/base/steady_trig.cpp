/**********************************************************************************************
*
*   steady_trig - sine and cosine that give the same bits on every platform
*
**********************************************************************************************/
#include "steady_trig.h"

#include <cmath>  // Required for: std::floor()

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// pi/2 in three parts: the first two have 33 significant bits, so that k times them is exact
// for every quadrant count k below 2^20
static const double HALF_PI_1 = 1.5707963267341256;
static const double HALF_PI_2 = 6.077100506303966e-11;
static const double HALF_PI_3 = 2.0222662487959506e-21;
static const double TWO_OVER_PI = 0.6366197723675814;

// 1 / n! for the odd (sine) and even (cosine) terms of the series on [-pi/4, pi/4]; the first
// term left out is below 1e-24 of the result there
static const double SIN_TERMS[] = {
    -0.16666666666666666, 0.008333333333333333, -0.0001984126984126984, 2.7557319223985893e-06,
    -2.505210838544172e-08, 1.6059043836821613e-10, -7.647163731819816e-13, 2.8114572543455206e-15,
    -8.22063524662433e-18, 1.9572941063391263e-20};
static const double COS_TERMS[] = {
    -0.5, 0.041666666666666664, -0.001388888888888889, 2.48015873015873e-05,
    -2.755731922398589e-07, 2.08767569878681e-09, -1.1470745597729725e-11, 4.779477332387385e-14,
    -1.5619206968586225e-16, 4.110317623312165e-19, -8.896791392450574e-22};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The series in r * r, evaluated from its last term (Horner)
template <int N>
static double series(const double (&terms)[N], double r2)
{
    double sum = terms[N - 1];
    for (int i = N - 2; i >= 0; i--) sum = sum * r2 + terms[i];
    return sum;
}

// sin(r) and cos(r) for |r| <= pi/4
static double sinKernel(double r) { return r + r * (r * r) * series(SIN_TERMS, r * r); }
static double cosKernel(double r) { return 1.0 + (r * r) * series(COS_TERMS, r * r); }

// The angle as k quarter turns and a rest r in [-pi/4, pi/4]; returns k modulo 4
static int reduce(double x, double *r)
{
    double k = std::floor(x * TWO_OVER_PI + 0.5);
    *r = ((x - k * HALF_PI_1) - k * HALF_PI_2) - k * HALF_PI_3;
    double quarter = k - 4.0 * std::floor(k * 0.25);
    return (int)quarter;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float steadySin(float radians)
{
    double r = 0.0;
    switch (reduce((double)radians, &r)) {
    case 0: return (float)sinKernel(r);
    case 1: return (float)cosKernel(r);
    case 2: return (float)-sinKernel(r);
    default: return (float)-cosKernel(r);
    }
}

float steadyCos(float radians)
{
    double r = 0.0;
    switch (reduce((double)radians, &r)) {
    case 0: return (float)cosKernel(r);
    case 1: return (float)-sinKernel(r);
    case 2: return (float)-cosKernel(r);
    default: return (float)sinKernel(r);
    }
}
