// Colour temperature and green factor to and from RGB.
#pragma once

namespace lumetra::pt {

struct Rgb3 {
    double r, g, b;
};

// T held to 1200..12000 K, green to 0.02..5.0.
void clampTemperature(double& t, double& green);
// Linear RGB of a black body / daylight at T, green divided by `green`,
// scaled so the largest channel is 1.
Rgb3 temperatureToRgb(double t, double green);
// Bisection on the blue/red ratio; writes T and green (both clamped).
void rgbToTemperature(double r, double g, double b, double& t, double& green);
// rgbToTemperature, or false (outputs untouched) when red or green is 0 or
// any input is not finite: the ratios would divide by zero.
bool estimateTemperature(double r, double g, double b, double& t, double& green);

}  // namespace lumetra::pt
