#pragma once
// "Просмотр панели": the current SCADA page as the panel shows it after a
// write, beside the main window (no Qt parent). "Масштаб" shows it at 1:1
// or twice the size, "Сенсорные зоны" outlines the touch cells,
// "Различия" marks in red where the 12-bit image differs visibly from the
// painted page; an encoding error shows its message instead of the page.
// The table below holds the sample values the live elements show;
// "Загрузить значения" and "Сохранить значения" read and write them in the
// NAME-values.json beside the project.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QStackedWidget;
class QTableView;

namespace ostrel {

class Interaction;
class PanelPreview;
class PreviewImageView;

inline const QString kPanelPreviewTitle = QStringLiteral("Просмотр панели");

class PanelPreviewWindow : public QWidget {
    Q_OBJECT
public:
    PanelPreviewWindow(PanelPreview& preview, Interaction& ui);

    PanelPreview& preview() { return preview_; }
    PreviewImageView* view() const { return view_; }
    // The message shown instead of the page (empty while the page shows).
    QString shownMessage() const;
    bool showsImage() const;

    void loadValues();
    void saveValues();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showResult();

    PanelPreview& preview_;
    Interaction& ui_;
    QComboBox* scale_ = nullptr;
    QCheckBox* touchCells_ = nullptr;
    QCheckBox* differences_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PreviewImageView* view_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* status_ = nullptr;
    QTableView* table_ = nullptr;
};

} // namespace ostrel
