#pragma once
// The button palette of the control dialog.
#include <QSize>
#include <QWidget>

class QCloseEvent;
class QKeyEvent;

namespace ostrel {

class ElementPictures;

// The control dialog's preview holds the largest button (105 x 60) and a
// loaded picture up to this size (a larger one is shown scaled down); each
// palette picture has a cell of this size.
inline constexpr QSize kControlPreviewSize{120, 64};

// `Type_Control` ("Тип управления"): one picture per button type; a click
// on one chooses that type and closes the palette.
class ControlTypePalette : public QWidget {
    Q_OBJECT
public:
    explicit ControlTypePalette(const ElementPictures& pictures, QWidget* parent = nullptr);

signals:
    void chosen(int type);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ostrel
