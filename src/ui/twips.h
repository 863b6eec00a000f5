#pragma once

#include <QRect>

class QWidget;

namespace quillon {

// Window geometry is laid out in twips (1/1440 inch): 15 twips are one pixel at 96 dots per inch,
// and the screen's logical DPI scales that, so text in points and the controls around it grow
// together.
class Twips {
  public:
    explicit Twips(double logical_dpi = 96.0) : dpi_(logical_dpi > 0 ? logical_dpi : 96.0) {}

    // The conversion for the screen a widget is on.
    static Twips for_widget(const QWidget& widget);

    int px(double twips) const;
    QRect rect(int left, int top, int width, int height) const;
    // Twips of a pixel length, for layouts that remember margins in twips.
    double twips(int pixels) const;

  private:
    double dpi_;
};

}  // namespace quillon
