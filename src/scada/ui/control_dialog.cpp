#include "scada/ui/control_dialog.h"

#include "platform/interaction.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

ControlDialog::ControlDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Control, owner, QStringLiteral("Image_Control"),
                    QStringLiteral("Элемент управления"))
{
    makeNumberFields(QStringLiteral("Num_Control_Text"), QStringLiteral("Coord_X_Control"),
                     QStringLiteral("Coord_Y_Control"));
    width_ = lineEdit(QStringLiteral("Razmer_X_Control"));
    width_->setReadOnly(true);
    height_ = lineEdit(QStringLiteral("Razmer_Y_Control"));
    height_->setReadOnly(true);
    type_ = comboBox(QStringLiteral("Type_Key"), buttonTypeItems());
    preview_ = new ClickLabel(this);
    preview_->setObjectName(QStringLiteral("Image_Control_Wiew"));
    preview_->setFixedSize(kControlPreviewSize);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::Box);
    preview_->setCursor(Qt::PointingHandCursor);
    preview_->setToolTip(QStringLiteral("Тип управления"));
    file_ = lineEdit(QStringLiteral("Name_Control_Gif"), 220);
    file_->setReadOnly(true);
    load_ = new QPushButton(QStringLiteral("Загрузить"), this);
    load_->setObjectName(QStringLiteral("Load_Control_GIF"));
    load_->setAutoDefault(false);
    makeBinding(QStringLiteral("Num_Block_Contr_Text"), QStringLiteral("Num_OUT_Contr"),
                QStringLiteral("Label_Num_OUT_Contr"));
    listLabel_->setText(kChannelCaption);

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер элемента"), number_);
    addField(grid, 1, 0, QStringLiteral("Координата Х"), x_);
    addField(grid, 1, 1, QStringLiteral("Координата Y"), y_);
    addField(grid, 2, 0, QStringLiteral("Размер Х"), width_);
    addField(grid, 2, 1, QStringLiteral("Размер Y"), height_);
    addField(grid, 3, 0, QStringLiteral("Тип кнопки"), type_);
    grid->addWidget(preview_, 3, 2, 2, 2, Qt::AlignCenter);
    addField(grid, 5, 0, QStringLiteral("Имя файла"), file_);
    grid->addWidget(load_, 5, 3);
    addBinding(grid, 6);
    grid->setColumnStretch(4, 1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttonRow());
    main->setSizeConstraint(QLayout::SetFixedSize);

    palette_ = std::make_unique<ControlTypePalette>(ctx_.pictures);
    connect(type_, &QComboBox::activated, this, &ControlDialog::typeChosen);
    connect(preview_, &ClickLabel::clicked, this, &ControlDialog::openPalette);
    connect(load_, &QPushButton::clicked, this, &ControlDialog::loadPicture);
    connect(palette_.get(), &ControlTypePalette::chosen, this, [this](int type) {
        typeChosen(type);
        setEnabled(true);
        palette_->close();
    });
    connect(palette_.get(), &ControlTypePalette::closed, this, [this] { setEnabled(true); });
}

ControlDialog::~ControlDialog() = default;

QList<QWidget*> ControlDialog::extraWindows() const
{
    return {palette_.get()};
}

QStringList ControlDialog::listEntries() const
{
    return controlChannelEntries(ctx_.blocks, ctx_.catalog, block_->text());
}

bool ControlDialog::load()
{
    const ElementRef ref = element();
    const ControlForm f = controlForm(ctx_.pages, ref, ctx_.editor.objectPos(ref));
    setEnabled(true);
    type_->setCurrentIndex(f.type);
    file_->setText(f.picture_file);
    // The object's picture at the object's size: its own picture when that
    // loads, else the standard one of its type.
    QImage picture;
    const QString folder = ctx_.projectFolder ? ctx_.projectFolder() : QString();
    for (const QString& path : PagePainter::controlPictureCandidates(f.picture_file, folder))
        if (!(picture = ostrel::loadPicture(path)).isNull())
            break;
    if (picture.isNull())
        picture = ctx_.pictures.button(f.type);
    showPicture(picture, buttonSize(f.type));
    return showBoundForm(f);
}

void ControlDialog::typeChosen(int type)
{
    if (type < 0 || type >= ElementPictures::kButtonTypes)
        return;
    type_->setCurrentIndex(type);
    // The standard picture of the type replaces an own picture.
    file_->clear();
    showPicture(ctx_.pictures.button(type), buttonSize(type));
}

void ControlDialog::showPicture(const QImage& picture, QSize size)
{
    picture_ = picture;
    width_->setText(QString::number(size.width()));
    height_->setText(QString::number(size.height()));
    QImage shown = picture.size() == size ? picture : picture.scaled(size);
    if (shown.width() > kControlPreviewSize.width() || shown.height() > kControlPreviewSize.height())
        shown = shown.scaled(kControlPreviewSize, Qt::KeepAspectRatio);
    preview_->setPixmap(QPixmap::fromImage(shown));
}

void ControlDialog::openPalette()
{
    setEnabled(false);
    placeOver(palette_.get(), this);
    palette_->show();
    palette_->raise();
    palette_->activateWindow();
}

void ControlDialog::loadPicture()
{
    const QString path = ctx_.ui.openFile(kControlPictureFilter);
    if (path.isEmpty())
        return;
    const QImage picture = ostrel::loadPicture(path);
    if (picture.isNull()) {
        ctx_.ui.message(kBadPictureMessage);
        return;
    }
    file_->setText(path);
    showPicture(picture, picture.size());
}

std::optional<PageChanges> ControlDialog::okPressed()
{
    ControlForm f;
    fillBoundForm(f);
    f.type = std::max(0, type_->currentIndex());
    f.picture_file = file_->text();
    const OkOutcome r = okControl(ctx_.pages, element().page, f, ctx_.ui);
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

PageChanges ControlDialog::deletePressed()
{
    return deleteStaticElement(ctx_.pages, ctx_.state, ObjectKind::Control, element().page, number_->text());
}

void ControlDialog::closing()
{
    if (palette_->isVisible())
        palette_->close();
    setEnabled(true);
}

} // namespace ostrel
