#include "scada/ui/control_type_palette.h"

#include "scada/element_pictures.h"
#include "scada/static_elements.h"
#include "scada/ui/element_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPixmap>

namespace ostrel {

namespace {

constexpr int kPalettePerRow = 5;

} // namespace

ControlTypePalette::ControlTypePalette(const ElementPictures& pictures, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Type_Control"));
    setWindowTitle(QStringLiteral("Тип управления"));
    const QStringList names = buttonTypeItems();
    auto* grid = new QGridLayout(this);
    for (int k = 0; k < ElementPictures::kButtonTypes; ++k) {
        auto* picture = new ClickLabel(this);
        picture->setObjectName(QStringLiteral("Type_Control_Picture_%1").arg(k));
        picture->setAlignment(Qt::AlignCenter);
        picture->setFixedSize(kControlPreviewSize);
        picture->setFrameShape(QFrame::Box);
        picture->setPixmap(QPixmap::fromImage(pictures.button(k)));
        picture->setToolTip(names[k]);
        picture->setCursor(Qt::PointingHandCursor);
        connect(picture, &ClickLabel::clicked, this, [this, k] { emit chosen(k); });
        grid->addWidget(picture, k / kPalettePerRow, k % kPalettePerRow);
    }
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void ControlTypePalette::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}

void ControlTypePalette::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ostrel
