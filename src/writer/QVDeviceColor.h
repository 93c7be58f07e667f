#pragma once
// A colour as the exporters hand it to the output writers: the model of its
// colour space and its components as doubles from 0 to 1, colour components
// first and alpha last (an RGB colour has 4, a monochrome one 2).

#include <vector>

struct QVDeviceColor {
    enum class Model { RGB, Monochrome, Other };
    Model model = Model::RGB;
    std::vector<double> components;
};
