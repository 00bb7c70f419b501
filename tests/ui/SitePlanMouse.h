#pragma once

// Driving the site plan as a mouse does, for the window tests, and a square
// source to drag about.

#include <QApplication>
#include <QMouseEvent>
#include <QPointF>
#include <string>

#include "model/Source.h"
#include "ui/siteplan/CPhaseView.h"

namespace varnex::ui::test {

// A square source with its lower left corner at (x, y), in plan metres.
inline Source Square(const std::string& name, double x, double y, double side) {
    Source source;
    source.name = name;
    source.vertices = {
        {x, y, 0, 0}, {x + side, y, 0, 0}, {x + side, y + side, 0, 0}, {x, y + side, 0, 0}};
    return source;
}

// Mouse events with the button held while moving, as a real drag sends them.
inline void SendMouse(CPhaseView& view, QEvent::Type type, const QPointF& scenePoint,
                      Qt::MouseButtons buttons) {
    const QPointF pixel = view.mapFromScene(scenePoint);
    QMouseEvent event(type, pixel, view.viewport()->mapToGlobal(pixel),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

// A drag as the mouse sends it: a press, `moves` moves, one release.
inline void Drag(CPhaseView& view, const QPointF& from, const QPointF& to, int moves = 5) {
    SendMouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int step = 1; step <= moves; ++step)
        SendMouse(view, QEvent::MouseMove, from + (to - from) * (step / double(moves)),
                  Qt::LeftButton);
    SendMouse(view, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

} // namespace varnex::ui::test
