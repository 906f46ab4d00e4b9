// The plan of a route as a DXF drawing (AutoCAD R2000 text DXF, written with dxflib), for CAD.
// Drawing X is east and Y north, in metres, model space, 1:1. Layers:
//   中线  the centre line: straights as LINE, arcs as ARC with their true centre and radius,
//        clothoids as LWPOLYLINE whose chords stay within 0.5 mm of the curve;
//   交点  the tangent polygon (LWPOLYLINE) and the JD names;
//   主点  main points (POINT) with name and station;
//   桩号  stakes: a POINT at the stake, a tick across the route to the right and the label;
//   边桩  side stakes (POINT) with their names.
// Coordinates are written to the micrometre, radii with every digit. Text other than ASCII is
// written as \U+XXXX, which CAD programs read whatever the drawing's code page.
#pragma once

#include <string>

#include "exchange/plan_geometry.h"

namespace survey::exchange {

// The largest chord-to-curve distance of a clothoid's polyline (metres).
inline constexpr double kChordTolerance = 0.0005;

// The drawing's bytes. Refuses (ExchangeError) a value that is not finite, a radius or text
// height not above 0, or a clothoid that would need more than a million vertices.
std::string WritePlanDxf(const PlanDrawing& drawing);

// Text for a DXF string: ASCII as it is, other characters as \U+XXXX.
std::string DxfText(std::string_view utf8);

}  // namespace survey::exchange
