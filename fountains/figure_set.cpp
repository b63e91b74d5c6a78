#include "fountains/figure_set.h"

#include <tinyxml.h>

#include "fountains/figure.h"
#include "options/xml_read.h"

CFigureSet::~CFigureSet() {
    for (int32_t i = 0; i < count; ++i) delete figures[i];
    delete[] figures;
}

void CFigureSet::Load(const TiXmlElement* root) {
    // Loading again replaces the earlier figures.
    for (int32_t i = 0; i < count; ++i) delete figures[i];
    delete[] figures;
    figures = nullptr;
    count = 0;

    const TiXmlElement* first = FirstChildNamed(FirstChildNamed(root, "Uses"), "Figure");
    int32_t n = CountListFrom(first);
    if (n <= 0) return;
    if (n > kMaxFiguresPerScript) n = kMaxFiguresPerScript;

    figures = new CFigure*[n]();
    count = n;
    // The figures share one budget of emitters, in Uses order.
    int32_t emitterBudget = kMaxEmittersPerScript;
    int32_t i = 0;
    for (const TiXmlElement* e = first; e && i < n; e = e->NextSiblingElement(), ++i) {
        // figureId is only kept with the figure; absent or non-numeric is 0.
        int figureId = 0;
        ReadIntIfPresent(e, "figureId", &figureId);
        double dx = 0, dy = 0;
        ReadDoubleAttribute(e, "dx", &dx, 0.0);
        ReadDoubleAttribute(e, "dy", &dy, 0.0);
        figures[i] = new CFigure();
        // The entry's dy shifts the figure in depth as well as in height.
        figures[i]->Load(e->Attribute("file"), figureId, dx, dy, dy, emitterBudget);
        emitterBudget -= figures[i]->emitterCount;
    }
}

void CFigureSet::DrawEmitters() {
    for (int32_t i = 0; i < count; ++i) figures[i]->DrawEmitters();
}

void CFigureSet::AnimateParticles(int32_t tick) {
    for (int32_t i = 0; i < count; ++i) figures[i]->AnimateParticles(tick);
}

void CFigureSet::SimulateParticles(int32_t tick) {
    for (int32_t i = 0; i < count; ++i) figures[i]->SimulateParticles(tick);
}

void CFigureSet::DrawParticles() {
    for (int32_t i = 0; i < count; ++i) figures[i]->DrawParticles();
}
