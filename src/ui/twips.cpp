#include "ui/twips.h"

#include <QWidget>
#include <cmath>

namespace quillon {

namespace {

constexpr double kTwipsPerInch = 1440.0;

}  // namespace

Twips Twips::for_widget(const QWidget& widget) {
    return Twips(widget.logicalDpiY());
}

int Twips::px(double twips) const {
    return static_cast<int>(std::lround(twips * dpi_ / kTwipsPerInch));
}

QRect Twips::rect(int left, int top, int width, int height) const {
    // Edges are converted, not sizes, so neighbouring controls never overlap or gap by rounding.
    const int x = px(left);
    const int y = px(top);
    return {x, y, px(left + width) - x, px(top + height) - y};
}

double Twips::twips(int pixels) const {
    return pixels * kTwipsPerInch / dpi_;
}

}  // namespace quillon
