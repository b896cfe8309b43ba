#include "app/transition_names.h"

#include <iterator>

QString transitionListName(int index) {
    static const char* const kNames[] = {
        "None", "Iris", "RadialWipe", "Fade", "ZigZag", "RandomBars", "Spiral", "Pixelate", "Wheel",
        "Strips", "Inset", "Blinds", "Wipe", "CheckerBoard", "Slide", "Stretch", "RandomDissolve",
        "Horizontal", "Vertical", "Four corners", "Barn doors, horizontal", "Diagonal, NW to SE",
        "Triangles, top/bottom", "Triangles, left/right", "Diagonal stripe, SW to NE", "Cross",
        "Diamond Box", "Wedge, top", "Wedge, left", "Sawtooth, left", "Sawtooth, top",
        "Sawtooth, vertical", "Sawtooth, horizontal", "Box", "Diamond", "Hexagon", "Circle",
        "Oval, horizontal", "Rounded rectangle, horizontal", "4-point star", "5-point star", "Heart",
        "Radial, left", "Radial, top split", "Radial, top-right corner", "Center radial, top",
        "Matrix, horizontal"};
    static_assert(std::size(kNames) == 47);
    if (index < 0 || index >= 47) return QStringLiteral("Horizontal");
    return QString::fromLatin1(kNames[index]);
}
