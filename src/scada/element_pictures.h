#pragma once
// The pictures the program shows for page elements, drawn in code once when
// the object is built: the 14 control button types, the 23 mechanism pictures
// and the menu entry picture. Each picture is Format_RGB32 on a pure white
// (255, 255, 255) ground wherever it is meant to be transparent; the keyed
// copies have that white turned into alpha 0, ready to be painted over a page.
// Owned by whoever paints (page painter, canvas, dialogs); nothing is shared.
// Building them draws text, so a QGuiApplication must exist.
#include <QImage>
#include <QPoint>
#include <QSize>
#include <array>

namespace ostrel {

class ElementPictures {
public:
    static constexpr int kButtonTypes = 14;   // control button types 0..13
    static constexpr int kMechanisms = 23;    // mechanism pictures 0..22
    // The menu entry's text box sits this far right and down of its picture.
    static constexpr QPoint kMenuTextOffset{7, 13};
    static constexpr QSize kMenuTextSize{106, 18};

    ElementPictures();

    // Sizes: types 0..9 40 x 40, 10 and 11 105 x 40, 12 33 x 45, 13 60 x 60;
    // an unknown type has the size of type 0.
    static QSize buttonSize(int type);
    // Mechanism sizes by picture number; an unknown number gives an empty size.
    static QSize mechanismSize(int picture);
    static QSize menuSize() { return {120, 40}; }

    static bool validButton(int type) { return type >= 0 && type < kButtonTypes; }
    static bool validMechanism(int picture) { return picture >= 0 && picture < kMechanisms; }

    // White-ground pictures. An unknown number gives a null image.
    const QImage& button(int type) const;
    const QImage& mechanism(int picture) const;
    const QImage& menu() const { return menu_; }

    // The same pictures with white transparent (Format_ARGB32_Premultiplied).
    const QImage& keyedButton(int type) const;
    const QImage& keyedMechanism(int picture) const;
    const QImage& keyedMenu() const { return keyedMenu_; }

    // A copy of `picture` in which every pure white pixel is transparent.
    static QImage whiteTransparent(const QImage& picture);

private:
    std::array<QImage, kButtonTypes> buttons_;
    std::array<QImage, kMechanisms> mechanisms_;
    QImage menu_;
    std::array<QImage, kButtonTypes> keyedButtons_;
    std::array<QImage, kMechanisms> keyedMechanisms_;
    QImage keyedMenu_;
    QImage none_;
};

} // namespace ostrel
