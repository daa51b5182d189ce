#pragma once

// Pixels drawn without a window (the asset generator's pictures and the editor's map previews):
// a floating-point RGBA canvas with straight alpha, coverage masks for text, glows and shadows,
// and the conversion to an SFML image or to the bytes of a PNG file.

#include <SFML/Graphics/Image.hpp>

#include <string>
#include <vector>

namespace drawing {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with an opacity.
Rgba rgb(unsigned hex, float alpha = 1.0f);
Rgba mix(Rgba from, Rgba to, float t);
Rgba withAlpha(Rgba c, float alpha);
// Towards black (k < 1) or white (k > 1) keeping the hue; alpha unchanged.
Rgba shadeOf(Rgba c, float k);

// Coverage 0..1 per pixel.
struct Mask {
    Mask() = default;
    Mask(int w, int h) : width(w), height(h), v(static_cast<size_t>(w) * h, 0.0f) {}
    float at(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : v[static_cast<size_t>(y) * width + x];
    }
    float& ref(int x, int y) { return v[static_cast<size_t>(y) * width + x]; }
    int width = 0;
    int height = 0;
    std::vector<float> v;
};

// Soft blur of a mask (three box passes, close to a Gaussian of the given radius).
void blur(Mask& mask, int radius);

class Canvas {
  public:
    Canvas() = default;
    Canvas(int w, int h);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba at(int x, int y) const { return px_[index(x, y)]; }
    Rgba& ref(int x, int y) { return px_[index(x, y)]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Paints colour over the pixel with the given coverage (source over destination).
    void blend(int x, int y, Rgba colour, float coverage);
    // Removes paint: the pixel's opacity is multiplied by (1 - coverage).
    void erase(int x, int y, float coverage);
    void fill(Rgba colour);
    // A mask placed with its top-left corner at (ox, oy).
    void drawMask(const Mask& mask, int ox, int oy, Rgba colour);
    // Another canvas scaled into the rectangle (x, y, w, h), area-averaged when shrinking.
    void drawCanvas(const Canvas& src, float x, float y, float w, float h);
    // The opacity of every pixel as a mask.
    Mask alphaMask() const;

    sf::Image toImage() const;
    // The picture as the bytes of a PNG file, encoded in memory so the caller decides how the
    // file is written; "" when it cannot be encoded.
    std::string toPng() const;

  private:
    size_t index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgba> px_;
};

} // namespace drawing
