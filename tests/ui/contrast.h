// Legibility, measured as a person sees it: two colours by the WCAG contrast ratio of their
// relative luminances, and by the CIE76 colour difference (Euclidean distance in CIELAB, D65 white).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace quillon {

inline double linear_channel(std::uint32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline std::array<double, 3> linear_rgb(std::uint32_t rgb) {
    return {linear_channel((rgb >> 16) & 0xFF), linear_channel((rgb >> 8) & 0xFF),
            linear_channel(rgb & 0xFF)};
}

inline double luminance(std::uint32_t rgb) {
    const auto [r, g, b] = linear_rgb(rgb);
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

inline double contrast(std::uint32_t a, std::uint32_t b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

inline std::array<double, 3> lab(std::uint32_t rgb) {
    const auto [r, g, b] = linear_rgb(rgb);
    const auto f = [](double t) {
        return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0;
    };
    const double fx = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
    const double fy = f(0.2126 * r + 0.7152 * g + 0.0722 * b);
    const double fz = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

inline double difference(std::uint32_t a, std::uint32_t b) {
    const auto x = lab(a);
    const auto y = lab(b);
    return std::hypot(x[0] - y[0], x[1] - y[1], x[2] - y[2]);
}

}  // namespace quillon
