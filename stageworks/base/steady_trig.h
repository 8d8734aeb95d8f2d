/**********************************************************************************************
*
*   steady_trig - sine and cosine that give the same bits on every platform
*
*   The camera walks by sines and cosines of 32-bit angles. The C libraries round those in
*   their own ways (glibc and the browser build's C library disagree in the last bit of about
*   one result in a thousand), and a walk that differs in one bit drifts apart. These work in
*   double precision with only additions, multiplications and floor, which IEEE arithmetic
*   makes exact to the bit wherever the program runs, and round once to float; the results
*   are the correctly rounded ones but for the rarest inputs.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Sine and cosine of an angle in radians (accurate for |radians| up to about a million)
float steadySin(float radians);
float steadyCos(float radians);
