#include "scada/ui/vent_dialog.h"

#include "platform/interaction.h"
#include "scada/element_pictures.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace ostrel {

namespace {

// The palette: picture k sits in a cell of 100 x 65 pixels whose corner is
// the selection marker's place.
constexpr int kCellWidth = 100;
constexpr int kCellHeight = 65;
constexpr QPoint kPaletteOrigin{6, 121};
constexpr QSize kMarkerSize{64, 64};
constexpr int kDialogWidth = 806;
constexpr int kButtonsTop = kPaletteOrigin.y() + 3 * kCellHeight + 6;

} // namespace

VentDialog::VentDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Vent, owner, QStringLiteral("Vent"), QStringLiteral("Механизм"))
{
    makeNumberFields(QStringLiteral("Num_Vent_Text"), QStringLiteral("Coord_X_Vent"), QStringLiteral("Coord_Y_Vent"));
    width_ = lineEdit(QStringLiteral("Razmer_X_Vent"));
    width_->setReadOnly(true);
    height_ = lineEdit(QStringLiteral("Razmer_Y_Vent"));
    height_->setReadOnly(true);
    makeBinding(QStringLiteral("Num_Block_Vent"), QStringLiteral("Num_OUT_Vent"),
                QStringLiteral("Label_Num_OUT_Vent"));

    // The fields above the palette, the palette at fixed places (the marker
    // places are part of the dialog's look), the buttons below. The layouts
    // take their widgets over from the dialog.
    auto* fields = new QWidget(this);
    auto* grid = new QGridLayout(fields);
    addField(grid, 0, 0, QStringLiteral("Номер элемента"), number_);
    addField(grid, 0, 1, QStringLiteral("Координата Х"), x_);
    addField(grid, 0, 2, QStringLiteral("Координата Y"), y_);
    addField(grid, 1, 0, QStringLiteral("Размер Х"), width_);
    addField(grid, 1, 1, QStringLiteral("Размер Y"), height_);
    addBinding(grid, 2);
    grid->setColumnStretch(6, 1);
    fields->setGeometry(0, 0, kDialogWidth, kPaletteOrigin.y() - 6);

    for (int k = 0; k < ElementPictures::kMechanisms; ++k) {
        auto* picture = new ClickLabel(this);
        picture->setObjectName(QStringLiteral("Vent_Picture_%1").arg(k));
        picture->setAlignment(Qt::AlignCenter);
        picture->setPixmap(QPixmap::fromImage(ctx_.pictures.keyedMechanism(k)));
        picture->setGeometry(QRect(markerPos(k), kMarkerSize));
        picture->setToolTip(QString::number(k));
        connect(picture, &ClickLabel::clicked, this, [this, k] { select(k); });
        if (k == ElementPictures::kMechanisms - 1)
            connect(picture, &ClickLabel::doubleClicked, this, &VentDialog::openAnimation);
    }
    marker_ = new QFrame(this);
    marker_->setObjectName(QStringLiteral("Vent_Marker"));
    marker_->setFrameShape(QFrame::Box);
    marker_->setLineWidth(2);
    marker_->setStyleSheet(QStringLiteral("QFrame#Vent_Marker { border: 2px solid red; background: transparent; }"));
    marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker_->setGeometry(QRect(markerPos(0), kMarkerSize));
    marker_->raise();

    auto* buttons = new QWidget(this);
    auto* row = buttonRow();
    buttons->setLayout(row);
    buttons->setGeometry(0, kButtonsTop, kDialogWidth, 40);
    setFixedSize(kDialogWidth, kButtonsTop + 44);

    animation_ = std::make_unique<MechanismAnimation>(ctx_.ui);
    connect(animation_.get(), &MechanismAnimation::closed, this, [this] { setEnabled(true); });
}

VentDialog::~VentDialog() = default;

QPoint VentDialog::markerPos(int k)
{
    return {(k % kPerRow) * kCellWidth + kPaletteOrigin.x(), (k / kPerRow) * kCellHeight + kPaletteOrigin.y()};
}

QList<QWidget*> VentDialog::extraWindows() const
{
    return {animation_.get()};
}

bool VentDialog::load()
{
    const ElementRef ref = element();
    const VentForm f = ventForm(ctx_.pages, ref, ctx_.editor.objectPos(ref));
    select(f.picture);
    setEnabled(true);
    return showBoundForm(f);
}

std::optional<PageChanges> VentDialog::okPressed()
{
    VentForm f;
    fillBoundForm(f);
    f.picture = picture_;
    const OkOutcome r = okVent(ctx_.pages, element().page, f, ctx_.ui);
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

void VentDialog::closing()
{
    if (animation_->isVisible())
        animation_->close();
    setEnabled(true);
}

void VentDialog::select(int picture)
{
    picture_ = std::clamp(picture, 0, ElementPictures::kMechanisms - 1);
    const QSize size = ElementPictures::mechanismSize(picture_);
    width_->setText(QString::number(size.width()));
    height_->setText(QString::number(size.height()));
    marker_->move(markerPos(picture_));
}

void VentDialog::openAnimation()
{
    setEnabled(false);
    placeOver(animation_.get(), this);
    animation_->start();
}

} // namespace ostrel
