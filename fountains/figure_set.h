// The figures of one action script, in the order of its Uses section.
#pragma once

#include <cstdint>

class CFigure;
class TiXmlElement;

class CFigureSet {
public:
    int32_t count = 0;
    CFigure** figures = nullptr;  // [count], owned

    CFigureSet() = default;
    ~CFigureSet();
    CFigureSet(const CFigureSet&) = delete;
    CFigureSet& operator=(const CFigureSet&) = delete;

    // Reads the Uses section under root and loads every figure (at most
    // kMaxFiguresPerScript; a figure beyond the emitter budget stays
    // empty).
    void Load(const TiXmlElement* root);
    void DrawEmitters();
    void AnimateParticles(int32_t tick);
    // AnimateParticles in its two halves, over every figure in list order.
    void SimulateParticles(int32_t tick);
    void DrawParticles();
};
